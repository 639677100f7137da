#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program's .zip: CPack makes it from the windows build; it holds exactly the programs,
# the signature table, the Qt libraries with the one platform plugin, Qt's French texts and the
# runtime Qt needs, stripped, with the licences and the README; it stays under 12 MB; unpacked
# anywhere, its programs start under Wine with nothing but that folder.
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

expected="LICENSE.txt
Qt6Core.dll
Qt6Gui.dll
Qt6Widgets.dll
README.txt
Signatures.txt
lantrivex-cli.exe
lantrivex.exe
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
licenses/LGPL-3.txt
licenses/MinGW-runtime.txt
licenses/Qt.txt
platforms/qwindows.dll
translations/qtbase_fr.qm"
actual=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [[ "$actual" != "$expected" ]]; then
    echo "the zip holds:" >&2; echo "$actual" >&2
    echo "expected:" >&2; echo "$expected" >&2
    exit 1
fi
size=$(stat -c %s "$zip")
echo "zip: $(basename "$zip"), $size bytes, $(echo "$actual" | wc -l) files"
[[ $size -le 12000000 ]] || { echo "the zip is over 12 MB" >&2; exit 1; }
# Stripped: no symbol table left in a program or a library.
for binary in "$folder"/*.exe "$folder"/*.dll "$folder"/platforms/*.dll; do
    if [[ $(file -b "$binary") != *"stripped to external PDB"* ]]; then
        echo "$(basename "$binary") is not stripped: $(file -b "$binary")" >&2
        exit 1
    fi
done
# The notices say what they are about.
grep -q "GNU GENERAL PUBLIC LICENSE" "$folder/LICENSE.txt" || { echo "LICENSE.txt is not the GPL" >&2; exit 1; }
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$folder/licenses/LGPL-3.txt" || { echo "no LGPL" >&2; exit 1; }
grep -q "Qt6Core.dll" "$folder/licenses/Qt.txt" || { echo "Qt's notice names no library" >&2; exit 1; }
grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$folder/licenses/MinGW-runtime.txt" ||
    { echo "the runtime's notice lacks its exception" >&2; exit 1; }
grep -q "Lantrivex.ini" "$folder/README.txt" || { echo "README.txt tells nothing of the settings" >&2; exit 1; }

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
