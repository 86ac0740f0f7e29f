# Cross-compiles for Windows with Debian's MinGW-w64 (the posix thread flavour, which
# std::thread needs), linked statically so that the programs need no MinGW DLLs beside them.
# Included by toolchain-mingw-i686.cmake and toolchain-mingw-x86_64.cmake, which name the
# processor.
set(CMAKE_SYSTEM_NAME Windows)
set(FOLVANE_MINGW_PREFIX ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${FOLVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOLVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${FOLVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FOLVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
