# Interface targets shared by every layer: warnings and sanitizers.
add_library(folvane_warnings INTERFACE)
if(MSVC)
  # The sources are UTF-8 without a byte order mark.
  target_compile_options(folvane_warnings INTERFACE /W4 /WX /utf-8)
else()
  target_compile_options(folvane_warnings INTERFACE -Wall -Wextra -Wshadow -Werror)
endif()
# GCC 12 at -O3 reports overlapping copies inside std::string's own operator+ (GCC bug 105329),
# a false alarm that would stop optimised builds.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(folvane_warnings INTERFACE -Wno-restrict)
endif()

add_library(folvane_sanitize INTERFACE)
if(FOLVANE_SANITIZE)
  target_compile_options(folvane_sanitize INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(folvane_sanitize INTERFACE -fsanitize=address,undefined)
endif()
# For the fuzzing harnesses every library is instrumented for libFuzzer's coverage feedback and
# checked by both sanitizers; the harnesses alone link the fuzzer's own main().
if(FOLVANE_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "FOLVANE_BUILD_FUZZERS needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  target_compile_options(folvane_sanitize INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(folvane_sanitize INTERFACE -fsanitize=address,undefined)
endif()

# The layering is part of every build: a module that includes a header of a layer above it, an
# operating-system header outside the platform backends or a toolkit header outside app/qt
# fails the build (cmake/CheckLayers.cmake says the rules).
add_custom_target(folvane_check_layers
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMENT "Checking the layers" VERBATIM)

# folvane_layer(<target> <folder> LINKS <lower targets>...)
# One static library per layer folder, from the folder's own sources and its
# POSIX or Windows backend. The repository root is the include root, so code
# includes "settings/settings.h" and never a path that reaches around a layer.
function(folvane_layer target folder)
  cmake_parse_arguments(ARG "BACKEND" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cpp")
  if(ARG_BACKEND)
    if(WIN32)
      file(GLOB backend CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/win32/*.cpp")
    else()
      file(GLOB backend CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/posix/*.cpp")
    endif()
    list(APPEND sources ${backend})
  endif()
  add_library(${target} STATIC ${sources})
  add_dependencies(${target} folvane_check_layers)
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS} folvane_sanitize PRIVATE folvane_warnings)
endfunction()

# Formatting over .clang-format.
find_program(CLANG_FORMAT clang-format)
if(CLANG_FORMAT)
  file(GLOB_RECURSE format_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/platform/*.[ch]* ${CMAKE_SOURCE_DIR}/settings/*.[ch]*
    ${CMAKE_SOURCE_DIR}/render/*.[ch]* ${CMAKE_SOURCE_DIR}/engine/*.[ch]*
    ${CMAKE_SOURCE_DIR}/app/*.[ch]* ${CMAKE_SOURCE_DIR}/tests/*.[ch]* ${CMAKE_SOURCE_DIR}/bench/*.[ch]*)
  add_custom_target(format COMMAND ${CLANG_FORMAT} -i ${format_sources})
  add_custom_target(check-format COMMAND ${CLANG_FORMAT} --dry-run --Werror ${format_sources})
endif()
