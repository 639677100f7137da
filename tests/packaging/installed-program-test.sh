#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed program: `cmake --install` into a staging folder (DESTDIR, prefix /usr), its files,
# then the installed programs run on the sample network with a fresh HOME: they read their
# signature table and settings from the user's configuration folder, which they make and fill
# with a copy of the bundled table, write the settings there, and nothing beside themselves.
# Usage: installed-program-test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/lantrivex-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

# Every installed file, and nothing else.
app_id=example.lantrivex.Lantrivex
expected=(
    usr/bin/lantrivex-cli
    usr/share/applications/$app_id.desktop
    usr/share/doc/lantrivex/README.md
    usr/share/doc/lantrivex/changelog.gz
    usr/share/doc/lantrivex/copyright
    usr/share/icons/hicolor/256x256/apps/lantrivex.png
    usr/share/icons/hicolor/48x48/apps/lantrivex.png
    usr/share/icons/hicolor/scalable/apps/lantrivex.svg
    usr/share/lantrivex/Signatures.txt
    usr/share/man/man1/lantrivex-cli.1.gz
    usr/share/metainfo/$app_id.metainfo.xml
)
[[ -x $build/bin/lantrivex ]] && expected+=(usr/bin/lantrivex usr/share/man/man1/lantrivex.1.gz)
listing() { (cd "$root" && find . -type f -printf '%P\n' | LC_ALL=C sort); }
diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) <(listing) || fail "installed files differ"

cmp "$source/samples/Signatures.txt" "$root/usr/share/lantrivex/Signatures.txt"
icons=$root/usr/share/icons/hicolor
for size in 48 256; do
    file "$icons/${size}x$size/apps/lantrivex.png" | grep -q "PNG image data, $size x $size" ||
        fail "the ${size} px icon is not a $size x $size PNG"
done
desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop"
grep -q '^Name\[fr\]=' "$desktop" || fail "no French name"
grep -q '^Comment\[fr\]=' "$desktop" || fail "no French comment"

# The AppStream metadata: valid, for this desktop entry, in English and French; the manual pages
# and the metadata tell the program's own version.
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli: $(cat "$work/appstream.log")"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $app_id.desktop"
grep -q '<summary xml:lang="fr">' "$metainfo" || fail "no French summary"
version=$("$root/usr/bin/lantrivex-cli" --version | cut -d' ' -f2)
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata's release is not $version"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    name=$(basename "$page" .1.gz)
    gzip -dc "$page" | grep -q "^\.TH ${name^^} 1 \"[0-9]*\" \"Lantrivex $version\"" ||
        fail "$(basename "$page") is not $name(1) of version $version"
done

# The installed command-line reader on the sample network, as a user with a fresh home.
"$source/tools/make-sample-network.sh" "$work/net" >/dev/null
export LANTRIVEX_MOUNTS=$work/net/mounts LANTRIVEX_REGISTRY_DIR=$work/net/Registry
export HOME=$work/home
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
cli=$root/usr/bin/lantrivex-cli
config=$HOME/.config/lantrivex
before=$(listing)
volume='\\NTSRV1\D$\Mac Volumes\Graphics'

# Descriptions come from the copy of the bundled table in the configuration folder.
scan=$(cd "$work" && "$cli" scan --format csv "$volume")
[[ $scan == *',XDOCXPR3,'*'Quark XPress'* ]] || fail "scan did not describe XDOCXPR3: $scan"
cmp "$root/usr/share/lantrivex/Signatures.txt" "$config/Signatures.txt"
[[ $(stat -c %a "$config") == 700 ]] || fail "the configuration folder is not the user's alone"
sed -i 's/^"XDOCXPR3","\([^"]*\)","[^"]*"/"XDOCXPR3","\1","Edited here"/' "$config/Signatures.txt"
[[ $("$cli" scan --format csv "$volume") == *',XDOCXPR3,Edited here'* ]] ||
    fail "scan did not read the table of the configuration folder"

# The product setting comes from Lantrivex.ini in the configuration folder.
[[ $("$cli" catalogue) != *'Studio IP'* ]] || fail "MacServerIP's volume shown with product 0"
printf '[Configuration]\r\nServeurMac=1\r\n' >"$config/Lantrivex.ini"
[[ $("$cli" catalogue) == *'Studio IP'* ]] || fail "catalogue did not read the product setting"

# $XDG_CONFIG_HOME, when set, is where the folder goes.
XDG_CONFIG_HOME=$work/xdg "$cli" scan --format csv "$volume" >/dev/null
[[ -f $work/xdg/lantrivex/Signatures.txt ]] || fail "nothing in \$XDG_CONFIG_HOME/lantrivex"

# The installed window program on a private X display (the xcb platform plugin), closed as a
# window manager closes it: it writes its placement to the configuration folder.
if [[ -x $root/usr/bin/lantrivex ]]; then
    Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
    [[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    DISPLAY=:$(cat "$work/display")
    export DISPLAY QT_QPA_PLATFORM=xcb
    # In a sanitizer build, the X libraries trip two checks that the offscreen window tests keep:
    # libxkbcommon-x11's strndup past a string's end (strict string checks) and libdbus's leaks.
    [[ -n ${ASAN_OPTIONS:-} ]] && export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    (cd "$work" && exec "$root/usr/bin/lantrivex") >"$work/window.log" 2>&1 &
    window=$!
    python3 "$(dirname "$0")/close-window.py" "Lantrivex " 30 $window ||
        fail "no window: $(cat "$work/window.log")"
    for _ in $(seq 300); do kill -0 $window 2>/dev/null || break; sleep 0.1; done
    wait $window || fail "the window program failed: $(cat "$work/window.log")"
    grep -q '^\[Positions\]' "$config/Lantrivex.ini" || fail "no placement written on closing"
    grep -q '^ServeurMac=1' "$config/Lantrivex.ini" || fail "the product setting was lost"
fi

[[ $(listing) == "$before" ]] || fail "the installed program wrote beside itself"
[[ ! -e $work/Signatures.txt && ! -e $work/Lantrivex.ini ]] || fail "wrote into the current folder"
echo "installed program: files, configuration folder and sample network as expected"
