# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# so that std::thread and friends are there). tools/windows.sh passes the Qt
# for Windows folder in CMAKE_PREFIX_PATH; it is searched like the MinGW
# root, for libraries, headers and packages only: programs (moc, rcc, uic)
# come from the host's Qt through QT_HOST_PATH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# ctest runs the Windows programs through Wine.
find_program(QUILLON_WINE NAMES wine wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLON_WINE})
