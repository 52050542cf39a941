# The image object, its helpers and its drawing. The pixel arithmetic needs no Windows API and
# builds natively under the sanitizers; the object itself wraps a DIB section.
add_library(quorallion_imaging_portable STATIC
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_copy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_blend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_scale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_mirror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/light_adjust.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/alpha_runs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_trim.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_fill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/pixel_effects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels/drop_shadow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bas32bppDIBParsers.cpp)
target_include_directories(quorallion_imaging_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR})

quorallion_test(NAME imaging_pixels_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/parsers_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/pixel_workers_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/pixel_effects_test.cpp
  LIBS quorallion_imaging_portable)

quorallion_fuzz(NAME imaging_pixels_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/pixel_workers_fuzz.cpp
  LIBS quorallion_imaging_portable
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/corpus
  SECONDS 30)

if(NOT WIN32)
  return()
endif()

add_library(quorallion_imaging STATIC
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_pixels_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_render_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_blend_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_resize_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_effects_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c32bppDIB_text_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clsSaveBitmapAs_win.cpp
  # The codecs' whole-file writer: GDI+ saves go through it too.
  ${CMAKE_CURRENT_LIST_DIR}/codecs/whole_file_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bas32bppDIBParsers_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shaped_region_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdiplus/gdiplus_flat_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdiplus/growing_stream_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdiplus/cGDIPlus_win.cpp)
target_include_directories(quorallion_imaging PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorallion_imaging PUBLIC quorallion_imaging_portable quorallion_com gdi32 msimg32
  ole32 oleaut32 uuid user32)

quorallion_test(NAME imaging_object_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/c32bppDIB_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/render_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/gdiplus_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/parsers_win_test.cpp
  LIBS quorallion_imaging)
