#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) with the
# "fuzz" preset and runs each for a bounded time from its seeds and past findings. Fails on any
# finding: the input that showed it is copied to fuzz/regressions/NAME/, to be committed with the
# fix (the ordinary tests replay that folder). Prints each target's number of runs.
#
#   LANTRIVEX_FUZZ_SECONDS   time per target (default 30)
#   LANTRIVEX_FUZZ_TARGETS   the targets to run, blank-separated (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${LANTRIVEX_FUZZ_SECONDS:-30}

tools/install-packages.sh clang-14 libclang-rt-14-dev cmake ninja-build

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build/fuzz/bin
work=build/fuzz/runs
targets=${LANTRIVEX_FUZZ_TARGETS:-$(cd "$bin" && ls fuzz-* | sed 's/^fuzz-//')}
failed=()
summary=()
for name in $targets; do
    run="$work/$name"
    rm -rf "$run/artifacts"
    mkdir -p "$run/corpus" "$run/artifacts"
    corpora=("$run/corpus" "fuzz/seeds/$name")
    [[ -d "fuzz/regressions/$name" ]] && corpora+=("fuzz/regressions/$name")
    echo "fuzz: $name for ${seconds}s" >&2
    status=0
    "$bin/fuzz-$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -dict="fuzz/dictionaries/$name.dict" \
        -artifact_prefix="$run/artifacts/" "${corpora[@]}" >"$run/log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -n 1)
    found=$(find "$run/artifacts" -type f | wc -l)
    if [[ $status -ne 0 || $found -gt 0 ]]; then
        failed+=("$name")
        summary+=("$name: FINDING after ${runs:-?} runs (exit $status)")
        tail -n 40 "$run/log" >&2
        mkdir -p "fuzz/regressions/$name"
        for artifact in "$run/artifacts"/*; do
            [[ -f "$artifact" ]] || continue
            cp "$artifact" "fuzz/regressions/$name/"
            echo "fuzz: $name: kept $(basename "$artifact") in fuzz/regressions/$name/" >&2
        done
    else
        summary+=("$name: ${runs:-?} runs in ${seconds}s, no finding")
    fi
done

printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzz: findings in ${failed[*]} (logs in $work/NAME/log)" >&2
    exit 1
fi
