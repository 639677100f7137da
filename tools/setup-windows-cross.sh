#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what cross-building the Windows program and running its tests under Wine needs, from
# Debian's packages only, and builds what Debian does not ship for the target into the build cache
# ($LANTRIVEX_CACHE, default /var/cache/lantrivex), each only when missing:
#   googletest-mingw-w64/   GoogleTest from /usr/src/googletest, for the target
#   qt-6.4.2-mingw-w64/     Qt 6 for the target (tools/build-qt-windows.sh)
# Idempotent: when everything is there it only checks.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
cache=${LANTRIVEX_CACHE:-/var/cache/lantrivex}
toolchain=$source_dir/cmake/toolchains/mingw-w64-x86_64.cmake

packages=(
    cmake ninja-build libgtest-dev
    g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine xvfb xauth
)
tools/install-packages.sh "${packages[@]}"

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" mkdir -p "$cache"
[[ -w "$cache" ]] || "${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"

gtest_prefix=$cache/googletest-mingw-w64
if [[ ! -f $gtest_prefix/lib/cmake/GTest/GTestConfig.cmake ]]; then
    echo "setup-windows: building GoogleTest for Windows into $gtest_prefix" >&2
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cmake -S /usr/src/googletest -B "$work" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$gtest_prefix.partial" >/dev/null
    cmake --build "$work" >/dev/null
    rm -rf "$gtest_prefix.partial"
    cmake --install "$work" >/dev/null
    mv "$gtest_prefix.partial" "$gtest_prefix"
fi

qt_prefix=$cache/qt-6.4.2-mingw-w64
# One Qt build at a time: a second run waits for the first rather than starting over in the same
# folder, then finds its result.
exec {qt_lock}>"$cache/.qt-build.lock"
flock "$qt_lock"
if [[ ! -f $qt_prefix/lib/cmake/Qt6/Qt6Config.cmake ]]; then
    if [[ -x tools/build-qt-windows.sh ]]; then
        LANTRIVEX_CACHE=$cache tools/build-qt-windows.sh
    else
        echo "setup-windows: tools/build-qt-windows.sh is missing: no Qt for Windows" >&2
    fi
fi
