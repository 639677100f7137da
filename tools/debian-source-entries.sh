#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints deb-src entries (deb822 form) for the Debian archives this machine already uses: one for
# each enabled "deb" entry of APT's sources (deb822 .sources files and one-line sources.list
# entries) whose suites are the release's own (CODENAME, CODENAME-updates, ...) with the "main"
# component, with the same address, suites and Signed-By. No archive address is invented: when
# there is no such entry it says what to configure and exits 1.
#
#   tools/debian-source-entries.sh [APT_ETC [CODENAME]]   (default /etc/apt and this release)
set -euo pipefail
etc=${1:-/etc/apt}
codename=${2:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")}

files=()
[[ -f $etc/sources.list ]] && files+=("$etc/sources.list")
for f in "$etc"/sources.list.d/*.list "$etc"/sources.list.d/*.sources; do
    [[ -f $f ]] && files+=("$f")
done

entries=""
if ((${#files[@]})); then
    entries=$(awk -v codename="$codename" '
        function ours(suites,   n, i, s, out) {
            n = split(suites, s, /[ \t]+/); out = ""
            for (i = 1; i <= n; ++i)
                if (s[i] == codename || index(s[i], codename "-") == 1) out = out (out ? " " : "") s[i]
            return out
        }
        function hasMain(components,   n, i, c) {
            n = split(components, c, /[ \t]+/)
            for (i = 1; i <= n; ++i) if (c[i] == "main") return 1
            return 0
        }
        function emit(uris, suites, signed,   kept) {
            kept = ours(suites)
            if (uris == "" || kept == "") return
            printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n", uris, kept
            if (signed != "") printf "Signed-By:%s\n", signed
            printf "\n"
        }
        function flush() {
            if (deb && enabled && hasMain(components)) emit(uris, suites, signed)
            deb = 0; enabled = 1; uris = suites = components = signed = ""; field = ""
        }
        FNR == 1 { flush(); oneLine = FILENAME ~ /\.list$/ }
        oneLine {
            line = $0; sub(/#.*/, "", line)
            if (line !~ /^[ \t]*deb[ \t]/) next
            signedBy = ""
            if (match(line, /\[[^]]*\]/)) {
                options = substr(line, RSTART + 1, RLENGTH - 2)
                line = substr(line, 1, RSTART - 1) substr(line, RSTART + RLENGTH)
                if (match(options, /signed-by=[^ \t]+/)) signedBy = " " substr(options, RSTART + 10, RLENGTH - 10)
            }
            n = split(line, w, /[ \t]+/); start = (w[1] == "") ? 2 : 1
            comps = ""
            for (i = start + 3; i <= n; ++i) comps = comps " " w[i]
            if (hasMain(comps)) emit(w[start + 1], w[start + 2], signedBy)
            next
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ { if (field == "signed-by") signed = signed "\n" $0; next }
        {
            name = tolower(substr($0, 1, index($0, ":") - 1)); value = substr($0, index($0, ":") + 1)
            field = name; sub(/^[ \t]+/, "", value); sub(/[ \t]+$/, "", value)
            if (name == "types") deb = (" " value " ") ~ /[ \t]deb[ \t]/
            else if (name == "uris") uris = value
            else if (name == "suites") suites = value
            else if (name == "components") components = value
            else if (name == "enabled") enabled = tolower(value) != "no"
            else if (name == "signed-by") signed = (value == "" ? "" : " " value)
        }
        END { flush() }
    ' "${files[@]}")
fi

if [[ -z $entries ]]; then
    cat >&2 <<MESSAGE
debian-source-entries: no Debian archive for "${codename:-this release}" (component main) is
configured in $etc/sources.list or $etc/sources.list.d/. Configure the archive or mirror you use
first, for instance as $etc/sources.list.d/debian.sources:
    Types: deb deb-src
    URIs: <your Debian mirror>
    Suites: ${codename:-bookworm} ${codename:-bookworm}-updates
    Components: main
    Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
then run apt-get update and start again.
MESSAGE
    exit 1
fi
printf '%s\n' "$entries"
