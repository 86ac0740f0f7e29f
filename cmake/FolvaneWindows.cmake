# Windows builds: cross-compiled with MinGW-w64 (cmake/toolchain-mingw-*.cmake) and tested under
# Wine. Nothing here applies to other builds.
if(NOT WIN32)
  return()
endif()

# The wide-character API throughout, Windows 7 or later, no min/max macros.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

if(FOLVANE_BUILD_QT)
  message(STATUS "Windows builds have no Qt desktop program: FOLVANE_BUILD_QT is ignored")
  set(FOLVANE_BUILD_QT OFF)
endif()

if(CMAKE_CROSSCOMPILING AND FOLVANE_BUILD_TESTS)
  # Test programs run under Wine, in a prefix of this build folder that
  # scripts/wine-tests.sh makes and whose wineserver it keeps running for the whole run.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(wine_loader wine64)
  else()
    set(wine_loader wine)
  endif()
  find_program(FOLVANE_WINE ${wine_loader} PATHS /usr/lib/wine NO_DEFAULT_PATH)
  if(NOT FOLVANE_WINE)
    find_program(FOLVANE_WINE ${wine_loader})
  endif()
  set(FOLVANE_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  # Wine's temporary folder is on C:, which tests map onto folders of their own; the test
  # folders go on Z: (the host root) instead.
  set(FOLVANE_TEST_TEMP "${CMAKE_BINARY_DIR}/test-temp")
  file(MAKE_DIRECTORY "${FOLVANE_TEST_TEMP}")
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${FOLVANE_WINEPREFIX} WINEDEBUG=-all
                                    FOLVANE_TEST_TEMP=Z:${FOLVANE_TEST_TEMP}
                                    sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${FOLVANE_WINE})
  # The tests are listed when CTest runs, with the wineserver up, not after each link.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

  # GoogleTest from its sources, built with the cross compiler; it names its targets GTest::*.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Resource scripts: the icon, the manifest and the version resource of each program.
enable_language(RC)
configure_file(${CMAKE_SOURCE_DIR}/resources/windows/version_info.h.in
               ${CMAKE_BINARY_DIR}/resources/version_info.h @ONLY)

# folvane_windows_resources(<target> <script.rc> <manifest.in>): the script names its files from
# the repository root, or by their bare names for the build's own (version_info.h, the
# manifest configured with the project's version).
function(folvane_windows_resources target script manifest)
  get_filename_component(manifest_name ${manifest} NAME_WLE)
  configure_file(${manifest} ${CMAKE_BINARY_DIR}/resources/${manifest_name} @ONLY)
  target_sources(${target} PRIVATE ${script})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/resources)
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS
               ${CMAKE_BINARY_DIR}/resources/${manifest_name} ${CMAKE_BINARY_DIR}/resources/version_info.h
               ${CMAKE_SOURCE_DIR}/resources/windows/version_block.rc ${CMAKE_SOURCE_DIR}/resources/icons/folvane.ico)
endfunction()

# The system libraries the Windows backend calls.
function(folvane_windows_platform_libraries target)
  target_link_libraries(${target} PUBLIC advapi32 shell32 ole32 uuid version ntdll)
endfunction()
