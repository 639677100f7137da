#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the release version, lays out the sample network in a temporary
# folder and starts the program on it: this computer, the sample servers NTSRV1 and NTSRV2 with
# their Macintosh servers and volumes (one of whose folders is missing), and MACSRV3, which runs
# another product. Click a volume to see its analysis.
# Without a display ($DISPLAY, $WAYLAND_DISPLAY) it prints the catalogue and the analysis of one
# volume with the command-line reader instead.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-debian.sh
cmake --preset release >/dev/null
targets=(lantrivex-cli)
[[ -f src/app/main.cpp ]] && targets+=(lantrivex)
cmake --build --preset release --target "${targets[@]}"

sample=$(mktemp -d "${TMPDIR:-/tmp}/lantrivex-sample.XXXXXX")
trap 'rm -rf "$sample"' EXIT
tools/make-sample-network.sh "$sample" >/dev/null
export LANTRIVEX_MOUNTS="$sample/mounts"
export LANTRIVEX_REGISTRY_DIR="$sample/Registry"
echo "Sample network in $sample (LANTRIVEX_MOUNTS, LANTRIVEX_REGISTRY_DIR set)"

bin=build/release/bin
if [[ -x $bin/lantrivex && ( -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ) ]]; then
    exec_status=0
    "$bin/lantrivex" || exec_status=$?
    exit $exec_status
fi

echo "No display: the command-line reader shows what the window would."
echo
echo "\$ lantrivex-cli catalogue"
"$bin/lantrivex-cli" catalogue
echo
echo "\$ lantrivex-cli scan '\\\\NTSRV1\\D\$\\Mac Volumes\\Graphics'"
"$bin/lantrivex-cli" scan '\\NTSRV1\D$\Mac Volumes\Graphics' || true
echo
echo "To see the window, run this again in a graphical session."
