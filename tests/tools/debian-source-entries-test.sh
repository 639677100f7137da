#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tools/debian-source-entries.sh on APT folders made here: deb-src entries only for the enabled
# Debian entries of the release with "main", their Signed-By kept; none: a message and exit 1.
set -euo pipefail
script=$1/tools/debian-source-entries.sh
etc=$(mktemp -d)
trap 'rm -rf "$etc"' EXIT
mkdir -p "$etc/sources.list.d"
cat >"$etc/sources.list" <<'EOF_LIST'
# a comment
deb [arch=amd64 signed-by=/keys/mirror.gpg] http://mirror.invalid/debian bookworm main contrib # note
deb http://mirror.invalid/debian bookworm-updates non-free
deb-src http://mirror.invalid/debian bookworm main
deb http://other.invalid/apt stable main
EOF_LIST
cat >"$etc/sources.list.d/a.sources" <<'EOF_SOURCES'
Types: deb
URIs: http://off.invalid/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb deb-src
URIs: http://inline.invalid/debian
Suites: bookworm bookworm-backports sid
Components: contrib main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----
EOF_SOURCES
expected='Types: deb-src
URIs: http://mirror.invalid/debian
Suites: bookworm
Components: main
Signed-By: /keys/mirror.gpg

Types: deb-src
URIs: http://inline.invalid/debian
Suites: bookworm bookworm-backports
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----'
got=$("$script" "$etc" bookworm)
[[ "$got" == "$expected" ]] || { echo "unexpected entries:"; echo "$got"; exit 1; }

rm "$etc/sources.list" "$etc/sources.list.d/a.sources"
if message=$("$script" "$etc" bookworm 2>&1); then
    echo "entries made from nothing"; exit 1
fi
grep -q "no Debian archive for \"bookworm\"" <<<"$message" || { echo "$message"; exit 1; }
echo ok
