#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real NTFS file system of the RealNtfs tests: an NTFS image made by mkntfs, its named streams
# written through ntfs-3g, and the image mounted read-only twice by ntfs-3g, once in each of the
# forms it gives named streams in:
#   DIR/windows   streams_interface=windows: the stream NAME of FOLDER is the file FOLDER:NAME
#   DIR/xattr     streams_interface=xattr (ntfs-3g's default): the extended attribute user.NAME
# Both show the same volumes, listed in DIR/layout, one line per index stream:
#   FOLDER<TAB>SIGNATURE<TAB>SIZE
# FOLDER relative to the mount ("" for its root folder); the stream is SIZE bytes of 16-byte
# records, each the marker 0x01, SIGNATURE and seven NUL bytes. "Mac Volumes/No index" has none.
#
# Usage: real-ntfs.sh mount DIR | unmount DIR
# `mount` first undoes what an earlier run left (mounts included), then makes DIR anew. Where the
# file system cannot be had (not root, no /dev/fuse, no mkntfs or ntfs-3g, FUSE refused), it
# writes the reason to DIR/unavailable, exits 0, and the tests skip with it. `unmount` unmounts
# (lazily when busy) and removes DIR; it is also run when a test failed.
set -uo pipefail

[[ $# -eq 2 && ($1 == mount || $1 == unmount) ]] || { echo "usage: $0 mount|unmount DIR" >&2; exit 2; }
action=$1
dir=$2
modes=(windows xattr)

is_mounted() { # a mount on the folder, whether its driver still answers or not
    point=${1// /\\040} awk '$2 == ENVIRON["point"] { found = 1 } END { exit !found }' /proc/self/mounts
}

unmount_all() {
    local mode point
    for mode in "${modes[@]}" staging; do
        point=$dir/$mode
        while is_mounted "$point"; do
            umount "$point" 2>/dev/null || umount -l "$point" || break
        done
    done
    rm -rf "$dir"
}

if [[ $action == unmount ]]; then
    unmount_all
    exit 0
fi

unavailable() {
    mkdir -p "$dir"
    printf '%s\n' "$*" >"$dir/unavailable"
    echo "real-ntfs: the RealNtfs tests will skip: $*" >&2
    exit 0
}

unmount_all
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
[[ $(id -u) -eq 0 ]] || unavailable "mounting a real NTFS image with ntfs-3g needs root"
[[ -c /dev/fuse ]] || unavailable "no /dev/fuse: FUSE is not available here"
export PATH=$PATH:/usr/sbin:/sbin
command -v mkntfs >/dev/null && command -v ntfs-3g >/dev/null ||
    unavailable "mkntfs or ntfs-3g is missing: install Debian's ntfs-3g (tools/setup-debian.sh)"

# The index of a volume: SIGNATURE SIZE.
records() {
    perl -e 'my $r = "\x01" . $ARGV[0] . "\0" x 7; my $n = $ARGV[1];
             print substr($r x (int($n / 16) + 1), 0, $n)' "$1" "$2"
}

# 24 MiB: room for the streams below with NTFS's own files; the image is sparse.
truncate -s 24M "$dir/windows.img"
mkntfs --force --fast --quiet --label Lantrivex "$dir/windows.img" >"$dir/mkntfs.log" 2>&1 ||
    unavailable "mkntfs failed: $(tail -n 1 "$dir/mkntfs.log")"

# The streams are written through a windows-mode mount held in the foreground, so that its
# unmount is known to be complete (the image written out) before the image is copied.
mkdir -p "$dir/staging"
ntfs-3g -o no_detach,streams_interface=windows "$dir/windows.img" "$dir/staging" \
    </dev/null >"$dir/ntfs-3g.log" 2>&1 &
driver=$!
for ((i = 0; i < 100; i++)); do
    is_mounted "$dir/staging" && break
    kill -0 "$driver" 2>/dev/null || break
    sleep 0.1
done
if ! is_mounted "$dir/staging"; then
    kill "$driver" 2>/dev/null
    unavailable "ntfs-3g could not mount the image (FUSE refused?): $(grep -v '^$' "$dir/ntfs-3g.log" | tail -n 1)"
fi

layout=(
    "|TEXTttxt|1000"
    "Mac Volumes/Few bytes|W6BNMSWD|10"
    "Mac Volumes/64 KiB|XLS5XCEL|65536"
    "Mac Volumes/64 KiB + 1|XDOCXPR3|65537"
    "Mac Volumes/3 MiB|8BIMJPEG|3145728"
)
mkdir -p "$dir/staging/Mac Volumes/No index"
: >"$dir/layout"
for entry in "${layout[@]}"; do
    IFS='|' read -r folder signature size <<<"$entry"
    mkdir -p "$dir/staging/$folder"
    # For the root folder ("") this is "<mount>/:AFP_IdIndex": the root's stream named from inside.
    records "$signature" "$size" >"$dir/staging/$folder:AFP_IdIndex"
    printf '%s\t%s\t%s\n' "$folder" "$signature" "$size" >>"$dir/layout"
done
umount "$dir/staging"
wait "$driver"
rmdir "$dir/staging"

cp --sparse=always "$dir/windows.img" "$dir/xattr.img"
for mode in "${modes[@]}"; do
    mkdir -p "$dir/$mode"
    ntfs-3g -o "ro,streams_interface=$mode" "$dir/$mode.img" "$dir/$mode" >>"$dir/ntfs-3g.log" 2>&1 ||
        unavailable "ntfs-3g could not mount the image: $(tail -n 1 "$dir/ntfs-3g.log")"
done
echo "real-ntfs: $dir/windows and $dir/xattr mounted"
