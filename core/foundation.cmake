# Foundation helpers, included from core/CMakeLists.txt.
# Portable: no Windows API, built natively under the sanitizers and fuzzed.
add_library(quorallion_foundation_portable STATIC
  file/file_ext.cpp
  file/drop_files.cpp
  encoding/text_detect.cpp
  encoding/utf_units.cpp
  punycode/clsPunyCode.cpp)
target_include_directories(quorallion_foundation_portable PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

quorallion_test(NAME foundation_portable_test
  SOURCES tests/file_ext_test.cpp tests/text_detect_test.cpp tests/punycode_test.cpp tests/drop_files_test.cpp
  LIBS quorallion_foundation_portable)

quorallion_fuzz(NAME punycode_fuzz SOURCES tests/fuzz/punycode_fuzz.cpp
  LIBS quorallion_foundation_portable CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/punycode_corpus)
quorallion_fuzz(NAME text_detect_fuzz SOURCES tests/fuzz/text_detect_fuzz.cpp
  LIBS quorallion_foundation_portable CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/text_detect_corpus)

if(NOT WIN32)
  return()
endif()

add_library(quorallion_foundation STATIC
  regex/basRegExp_win.cpp
  file/file_text_win.cpp
  encoding/basUTF8ToUnicode_win.cpp
  encoding/basTextUTF_win.cpp
  base64/basBase64_win.cpp
  error/program_name_win.cpp
  registry/clsRegistry_win.cpp
  registry/registry_associations_win.cpp)
target_link_libraries(quorallion_foundation PUBLIC quorallion_foundation_portable quorallion_core
  crypt32 advapi32)

quorallion_test(NAME foundation_regex_test
  SOURCES tests/basRegExp_test.cpp
  LIBS quorallion_foundation)
quorallion_test(NAME foundation_win_test
  SOURCES tests/basFile_test.cpp tests/basBase64_test.cpp tests/encoding_win_test.cpp
  LIBS quorallion_foundation)
quorallion_test(NAME foundation_registry_test
  SOURCES tests/clsRegistry_test.cpp
  LIBS quorallion_foundation)
