#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Samba Active Directory domain controller of the Kerberos tests: the realm LANTRIVEX.TEST
# provisioned in DIR, its KDC, SMB server and registry service on 127.0.0.1 only, on ports chosen
# free, its host name lvxdc.lantrivex.test given to 127.0.0.1 by a line of /etc/hosts (Kerberos
# needs the server's name: its service principal is cifs/lvxdc.lantrivex.test). Its share D$
# keeps named streams with vfs_streams_depot. The clients' Kerberos settings are DIR/krb5.conf
# (KRB5_CONFIG); DIR/dc.env tells the tests the name, the ports and the files, DIR/etc/smb.conf is
# the server's configuration (for net and samba-tool).
# The domain's users, all with the password in dc.env: alice (a ticket for her is in
# DIR/alice.cc), bob.
#
# Usage: samba-dc.sh start DIR | stop DIR
# `start` first undoes what an earlier run left, then provisions anew. Where no domain controller
# can run here (not root, Samba's DC or kinit missing, /etc/hosts not writable), it writes the
# reason to DIR/unavailable, exits 0, and the tests skip with it; a DC that is there but fails is
# a failure. `stop` ends the server by its process id, removes the /etc/hosts line and DIR.
set -uo pipefail

[[ $# -eq 2 && ($1 == start || $1 == stop) ]] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
action=$1
dir=$2
host=lvxdc.lantrivex.test
# The line's own mark: controllers of other build folders may run at the same time.
marker="# lantrivex kerberos tests $dir"
password=Lantrivex-Test-1

stop() {
    if [[ -f $dir/samba.pid ]]; then
        local pid
        pid=$(cat "$dir/samba.pid")
        # samba runs in a process group of its own (setsid below): its workers end with it.
        kill -TERM -- "-$pid" 2>/dev/null
        for ((i = 0; i < 50; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL -- "-$pid" 2>/dev/null
    fi
    # The registry service that smbd started on demand leaves samba's process group.
    local helper
    for helper in "$dir"/var/samba-dcerpcd.pid; do
        [[ -f $helper ]] && kill -TERM "$(cat "$helper")" 2>/dev/null
    done
    if grep -qF "$marker" /etc/hosts 2>/dev/null; then
        # In place: /etc/hosts may be a mount point that cannot be replaced.
        local kept
        kept=$(grep -vF "$marker" /etc/hosts)
        printf '%s\n' "$kept" >/etc/hosts
    fi
    rm -rf "$dir"
}

if [[ $action == stop ]]; then
    stop
    exit 0
fi

unavailable() {
    mkdir -p "$dir"
    printf '%s\n' "$*" >"$dir/unavailable"
    echo "samba-dc: the Kerberos tests will skip: $*" >&2
    exit 0
}
failed() {
    echo "samba-dc: $*" >&2
    for log in "$dir"/var/log.* "$dir"/provision.log "$dir"/samba.out; do
        [[ -f $log ]] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

stop
mkdir -p "$dir/var/ncalrpc" "$dir/share"
dir=$(cd "$dir" && pwd)
export PATH=$PATH:/usr/sbin:/sbin
[[ $(id -u) -eq 0 ]] || unavailable "a Samba domain controller needs root"
for tool in samba samba-tool smbclient kinit net; do
    command -v "$tool" >/dev/null ||
        unavailable "$tool is missing: install Debian's samba-ad-dc and krb5-user (tools/setup-debian.sh)"
done
[[ -w /etc/hosts ]] || unavailable "/etc/hosts is not writable: the server's name cannot be given"

free_ports() { # N ports of 127.0.0.1 that nothing listens on now
    python3 -c 'import socket, sys
s = [socket.socket() for _ in range(int(sys.argv[1]))]
for x in s: x.bind(("127.0.0.1", 0))
print(" ".join(str(x.getsockname()[1]) for x in s))' "$1"
}
read -r smb_port krb5_port kpasswd_port < <(free_ports 3)

SECONDS=0
samba-tool domain provision --targetdir="$dir" --realm=LANTRIVEX.TEST --domain=LANTRIVEX \
    --server-role=dc --dns-backend=NONE --host-name=lvxdc --host-ip=127.0.0.1 \
    --adminpass="$password" >"$dir/provision.log" 2>&1 || failed "samba-tool domain provision failed"

# The whole configuration anew, rather than the provision's copy of the system's smb.conf: the
# services the tests need (the KDC, the SMB server and its winbindd: no DNS, NetBIOS, LDAP, RPC
# or replication servers, which would hold fixed ports), loopback only, the chosen ports.
cat >"$dir/etc/smb.conf" <<CONF
[global]
netbios name = LVXDC
workgroup = LANTRIVEX
realm = LANTRIVEX.TEST
server role = active directory domain controller
server services = -dns -nbt -wrepl -ntp_signd -kcc -dnsupdate -drepl -ldap -cldap -rpc
interfaces = 127.0.0.1
bind interfaces only = yes
disable netbios = yes
smb ports = $smb_port
krb5 port = $krb5_port
kpasswd port = $kpasswd_port
private dir = $dir/private
state directory = $dir/state
cache directory = $dir/cache
lock directory = $dir
binddns dir = $dir/bind-dns
pid directory = $dir/var
ncalrpc dir = $dir/var/ncalrpc
log file = $dir/var/log.%m
load printers = no
disable spoolss = yes
usershare path =
[sysvol]
path = $dir/state/sysvol
read only = no
[D\$]
path = $dir/share
read only = no
vfs objects = dfs_samba4 acl_xattr streams_depot
CONF
cat >"$dir/krb5.conf" <<CONF
[libdefaults]
	default_realm = LANTRIVEX.TEST
	dns_lookup_realm = false
	dns_lookup_kdc = false
	rdns = false
[realms]
	LANTRIVEX.TEST = {
		kdc = 127.0.0.1:$krb5_port
	}
[domain_realm]
	.lantrivex.test = LANTRIVEX.TEST
CONF
chmod 777 "$dir/share"
provisioned=$SECONDS
echo "127.0.0.1 $host $marker" >>/etc/hosts

setsid samba --foreground --no-process-group -s "$dir/etc/smb.conf" </dev/null >"$dir/samba.out" 2>&1 &
echo $! >"$dir/samba.pid"
listening() {
    python3 -c 'import socket, sys
for p in sys.argv[1:]: socket.create_connection(("127.0.0.1", int(p)), 1).close()' "$@" 2>/dev/null
}
for ((i = 0; i < 600; i++)); do # at most 120 s
    listening "$smb_port" "$krb5_port" && break
    kill -0 "$(cat "$dir/samba.pid")" 2>/dev/null || failed "samba ended at its start"
    sleep 0.2
done
listening "$smb_port" "$krb5_port" || failed "samba did not listen within 120 s"

export KRB5_CONFIG=$dir/krb5.conf
for user in alice bob; do
    samba-tool user create "$user" "$password" -H "$dir/private/sam.ldb" >>"$dir/provision.log" 2>&1 ||
        failed "samba-tool user create $user failed"
done
KRB5CCNAME=FILE:$dir/alice.cc kinit alice <<<"$password" >>"$dir/provision.log" 2>&1 ||
    failed "kinit alice failed"
# The peer's own check of the setup: a Kerberos logon only.
KRB5CCNAME=FILE:$dir/alice.cc smbclient "//$host/D\$" -p "$smb_port" --use-kerberos=required \
    -c ls >"$dir/smbclient.out" 2>&1 || failed "smbclient --use-kerberos=required: $(tail -n 1 "$dir/smbclient.out")"

cat >"$dir/dc.env" <<ENV
host=$host
smb_port=$smb_port
password=$password
ENV
echo "samba-dc: $host on 127.0.0.1 (SMB port $smb_port, KDC port $krb5_port); provisioned in" \
    "${provisioned} s, started and checked in $((SECONDS - provisioned)) s"
