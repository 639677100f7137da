#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates the sample index streams of samples/streams/ with lantrivex-gen-index (deterministic:
# the same generator gives the same files). Each stream NAME.AFP_IdIndex comes with
# NAME.expected.csv, the signatures a scan must find (signature,count in the order of first
# occurrence, then total,N). Usage: tools/make-sample-streams.sh [BUILD_DIR] (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
if [[ ! -d "$build" ]]; then
    cmake --preset release >/dev/null
    build=build/release
fi
cmake --build "$build" --target lantrivex-gen-index >/dev/null
gen="$build/bin/lantrivex-gen-index"
out=samples/streams
mkdir -p "$out"

make_stream() { # NAME SEED SIZE [options...]
    local name=$1 seed=$2 size=$3
    shift 3
    "$gen" --seed "$seed" --size "$size" --output "$out/$name.AFP_IdIndex" \
        --plan "$out/$name.expected.csv" "$@"
}

# An office volume: word processing, spreadsheets, presentations, databases.
make_stream Bureautique 1998 98304 --near-misses 0.04 --folders 0.12 \
    --signatures W6BNMSWD,XLS5XCEL,TEXTttxt,W8BNMSWD,XLS8XCEL,SLD8PPT3,WDBNMSWD,CWWPBOBO,TEXTMSWD,FMP3FMP3,CWSSBOBO,PPT3PPT3,XLS4XCEL,MW2DMWII,APPLMSWD,APPLXCEL,SITDSIT!,TEXTR*ch

# A prepress volume: page layout, images, fonts.
make_stream Graphisme 1999 98304 --near-misses 0.06 --folders 0.18 --case-variants 0.02 \
    --signatures XDOCXPR3,8BPS8BIM,TIFF8BIM,EPSF8BIM,JPEG8BIM,EPSFART5,XTMPXPR3,PICT8BIM,GIFf8BIM,ALB6ALD6,FFILDMOV,TEXTttxt,SIT5SIT!,APPLXPR3,APPL8BIM,PICTttxt,TIFFogle,MooVTVOD

# An archive volume: a bit of everything, written by many programs in various letter cases.
make_stream Archives 2000 98304 --distinct 40 --near-misses 0.08 --case-variants 0.15
