#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds and tests both presets: the debug preset (AddressSanitizer
# and UndefinedBehaviorSanitizer) runs every test; the release preset builds every target (the
# programs, the tests, the benchmarks, the tools) and runs the tests again, optimised, with the
# Debian package's test, and lintian checks that package. The tsan preset then builds the tests of
# the concurrent code only (the catalogue, the index reader, the command-line reader, SMB, the
# window's waiting; with clang's ThreadSanitizer) and runs them: any report fails. Then the fuzz
# targets run for a bounded time each, and last the Windows program is cross-built and its tests
# run under Wine (last, so that a Wine problem cannot hide the Linux results). Each stage tells
# its time (ctest its own).
set -euo pipefail
cd "$(dirname "$0")/.."

timed() { # NAME COMMAND...
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "=== $name: $((SECONDS - start)) s"
}

build() { cmake --preset "$1" && cmake --build --preset "$1"; }
tsan() {
    tools/install-packages.sh clang-14 libclang-rt-14-dev # clang's ThreadSanitizer runtime
    build tsan
    ctest --preset tsan
}

timed setup tools/setup-debian.sh
timed "debug build" build debug
ctest --preset debug
timed "release build" build release
ctest --preset release
timed lintian tools/lint-debian-package.sh build/release
timed "thread sanitizer" tsan
timed fuzzers tools/run-fuzzers.sh
timed windows tools/run-windows-tests.sh
