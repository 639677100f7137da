#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs those of the Debian packages named as arguments that are not installed yet, without
# their recommendations; when every one is there it only checks, in well under a second. Every
# setup script of the project installs through it.
# Usage: tools/install-packages.sh PACKAGE...
set -euo pipefail
[[ $# -gt 0 ]] || exit 0

# One query for all: the installed ones are listed as "ii NAME".
installed=" $(dpkg-query -W -f='${db:Status-Abbrev}${Package} ' "$@" 2>/dev/null |
    grep -o 'ii  *[^ ]*' | sed 's/^ii *//' | tr '\n' ' ' || true) "
missing=()
for p in "$@"; do
    [[ $installed == *" $p "* ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
