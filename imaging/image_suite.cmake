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

# Loading from the user's side: samples ImageMagick makes at test time, resources compiled in.
quorallion_test(NAME image_load_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/load_chain_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/load_resources.rc
  LIBS quorallion_image_suite quorallion_test_support)

quorallion_test(NAME image_clipboard_load_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/load_clipboard_test.cpp
  LIBS quorallion_image_suite quorallion_test_support
  RESOURCE_LOCK clipboard)

# Every saver read back by ImageMagick and djpeg; files replaced only by complete new ones.
quorallion_test(NAME image_save_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/savers_test.cpp
  LIBS quorallion_image_suite quorallion_test_support)
# The JPEG save again with GDI+ kept from loading, so that the suite's own writer saves.
add_test(NAME image_save_own_jpeg_test COMMAND image_save_test --gtest_filter=Savers.JpegWithoutGdiPlus*)
set_tests_properties(image_save_own_jpeg_test PROPERTIES TIMEOUT 300
  ENVIRONMENT "WINEDLLOVERRIDES=gdiplus=;mscoree,mshtml=;winemenubuilder.exe=d")

# The same loads and saves again with GDI+ kept from loading, so that the own PNG reader and
# writer carry every PNG.
set(noGdiPlus "WINEDLLOVERRIDES=mscoree,mshtml,gdiplus=")
add_test(NAME image_load_test_without_gdiplus
  COMMAND image_load_test --gtest_filter=LoadChain.EachFormat*:LoadChain.Png*)
add_test(NAME image_save_test_without_gdiplus
  COMMAND image_save_test --gtest_filter=Savers.EachFile*:Savers.Png*)
set_tests_properties(image_load_test_without_gdiplus image_save_test_without_gdiplus PROPERTIES
  ENVIRONMENT "${noGdiPlus}" TIMEOUT 300)

# Resize roads, trimming, tiling into a DC, the exchange of blocks, effects, shadow and text.
quorallion_test(NAME image_shape_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/shape_effects_test.cpp
  LIBS quorallion_imaging)
