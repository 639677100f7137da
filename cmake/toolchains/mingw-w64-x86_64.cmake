# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program, cross-built on Debian with MinGW-w64 (x86_64, posix thread model: the
# win32 model of GCC 12 has no std::mutex or std::thread). Programs are linked statically against
# the compiler's runtime (libgcc, libstdc++, winpthread), so they need no MinGW DLL beside them.
# Wine runs the built programs: gtest_discover_tests and ctest start them through it.
#
# The prefixes of the cross-built GoogleTest and Qt are looked for in the build cache,
# $LANTRIVEX_CACHE (default /var/cache/lantrivex), as tools/setup-windows-cross.sh makes them.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LANTRIVEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LANTRIVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LANTRIVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LANTRIVEX_MINGW_TRIPLE}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The windows preset builds with -O2: at -O3, GCC 12 warns falsely (-Wrestrict) inside
# std::string's inlined copies, and warnings are errors.

if(DEFINED ENV{LANTRIVEX_CACHE} AND NOT "$ENV{LANTRIVEX_CACHE}" STREQUAL "")
    set(LANTRIVEX_CACHE "$ENV{LANTRIVEX_CACHE}")
else()
    set(LANTRIVEX_CACHE /var/cache/lantrivex)
endif()
set(LANTRIVEX_WINDOWS_PREFIXES "${LANTRIVEX_CACHE}/qt-6.4.2-mingw-w64"
                               "${LANTRIVEX_CACHE}/googletest-mingw-w64")

# Headers, libraries and packages come from the target's side only; programs (moc, windres) from
# the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${LANTRIVEX_MINGW_TRIPLE} ${LANTRIVEX_WINDOWS_PREFIXES})
list(APPEND CMAKE_PREFIX_PATH ${LANTRIVEX_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's build tools (moc, uic, rcc) are the build machine's own Qt of the same version.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Its CMake packages")

find_program(LANTRIVEX_WINE wine)
if(LANTRIVEX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${LANTRIVEX_WINE}")
endif()
