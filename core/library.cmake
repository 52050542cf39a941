# General library classes of the core that no action calls yet: large files, file information,
# common dialogs. Windows only; included from core/CMakeLists.txt.
add_library(quorallion_core_library STATIC
  hugefile/clsHugeBinaryFile_win.cpp
  fileinfo/clsFileInfo_win.cpp
  dialogs/clsCommonDialog_win.cpp)
target_include_directories(quorallion_core_library PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorallion_core_library PUBLIC quorallion_foundation oleaut32 shell32 user32 comdlg32 winspool gdi32)

quorallion_test(NAME huge_binary_file_test
  SOURCES tests/clsHugeBinaryFile_test.cpp
  LIBS quorallion_core_library)

quorallion_test(NAME file_info_test
  SOURCES tests/clsFileInfo_test.cpp
  LIBS quorallion_core_library)

quorallion_test(NAME common_dialog_test
  SOURCES tests/clsCommonDialog_test.cpp
  LIBS quorallion_core_library
  RESOURCE_LOCK screen)

# A private zh_CN.UTF-8 locale in the build folder: with LOCPATH pointing at it Wine takes 936
# as its ANSI code page, without changing the system's locales.
set(QUORALLION_LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
add_test(NAME zh_cn_locale
  COMMAND sh -c "mkdir -p \"$1\" && test -f \"$1/zh_CN.UTF-8/LC_CTYPE\" || localedef -c -i zh_CN -f UTF-8 \"$1/zh_CN.UTF-8\" || test -f \"$1/zh_CN.UTF-8/LC_CTYPE\""
          sh ${QUORALLION_LOCALE_DIR})
set_tests_properties(zh_cn_locale PROPERTIES FIXTURES_SETUP zh_cn_locale)
set(QUORALLION_ZH_CN_ENVIRONMENT
  "LOCPATH=${QUORALLION_LOCALE_DIR};LANG=zh_CN.UTF-8;LC_ALL=zh_CN.UTF-8")

quorallion_test(NAME huge_binary_file_cp936_test
  SOURCES tests/clsHugeBinaryFile_cp936_test.cpp
  LIBS quorallion_core_library
  FIXTURES zh_cn_locale)
set_tests_properties(huge_binary_file_cp936_test PROPERTIES ENVIRONMENT "${QUORALLION_ZH_CN_ENVIRONMENT}")
