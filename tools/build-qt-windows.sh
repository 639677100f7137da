#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds Qt 6 (qtbase: Core, Gui, Widgets, Test, the windows and offscreen platform plugins)
# for 64-bit Windows with MinGW-w64, from Debian's own qt6-base source package, the same version as
# the host's Qt. The result goes to a cache folder outside the clone and is built only when it is
# missing or when the patches in tools/qt-windows/ changed:
#
#   ${LANTRIVEX_CACHE:-/var/cache/lantrivex}/qt-6.4.2-mingw-w64
#
# About 30 minutes on 2 cores, 1.2 GB of disk while it builds, 80 MB when installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${LANTRIVEX_CACHE:-/var/cache/lantrivex}
version=6.4.2
prefix=$cache/qt-$version-mingw-w64
stamp=$prefix/.lantrivex-build

patches=("$root"/tools/qt-windows/*.patch)
wanted="qt6-base $version; patches $(cat "${patches[@]}" | sha256sum | cut -c1-16)"
if [[ -f $stamp && "$(cat "$stamp")" == "$wanted" ]]; then
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "build-qt-windows: run as root or install sudo" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

# What the build needs: the cross compilers, the host's Qt tools (moc, uic, rcc run on the build
# machine), and dpkg-source to unpack the source package.
needed=(g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools cmake ninja-build dpkg-dev
        patch)
"$root/tools/install-packages.sh" "${needed[@]}"

# Debian's source packages: when none is configured, add deb-src entries for the Debian archives
# the machine already uses (tools/debian-source-entries.sh, which says what to configure when
# there is none).
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q "^Version: $version"; then
    entries=$("$root/tools/debian-source-entries.sh") || exit 1
    echo "build-qt-windows: adding the source packages of the configured Debian archives" >&2
    printf '%s\n' "$entries" | "${sudo[@]}" tee /etc/apt/sources.list.d/lantrivex-deb-src.sources >/dev/null
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    apt-cache showsrc qt6-base 2>/dev/null | grep -q "^Version: $version" || {
        echo "build-qt-windows: the configured Debian archives offer no qt6-base $version source" >&2
        exit 1
    }
fi

work=$cache/qt-$version-mingw-w64.work
"${sudo[@]}" mkdir -p "$cache"
"${sudo[@]}" rm -rf "$work" "$prefix"
"${sudo[@]}" mkdir -p "$work"
[[ -z ${sudo[*]} ]] || "${sudo[@]}" chown "$(id -u):$(id -g)" "$work" "$cache"
cd "$work"
echo "build-qt-windows: fetching and unpacking Debian's qt6-base source" >&2
apt-get source -qq qt6-base="$(apt-cache showsrc qt6-base | awk '/^Version:/{print $2}' |
                                grep "^$version" | sort -V | tail -n1)" >/dev/null 2>&1
src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[[ -n $src ]] || { echo "build-qt-windows: the source package did not unpack" >&2; exit 1; }
for p in "${patches[@]}"; do
    patch -d "$src" -p1 --forward --quiet <"$p"
done

# Windows 64-bit, MinGW-w64 with the POSIX thread model (std::thread and std::mutex); the host's
# Qt provides the build tools. What the program does not use is left out: OpenGL, networking, SQL,
# printing, XML, D-Bus, ICU, Vulkan, Direct2D, JPEG, zstd. FreeType stays: the offscreen platform
# plugin draws text with it.
cmake -G Ninja -S "$src" -B build \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
    -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix \
    -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++-posix \
    -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres \
    -DCMAKE_FIND_ROOT_PATH=/usr/x86_64-w64-mingw32 \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
    -DCMAKE_CROSSCOMPILING_EMULATOR="" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_icu=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_testlib=ON -DFEATURE_freetype=ON >build.log 2>&1 ||
    { tail -n 40 build.log >&2; exit 1; }
echo "build-qt-windows: building (about 30 minutes on 2 cores)" >&2
cmake --build build >>build.log 2>&1 || { grep -m5 -B2 -A8 'error' build.log >&2 || tail -n 40 build.log >&2; exit 1; }
cmake --install build >>build.log 2>&1 || { tail -n 40 build.log >&2; exit 1; }
echo "$wanted" >"$stamp"
cd /
rm -rf "$work"
echo "build-qt-windows: Qt $version for Windows is in $prefix" >&2
