# Small helpers shared by the folders' CMakeLists.

# quorallion_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#                 [FIXTURES <fixtures...>] [TIMEOUT <seconds>] [RESOURCE_LOCK <locks...>])
# One GoogleTest program, registered as one CTest entry. Under the cross build CTest runs it
# through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR).
function(quorallion_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;FIXTURES;RESOURCE_LOCK" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest_main)
  if(WIN32)
    set_target_properties(${T_NAME} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_FIXTURES)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  if(T_RESOURCE_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
endfunction()

# quorallion_typelib(<target> <idl>): makes the type library, the C++ header (<name>_h.h) and the
# GUID definitions (<name>_i.c) of an IDL file with widl, and adds them to <target>.
find_program(QUORALLION_WIDL NAMES x86_64-w64-mingw32-widl widl)
set(QUORALLION_WINE_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "Wine's IDL files")
set(QUORALLION_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "stdole2.tlb")
function(quorallion_typelib target idl)
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idlPath ${idl} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  set(flags --win64 -I${QUORALLION_WINE_IDL_DIR} -L${QUORALLION_WINE_TLB_DIR})
  add_custom_command(
    OUTPUT ${out}/${name}.tlb ${out}/${name}_h.h ${out}/${name}_i.c
    COMMAND ${QUORALLION_WIDL} ${flags} -t -o ${out}/${name}.tlb ${idlPath}
    COMMAND ${QUORALLION_WIDL} ${flags} -h -o ${out}/${name}_h.h ${idlPath}
    COMMAND ${QUORALLION_WIDL} ${flags} -u -o ${out}/${name}_i.c ${idlPath}
    DEPENDS ${idlPath}
    COMMENT "widl ${name}.idl")
  target_sources(${target} PRIVATE ${out}/${name}_h.h ${out}/${name}_i.c)
  target_include_directories(${target} PUBLIC ${out})
  set_source_files_properties(${out}/${name}.tlb PROPERTIES GENERATED TRUE)
endfunction()

# quorallion_fuzz(NAME <name> SOURCES <files...> LIBS <targets...> [CORPUS <dir>] [SECONDS <n>])
# A libFuzzer target of the native clang build, run for a bounded time by CTest.
function(quorallion_fuzz)
  cmake_parse_arguments(F "" "NAME;CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 30)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set(corpusArgs)
  if(F_CORPUS)
    # A scratch copy, so that the run's new inputs stay out of the source tree.
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}_corpus)
    file(MAKE_DIRECTORY ${work})
    file(COPY ${F_CORPUS}/ DESTINATION ${work})
    set(corpusArgs ${work})
  endif()
  add_test(NAME ${F_NAME}
           COMMAND ${F_NAME} -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048 ${corpusArgs})
  set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
