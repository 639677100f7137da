#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Peak memory of `lantrivex-cli scan --raw` on generated index streams of growing size: it must stay
# flat (the stream is read in bounded pieces), under 64 MiB whatever the size.
# Usage: bench/cli-peak-memory.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build/release}/bin"
[[ -x "$bin/lantrivex-cli" && -x "$bin/lantrivex-gen-index" ]] || {
    echo "build first: cmake --preset release && cmake --build --preset release" >&2
    exit 1
}
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package: time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-10s %14s %12s\n' size peak_rss_kib seconds
for size in 16M 256M 1G; do
    "$bin/lantrivex-gen-index" --seed 7 --size "$size" --output "$work/stream"
    /usr/bin/time -f '%M %e' -o "$work/time" "$bin/lantrivex-cli" scan --raw --format csv \
        "$work/stream" >/dev/null
    read -r rss seconds <"$work/time"
    printf '%-10s %14s %12s\n' "$size" "$rss" "$seconds"
    if ((rss > 64 * 1024)); then
        echo "peak memory over 64 MiB at $size" >&2
        exit 1
    fi
    rm -f "$work/stream"
done
