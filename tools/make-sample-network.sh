#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lays out a sample network in DIR, the way a Lantrivex workstation on a real network looks:
#   DIR/mounts          a mount table listing SMB mounts of the sample servers' administrative
#                       shares (//NTSRV1/D$ on DIR/mnt/ntsrv1-d, ...), for LANTRIVEX_MOUNTS
#   DIR/mnt/...         the mounted shares: the Macintosh volumes' folders, each with its index
#                       stream as a "folder:AFP_IdIndex" file beside it (ntfs-3g's Windows form)
#   DIR/Registry/*.reg  one registry export per machine, for LANTRIVEX_REGISTRY_DIR: NTSRV1 (export
#                       version 5, UTF-16LE), NTSRV2 (REGEDIT4, ANSI), MACSRV3 (another product:
#                       MacServerIP, code 1) and this computer (no Macintosh server)
# and prints the environment to use. Needs bash, coreutils and iconv only.
#
# With --ntfs (root, /dev/fuse and Debian's ntfs-3g), each share's folder in DIR/mnt is a real NTFS
# file system: an image DIR/images/SHARE.img made by mkntfs and mounted there by ntfs-3g with
# streams_interface=windows, so the index streams are real NTFS named streams of the folders.
# The mounts stay until `umount DIR/mnt/*`; running the script again on DIR unmounts them first.
set -euo pipefail

usage() { echo "usage: $0 [--ntfs] DIR" >&2; exit 2; }
ntfs=false
if [[ ${1:-} == --ntfs ]]; then
    ntfs=true
    shift
fi
[[ $# -eq 1 ]] || usage
root=$1
here=$(cd "$(dirname "$0")/.." && pwd)
streams_dir="$here/samples/streams"

mkdir -p "$root"
root=$(cd "$root" && pwd)
mkdir -p "$root/Registry" "$root/mnt"

# What an earlier --ntfs run left mounted in DIR/mnt.
mounted=$root/mnt/
mounted=${mounted// /\\040} awk 'index($2, ENVIRON["mounted"]) == 1 { print $2 }' /proc/self/mounts |
    while read -r point; do
        point=$(printf '%b' "$point")
        umount "$point" || umount -l "$point"
    done
if $ntfs; then
    [[ $(id -u) -eq 0 ]] || { echo "$0: --ntfs mounts NTFS images with ntfs-3g: run it as root" >&2; exit 1; }
    [[ -c /dev/fuse ]] || { echo "$0: --ntfs needs FUSE: there is no /dev/fuse" >&2; exit 1; }
    export PATH=$PATH:/usr/sbin:/sbin
    command -v mkntfs >/dev/null && command -v ntfs-3g >/dev/null ||
        { echo "$0: --ntfs needs mkntfs and ntfs-3g: install Debian's ntfs-3g" >&2; exit 1; }
    mkdir -p "$root/images"
fi

# The folder of a mounted share, DIR/mnt/NAME; with --ntfs a fresh NTFS file system mounted there.
share_folder() {
    local folder=$root/mnt/$1 image=$root/images/$1.img
    mkdir -p "$folder"
    $ntfs || return 0
    rm -f "$image"
    truncate -s 8M "$image"
    mkntfs --force --fast --quiet --label "$1" "$image" >/dev/null 2>&1
    ntfs-3g -o streams_interface=windows "$image" "$folder"
}

# The sample index streams, taken in turn by the volumes.
streams=()
if [[ -d $streams_dir ]]; then
    while IFS= read -r -d '' f; do streams+=("$f"); done \
        < <(find "$streams_dir" -maxdepth 1 -type f -name '*.AFP_IdIndex' -print0 | sort -z)
fi
next_stream=0

# A volume folder with its index stream: volume_folder MOUNT_DIR RELATIVE_FOLDER [STREAM]
# (STREAM: the name of a sample stream, samples/streams/STREAM.AFP_IdIndex; else the next one)
volume_folder() {
    local folder="$1/$2" wanted="$streams_dir/${3:-}.AFP_IdIndex"
    mkdir -p "$folder"
    touch "$folder/ReadMe.txt"
    if [[ -n ${3:-} && -f $wanted ]]; then
        cp "$wanted" "$folder:AFP_IdIndex"
    elif [[ ${#streams[@]} -gt 0 ]]; then
        cp "${streams[$((next_stream % ${#streams[@]}))]}" "$folder:AFP_IdIndex"
        next_stream=$((next_stream + 1))
    else
        # No sample streams: a small index of our own (a marker 0x01 before each signature).
        printf '\001XDOCXPR3\000\001XDOCXPR3\000\001TEXTttxt\000\001W8BNMSWD\000' >"$folder:AFP_IdIndex"
    fi
}

# The bytes of stdin as .reg hex data after PREFIX, wrapped as the registry editor wraps it:
# lines of at most 80 characters ending in "\", the next ones indented by two blanks.
reg_hex() {
    local prefix=$1 hex line piece i n
    hex=$(od -An -v -tx1 | tr -s ' \n' '  ' | sed 's/^ *//; s/ *$//')
    local -a bytes
    read -ra bytes <<<"$hex"
    n=${#bytes[@]}
    line=$prefix
    for ((i = 0; i < n; i++)); do
        piece=${bytes[$i]}
        ((i < n - 1)) && piece+=","
        if ((${#line} + ${#piece} > 79)); then
            printf '%s\\\n' "$line"
            line="  "
        fi
        line+=$piece
    done
    printf '%s\n' "$line"
}

# A REG_MULTI_SZ value: multi_sz ENCODING NAME ENTRY... (ENCODING: UTF-16LE or WINDOWS-1252)
multi_sz() {
    local encoding=$1 name=$2
    shift 2
    { for e in "$@"; do printf '%s\0' "$e"; done; printf '\0'; } |
        iconv -f UTF-8 -t "$encoding" | reg_hex "\"$name\"=hex(7):"
}

# .reg text: backslashes and double quotes escaped.
reg_text() { local s=${1//\\/\\\\}; printf '%s' "${s//\"/\\\"}"; }

# Writes stdin (UTF-8, LF) as a version 5 export: UTF-16LE with byte-order mark, CR LF.
write_v5() { { printf '\xff\xfe'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$1"; }
# Writes stdin (UTF-8, LF) as a REGEDIT4 export: Windows-1252, CR LF.
write_v4() { sed 's/$/\r/' | iconv -f UTF-8 -t WINDOWS-1252 >"$1"; }

macfile='HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\MacFile\Parameters'
cyan='HKEY_LOCAL_MACHINE\SOFTWARE\cyan\MacServerIP'

# NTSRV1: Services for Macintosh, three volumes on D: and E:, one of whose folders is missing.
share_folder ntsrv1-d
share_folder ntsrv1-e
volume_folder "$root/mnt/ntsrv1-d" "Mac Volumes/Graphics" Graphisme
volume_folder "$root/mnt/ntsrv1-d" "Mac Volumes/Publications" Bureautique
volume_folder "$root/mnt/ntsrv1-e" "Studio" Graphisme
{
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo "[$macfile]"
    echo "\"ServerName\"=\"$(reg_text 'Serveur Graphisme')\""
    echo '"LoginMsg"="Bienvenue sur le serveur Macintosh"'
    echo '"MaxSessions"=dword:ffffffff'
    echo
    echo "[$macfile\\Volumes]"
    multi_sz UTF-16LE Graphics 'MaxUsers=4294967295' 'Properties=1' 'Password=' 'Path=D:\Mac Volumes\Graphics'
    multi_sz UTF-16LE Publications 'MaxUsers=4294967295' 'Properties=1' 'Password=' 'Path=D:\Mac Volumes\Publications'
    multi_sz UTF-16LE 'Archives 1998' 'MaxUsers=10' 'Properties=1' 'Path=D:\Mac Volumes\Archives 1998'
    multi_sz UTF-16LE 'Studio' 'Properties=1' 'Path=E:\Studio'
    echo
    echo "[$macfile\\Type Creators]"
    echo
} | write_v5 "$root/Registry/NTSRV1.reg"

# NTSRV2: Services for Macintosh, written by an older registry editor (REGEDIT4, ANSI).
share_folder ntsrv2-d
volume_folder "$root/mnt/ntsrv2-d" "Comptabilité" Bureautique
volume_folder "$root/mnt/ntsrv2-d" "Devis" Archives
{
    echo 'REGEDIT4'
    echo
    echo "[$macfile]"
    echo '"ServerName"="Comptabilité"'
    echo
    echo "[$macfile\\Volumes]"
    multi_sz WINDOWS-1252 'Comptabilité' 'MaxUsers=20' 'Properties=1' 'Path=D:\Comptabilité'
    multi_sz WINDOWS-1252 'Devis' 'MaxUsers=20' 'Properties=1' 'Path=D:\Devis'
    echo
} | write_v4 "$root/Registry/NTSRV2.reg"

# MACSRV3: another product (MacServerIP, code 1); with the default product it shows no server.
share_folder macsrv3-c
volume_folder "$root/mnt/macsrv3-c" "Studio IP" Graphisme
{
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo "[$cyan]"
    echo '"ServerName"="Studio IP"'
    echo
    echo "[$cyan\\Volumes]"
    multi_sz UTF-16LE 'Studio IP' 'Properties=1' 'Path=C:\Studio IP'
    echo
} | write_v5 "$root/Registry/MACSRV3.reg"

# This computer: reachable, no Macintosh server.
host=$(hostname -s 2>/dev/null || hostname)
host=${host%%.*}
{
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion]'
    echo '"ProductName"="Workstation"'
    echo
} | write_v5 "$root/Registry/$host.reg"

# The mount table: the servers' administrative shares, as the kernel lists them (blanks escaped).
esc() { local s=${1//\\/\\134}; s=${s// /\\040}; printf '%s' "${s//$'\t'/\\011}"; }
{
    printf '%s %s cifs rw,relatime,vers=3.1.1,sec=ntlmssp,uid=0 0 0\n' '//NTSRV1/D$' "$(esc "$root/mnt/ntsrv1-d")"
    printf '%s %s cifs rw,relatime,vers=3.1.1,sec=ntlmssp,uid=0 0 0\n' '//NTSRV1/E$' "$(esc "$root/mnt/ntsrv1-e")"
    printf '%s %s smb3 rw,relatime,vers=3.0,sec=ntlmssp,uid=0 0 0\n' '//NTSRV2/D$' "$(esc "$root/mnt/ntsrv2-d")"
    printf '%s %s cifs rw,relatime,vers=2.1,uid=0 0 0\n' '//MACSRV3/C$' "$(esc "$root/mnt/macsrv3-c")"
    printf 'tmpfs %s tmpfs rw,nosuid,nodev 0 0\n' "$(esc "$root/mnt/ramdisk")"
    printf 'proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n'
} >"$root/mounts"
mkdir -p "$root/mnt/ramdisk"

ntfs_note=
$ntfs && ntfs_note="  shares: NTFS images in $root/images, mounted by ntfs-3g (umount $root/mnt/* when done)
"
cat <<INFO
Sample network laid out in $root:
  machines: $host (this computer, no Macintosh server), NTSRV1 (4 volumes, one folder missing),
            NTSRV2 (2 volumes), MACSRV3 (MacServerIP: seen with product 1)
${ntfs_note}Use it with:
export LANTRIVEX_MOUNTS='$root/mounts'
export LANTRIVEX_REGISTRY_DIR='$root/Registry'
INFO
