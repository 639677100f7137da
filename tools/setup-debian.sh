#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, testing, packaging and running Lantrivex needs on Debian 12, from Debian's
# packages only, and only what is missing. Idempotent: when everything is there it only checks, in
# well under a second.
set -euo pipefail

packages=(
    # The build: CMake with presets, the Ninja generator, the C++20 compiler, and pkg-config to
    # find libsmbclient.
    cmake ninja-build g++ pkg-config
    # Qt 6 Widgets and Test (with the xcb and offscreen platform plugins), moc and rcc.
    qt6-base-dev qt6-base-dev-tools
    # Qt's own French texts (the standard buttons of message boxes), loaded for a French locale.
    qt6-translations-l10n
    # A font for the windows, on screen and offscreen in the window tests.
    fonts-dejavu-core
    # The tests and the benchmarks.
    libgtest-dev libgmock-dev libbenchmark-dev
    # Shares that are not mounted, read with libsmbclient.
    libsmbclient-dev
    # The SMB tests' private server: smbd and smbpasswd, the VFS module streams_depot that keeps
    # its shares' named streams, and smbclient, which puts the streams there as Windows would.
    samba samba-vfs-modules smbclient
    # The Kerberos tests' domain controller (tests/kerberos/samba-dc.sh, as root): Samba's AD DC
    # (samba, samba-tool; winbind comes with it) with the files its provisioning reads, and kinit
    # for the users' tickets.
    samba-ad-dc samba-ad-provision krb5-user
    # The program's icon rendered from its SVG; the desktop entry checked; the installed window
    # program run on a private X server (closed with python3's ctypes and libX11).
    librsvg2-bin desktop-file-utils xvfb
    # The Debian package: cpack finds the programs with file, their dependencies with
    # dpkg-shlibdeps.
    file dpkg-dev
    # The package's checks in CI: lintian on the Debian package (tools/lint-debian-package.sh),
    # appstreamcli on the AppStream metadata (the installed-program test).
    lintian appstream
    # The RealNtfs tests' real NTFS file system: mkntfs makes the image, ntfs-3g mounts it
    # through FUSE with its named streams (tests/ntfs/real-ntfs.sh, as root).
    ntfs-3g
    # The scripts: the sample network's registry exports (iconv), bench/cli-peak-memory.sh
    # (/usr/bin/time), tools/check-signatures.py.
    libc-bin time python3
)

exec "$(dirname "$0")/install-packages.sh" "${packages[@]}"
