#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Figures of the index scan, the catalogue and the result grid, before and after, in one run:
# builds REV (default 9f93f98) from the repository's history beside the current release build,
# then runs both on the same inputs:
#  - `lantrivex-cli scan --raw --format csv` end to end on packed streams (every record a new
#    signature, and 10 signatures in turn) of 64 MiB and 256 MiB: seconds, MB/s, peak memory, and
#    the memory above 64 MiB per distinct signature (the limit is 48 bytes);
#  - the scanner alone (lantrivex-bench, PackedScan), the catalogue rebuild on 50 to 400 machines
#    (lantrivex-catalogue-bench) and the result grid of 100,000 signatures (lantrivex-grid-bench).
# The stream generator and the benchmarks' sources are the current ones in both builds; what is
# measured (scanner, catalogue, grid, command-line reader) is each revision's own.
# Usage: bench/before-after.sh [REV] [BUILD_DIR]   (default build/release, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
rev="${1:-9f93f98}"
after="${2:-build/release}/bin"
for program in lantrivex-cli lantrivex-gen-index lantrivex-bench lantrivex-catalogue-bench \
    lantrivex-grid-bench; do
    [[ -x "$after/$program" ]] || {
        echo "build first: cmake --preset release && cmake --build --preset release" >&2
        exit 1
    }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package: time)" >&2; exit 1; }

# The earlier revision's tree and build stay in build/before-after/REV for the next run.
tree="$(pwd)/build/before-after/$rev"
mkdir -p "$tree"
git archive "$rev" | tar -x -C "$tree"
cp -r bench/. "$tree/bench/"
cp src/common/IndexStreamGenerator.h src/common/IndexStreamGenerator.cpp "$tree/src/common/"
mkdir -p "$tree/tests/cli" && cp tests/cli/MachineNetwork.h "$tree/tests/cli/"
echo "building $rev in $tree ..." >&2
cmake -S "$tree" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLANTRIVEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$tree/build" --target lantrivex-cli lantrivex-bench lantrivex-catalogue-bench \
    lantrivex-grid-bench >/dev/null
before="$tree/build/bin"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo
echo "lantrivex-cli scan --raw --format csv (limit: 64 MiB + 48 bytes per distinct signature)"
printf '%-8s %-9s %-12s %10s %8s %9s %12s %10s\n' build size signatures distinct seconds MB/s \
    peak_MiB B/distinct
for size in 64 256; do
    for distinct in 0 10; do
        "$after/lantrivex-gen-index" --packed --distinct "$distinct" --size "${size}M" \
            --output "$work/stream"
        bytes=$((size << 20))
        found=$((distinct == 0 ? bytes / 9 : distinct))
        for build in before after; do
            bin="$before"
            [[ $build == after ]] && bin="$after"
            /usr/bin/time -f '%M %e' -o "$work/time" "$bin/lantrivex-cli" scan --raw --format csv \
                "$work/stream" >/dev/null
            read -r rss seconds <"$work/time"
            awk -v b="$build" -v s="${size}M" -v d="$distinct" -v f="$found" -v t="$seconds" \
                -v r="$rss" -v n="$bytes" 'BEGIN {
                    over = r * 1024 - 64 * 1048576; if (over < 0) over = 0
                    printf "%-8s %-9s %-12s %10d %8.2f %9.1f %12.1f %10.1f\n", b, s,
                        (d == 0 ? "all-distinct" : d "-distinct"), f, t,
                        (t > 0 ? n / 1e6 / t : 0), r / 1024, over / f }'
        done
    done
    rm -f "$work/stream"
done

for program in lantrivex-bench lantrivex-catalogue-bench lantrivex-grid-bench; do
    filter=()
    [[ $program == lantrivex-bench ]] && filter=(--benchmark_filter=PackedScan)
    for build in before after; do
        bin="$before"
        [[ $build == after ]] && bin="$after"
        echo
        echo "== $program ($build: $([[ $build == before ]] && echo "$rev" || echo current))"
        "$bin/$program" --benchmark_color=false "${filter[@]}" 2>&1 |
            grep -v '^\*\*\*WARNING' | sed 's/\x1b\[[0-9;]*m//g'
    done
done
