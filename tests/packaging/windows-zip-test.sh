#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program's .zip: CPack makes it from the windows build; it holds exactly the programs,
# the signature table, the Qt libraries with the one platform plugin, Qt's French texts and the
# runtime Qt needs; unpacked anywhere, its programs start under Wine with nothing but that folder.
# Usage: windows-zip-test.sh BUILD_DIR WINE
set -euo pipefail
build=$1 wine=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/lantrivex-zip.XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; exit 1; }
zip=$(ls "$work"/out/lantrivex-*-windows-x64.zip)
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")
folder=$(ls -d "$work"/unpacked/lantrivex-*-windows-x64)

expected="Qt6Core.dll
Qt6Gui.dll
Qt6Widgets.dll
Signatures.txt
lantrivex-cli.exe
lantrivex.exe
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
platforms/qwindows.dll
translations/qtbase_fr.qm"
actual=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [[ "$actual" != "$expected" ]]; then
    echo "the zip holds:" >&2; echo "$actual" >&2
    echo "expected:" >&2; echo "$expected" >&2
    exit 1
fi
echo "zip: $(basename "$zip"), $(du -k "$zip" | cut -f1) KiB, $(echo "$actual" | wc -l) files"

# Only the unpacked folder: no build folder on Wine's DLL path.
export WINEPATH= WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cd "$folder"
"$wine" lantrivex-cli.exe --help >"$work/help.txt" 2>&1 ||
    { echo "lantrivex-cli.exe did not run from the unpacked folder" >&2; cat "$work/help.txt" >&2; exit 1; }
"$wine" lantrivex-cli.exe catalogue >"$work/catalogue.txt" 2>&1 ||
    { echo "lantrivex-cli.exe catalogue failed" >&2; cat "$work/catalogue.txt" >&2; exit 1; }
echo "catalogue of this computer:"; sed 's/^/  /' "$work/catalogue.txt"

# The window program loads Qt and its platform plugin from the folder and keeps running until it
# is closed: still running after a few seconds means it started (a missing DLL ends it at once).
status=0
timeout 8 "$wine" lantrivex.exe >"$work/window.txt" 2>&1 || status=$?
if [[ $status -ne 124 ]]; then
    echo "lantrivex.exe ended by itself (status $status) instead of showing its window" >&2
    cat "$work/window.txt" >&2
    exit 1
fi
echo "lantrivex.exe started and was still running after 8 s"
