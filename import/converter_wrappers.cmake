# The wrappers of the converter libraries: clsPdf with basPublic.ResizeImageFile, and clsEmf2Png.
# Included from import/CMakeLists.txt. Page options and resize arithmetic are portable.
add_library(quorallion_pdf_pages_portable STATIC
  ${CMAKE_CURRENT_LIST_DIR}/pdf/pdf_page_options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pdf/resize_target.cpp)
target_include_directories(quorallion_pdf_pages_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR})

quorallion_test(NAME pdf_pages_portable_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/pdf_page_options_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/resize_target_test.cpp
  LIBS quorallion_pdf_pages_portable)

if(NOT WIN32)
  return()
endif()

add_library(quorallion_converter_wrappers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/binding/converter_library_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pdf/clsPdf_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pdf/ResizeImageFile_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/emf/clsEmf2Png_win.cpp)
target_include_directories(quorallion_converter_wrappers PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorallion_converter_wrappers PUBLIC quorallion_pdf_pages_portable quorallion_image_suite
  quorallion_foundation quorallion_core)
