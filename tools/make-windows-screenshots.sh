#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Photographs the Windows program under Wine, from its zip as a user unpacks it, on this computer's
# Macintosh server with one volume of 55 characters whose index holds 1,234,567 files:
#   screenshot-long-title-windows.png          the window at its default size, the volume analysed
#   screenshot-long-title-windows-420x260.png  the same, the window 420×260 pixels inside its frame
# With --dialogs, also the window in front (window-active.png) and behind the signature manager
# and the drives dialog (dialog-signatures.png, dialog-drives.png), the whole screen, to compare
# the menu bar of a window a dialog blocks with that of the active window.
# Builds what is missing first (the windows preset with the window program), and runs it on a
# private X server (xvfb-run) in a private Wine prefix, both thrown away afterwards.
# Usage: tools/make-windows-screenshots.sh [--dialogs] [OUTPUT_DIR]   (default: docs)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} == --photograph ]]; then
    # Second stage, on the X server: WORK OUTPUT_DIR DIALOGS
    work=$2 out=$3 dialogs=$4
    program=$(ls -d "$work"/unpacked/lantrivex-*-windows-x64)
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT

    # The program's main window (Wine may give it a new X window as it goes).
    main_window() { xdotool search --name '^Lantrivex [0-9]' 2>/dev/null | head -n 1; }

    # start_program [WIDTH HEIGHT [LEFT TOP]]: starts the program, its window WIDTH×HEIGHT pixels
    # at LEFT, TOP through its settings file (Width and Height, which Wine without a window
    # manager takes for the inner size: its frame comes around them), then opens the volume (the
    # tree's last line).
    start_program() {
        local ini="$program/Lantrivex.ini"
        rm -f "$ini"
        if [[ $# -ge 2 ]]; then
            # Positions in twips, 15 to the pixel.
            printf '[Positions]\r\nWindowState=0\r\nLeft=%d\r\nTop=%d\r\nWidth=%d\r\nHeight=%d\r\n' \
                $((${3:-40} * 15)) $((${4:-40} * 15)) $(($1 * 15)) $(($2 * 15)) >"$ini"
        fi
        (cd "$program" && exec wine lantrivex.exe >/dev/null 2>&1) &
        running=$!
        xdotool search --sync --name '^Lantrivex [0-9]' >/dev/null
        sleep 3 # the catalogue of this computer
        xdotool windowfocus --sync "$(main_window)"
        sleep 1
        # The first key gives the tree its current line; End then goes to the last, Enter opens it.
        xdotool key End
        sleep 0.5
        xdotool key End
        sleep 0.5
        xdotool key Return
        sleep 4 # 12 MB of index
    }
    # photograph FILE: the main window with its frame, as it is on the screen.
    photograph() {
        import -window root -crop "$(xwininfo -id "$(main_window)" | awk '
            /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
            /Width:/ {w = $2} /Height:/ {h = $2} END {printf "%dx%d+%d+%d", w, h, x, y}')" \
            +repage "$out/$1"
        echo "$out/$1"
    }
    # screen FILE: the whole screen.
    screen() {
        import -window root "$out/$1"
        echo "$out/$1"
    }
    # stop_program: Alt+F4 to the main window, then waits for the program to end.
    stop_program() {
        local i
        xdotool windowfocus "$(main_window)" 2>/dev/null || true
        xdotool key alt+F4 || true
        for ((i = 0; i < 40; i++)); do
            kill -0 "$running" 2>/dev/null || { wait "$running" || true; return 0; }
            sleep 0.5
        done
        echo "the program did not end on Alt+F4" >&2
        return 1
    }

    start_program
    photograph screenshot-long-title-windows.png
    stop_program
    start_program 420 260
    photograph screenshot-long-title-windows-420x260.png
    stop_program
    if [[ $dialogs == 1 ]]; then
        # A window large enough that the dialogs, centred on it, leave its menu bar in view.
        start_program 1000 700 0 0
        photograph window-active.png
        xdotool key F3 # the signature manager
        sleep 3
        screen dialog-signatures.png
        xdotool key Escape
        sleep 2
        xdotool key alt+f # File
        sleep 1
        xdotool key d # Display drives
        sleep 3
        screen dialog-drives.png
        xdotool key Escape
        sleep 2
        stop_program
    fi
    exit 0
fi

dialogs=0
if [[ ${1:-} == --dialogs ]]; then
    dialogs=1
    shift
fi
out=$(mkdir -p "${1:-docs}" && cd "${1:-docs}" && pwd)

tools/setup-windows-cross.sh
# xdotool: finds the program's window and types into it; imagemagick's import: its picture.
tools/install-packages.sh xvfb xauth xdotool imagemagick fonts-wine

cmake --preset windows -DLANTRIVEX_BUILD_GUI=ON >/dev/null
cmake --build --preset windows --target lantrivex lantrivex-cli
work=$(mktemp -d "${TMPDIR:-/tmp}/lantrivex-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd build/windows && cpack -G ZIP -B "$work/zip" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; exit 1; }
zip=$(ls "$work"/zip/lantrivex-*-windows-x64.zip)
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPATH=
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
wineserver -w
# Wine draws the windows' frames itself (there is no window manager on the private X server), in
# its own fonts as on Windows: Tahoma for the text, Marlett for the frame's buttons.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
ln -s /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# This computer's Macintosh server, one volume named with 55 characters.
name="Publications Marketing et Communication - Archives 1998"
macfile='HKLM\SYSTEM\CurrentControlSet\Services\MacFile\Parameters'
wine reg add "$macfile" /v ServerName /d "Serveur Graphisme" /f >/dev/null
wine reg add "$macfile\\Volumes" /v "$name" /t REG_MULTI_SZ /f \
    /d 'MaxUsers=4294967295\0Properties=1\0Path=C:\Mac Volumes\Publications' >/dev/null
wineserver -w
# The program reads this computer's volumes through its administrative share, \\NAME\C$.
computer=$(wine cmd /c 'echo %COMPUTERNAME%' | tr -d '\r')
mkdir -p "$WINEPREFIX/dosdevices/unc/$computer"
ln -s ../../c: "$WINEPREFIX/dosdevices/unc/$computer/C\$"

# Its index, as Wine reads a named stream: a file "folder:AFP_IdIndex" beside the folder.
# records SIGNATURE COUNT: COUNT records of a marker and SIGNATURE.
records() {
    local chunk=$work/chunk i
    local -a thousand=()
    for ((i = 0; i < 1000; i++)); do thousand+=("$1"); done
    printf '\001%s\000' "${thousand[@]}" >"$chunk"
    for ((i = 0; i < $2 / 1000; i++)); do cat "$chunk"; done
    (($2 % 1000 == 0)) || printf '\001%s\000' "${thousand[@]:0:$2 % 1000}"
}
volume="$WINEPREFIX/drive_c/Mac Volumes/Publications"
mkdir -p "$volume"
{
    records W6BNMSWD 1000000
    records XDOCXPR3 200000
    records 8BPS8BIM 30000
    records TIFF8BIM 4567
} >"$volume:AFP_IdIndex"

xvfb-run -a -s "-screen 0 1024x768x24" "$0" --photograph "$work" "$out" "$dialogs"
