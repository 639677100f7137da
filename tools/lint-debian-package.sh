#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lintian on the Debian package of a build (by default the release build, as CI runs it): makes the
# package with cpack, prints every tag lintian finds (informational ones too), and fails on an
# error or a warning.
# Usage: tools/lint-debian-package.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-$(dirname "$0")/../build/release}")
work=$(mktemp -d "${TMPDIR:-/tmp}/lantrivex-lint.XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/out/lantrivex_*.deb)
status=0
lintian --display-info --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || status=$?
echo "lintian $(basename "$deb"): $(grep -c "^[EWIPXO]: " "$work/lintian.log" || true) tags"
sed 's/^/  /' "$work/lintian.log"
[[ $status -eq 0 ]] || { echo "lintian: errors or warnings (status $status)" >&2; exit 1; }
