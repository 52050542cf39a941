# The image object's loading (the load chain over the readers, resources, handles, the clipboard
# and file lists) and saving (the writers' roads, PNG properties), above the codecs' library.
if(NOT WIN32 OR NOT TARGET quorallion_codecs)
  return()
endif()

add_library(quorallion_image_suite STATIC
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_load_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_save_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_clipboard_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_icon_sizes_win.cpp)
target_link_libraries(quorallion_image_suite PUBLIC quorallion_codecs quorallion_foundation_portable)
