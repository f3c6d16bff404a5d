# 64-bit Windows from Debian: the mingw-w64 cross compiler with POSIX threads
# (g++-mingw-w64-x86-64-posix, GCC 12) and its binutils' resource compiler.
# The `windows` preset uses it; scripts/windows.sh builds with that preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVARIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVARIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVARIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVARIN_MINGW_PREFIX}-windres)

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KELVARIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
