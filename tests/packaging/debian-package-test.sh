#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package that `cpack -G DEB` makes of a release build: its name, its control fields
# (dependencies found by dpkg-shlibdeps) and its file list.
# Usage: debian-package-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/lantrivex-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log") ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/lantrivex_*_"$(dpkg --print-architecture)".deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no lantrivex_VERSION_ARCH.deb: $(ls "$work/out")"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == lantrivex ]] || fail "Package: $(field Package)"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
# The summary line, then the long description's paragraph, each line led by one blank.
description=$(field Description)
[[ $(sed -n 1p <<<"$description") == "Macintosh volume index analyser for Windows file servers" &&
    $(sed -n 2p <<<"$description") == " Lantrivex lists "* &&
    $(sed -n '2,$p' <<<"$description" | grep -cv '^ [^ ]') == 0 ]] || fail "Description: $description"
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libsmbclient; do
    [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
        fail "Depends lacks $library: $depends"
done
[[ $depends != *lib*san* ]] || fail "a sanitizer's runtime in Depends: $depends"

# Every file in its place, owned by root, the programs stripped.
diff <(printf '%s\n' \
    ./usr/bin/lantrivex ./usr/bin/lantrivex-cli \
    ./usr/share/applications/example.lantrivex.Lantrivex.desktop \
    ./usr/share/doc/lantrivex/README.md \
    ./usr/share/doc/lantrivex/changelog.gz \
    ./usr/share/doc/lantrivex/copyright \
    ./usr/share/icons/hicolor/256x256/apps/lantrivex.png \
    ./usr/share/icons/hicolor/48x48/apps/lantrivex.png \
    ./usr/share/icons/hicolor/scalable/apps/lantrivex.svg \
    ./usr/share/lantrivex/Signatures.txt \
    ./usr/share/man/man1/lantrivex-cli.1.gz \
    ./usr/share/man/man1/lantrivex.1.gz \
    ./usr/share/metainfo/example.lantrivex.Lantrivex.metainfo.xml) \
    <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort) ||
    fail "the package's files differ"
[[ -z $(dpkg-deb -c "$deb" | awk '$2 != "root/root"') ]] || fail "files not owned by root"
dpkg-deb -x "$deb" "$work/unpacked"
file "$work/unpacked/usr/bin/lantrivex-cli" | grep -q ', stripped' || fail "lantrivex-cli not stripped"
echo "$(basename "$deb"): Depends: $depends"
