#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Large transfers over the loopback sshd of the test fixture: a headless
# backup against bare rsync with OpenSSH's default cipher and against bare
# rsync offering the same cipher list as Tidewell, in turn, with medians:
#
#   bench/bench_transfer.sh [build-dir]            one 1 GiB file
#   bench/bench_transfer.sh [build-dir] --tree     20,000 files of 4 KiB
#
# RUNS (default 5) sets the number of rounds.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
runs="${RUNS:-5}"
mkdir -p "$work/remote/tree"
if [ "${2:-}" = "--tree" ]; then
    echo "Preparing 20,000 files of 4 KiB ..."
    head -c $((20000 * 4096)) /dev/urandom >"$work/blob"
    (cd "$work/remote/tree" && split -b 4096 -a 5 -d "$work/blob" f)
    rm -f "$work/blob"
else
    echo "Preparing 1 GiB ..."
    head -c $((1024 * 1024 * 1024)) /dev/urandom >"$work/remote/tree/big"
fi
# A full copy each time, uncompressed (random data does not shrink).
write_config '"useDateSubfolder": false, "compress": false'
home="$work/home"
ciphers="$(grep -qw aes /proc/cpuinfo && echo aes128-gcm@openssh.com,aes256-gcm@openssh.com,chacha20-poly1305@openssh.com,aes128-ctr,aes192-ctr,aes256-ctr ||
    echo chacha20-poly1305@openssh.com,aes128-gcm@openssh.com,aes256-gcm@openssh.com,aes128-ctr,aes192-ctr,aes256-ctr)"

ssh_base="ssh -p $port -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o ConnectTimeout=30 -o ServerAliveInterval=15 -o ServerAliveCountMax=4 -i '$key' -o IdentitiesOnly=yes"

timed() {
    rm -rf "$work/dest"
    mkdir -p "$work/dest/bench/tree"
    sync
    local start end
    start="$(now)"
    "$@" >/dev/null
    end="$(now)"
    calc "$end - $start"
}
run_tidewell() { timed env HOME="$home" XDG_DATA_HOME="$work/data" "$tidewell" --run-backup "$id"; }
run_rsync() {
    timed /usr/bin/rsync -a --stats -e "$ssh_base$1" --human-readable --info=progress2 --timeout=300 --old-args \
        "$user@127.0.0.1:$work/remote/tree/" "$work/dest/bench/tree"
}

run_rsync "" >/dev/null # warm the page cache and known_hosts
run_tidewell >/dev/null
tw_all=""; def_all=""; same_all=""
for i in $(seq 1 "$runs"); do
    tw="$(run_tidewell)"; def="$(run_rsync "")"; same="$(run_rsync " -o Ciphers=$ciphers")"
    printf 'round %2d: tidewell %.2f s, rsync (default cipher) %.2f s, rsync (same ciphers) %.2f s\n' \
        "$i" "$tw" "$def" "$same"
    tw_all+="$tw"$'\n'; def_all+="$def"$'\n'; same_all+="$same"$'\n'
done
tw_m="$(printf '%s' "$tw_all" | median)"
def_m="$(printf '%s' "$def_all" | median)"
same_m="$(printf '%s' "$same_all" | median)"
printf 'medians: tidewell %.2f s, rsync default cipher %.2f s, rsync same ciphers %.2f s\n' "$tw_m" "$def_m" "$same_m"
printf 'tidewell / rsync default: %.3f; tidewell / rsync same ciphers: %.3f\n' \
    "$(calc "$tw_m / $def_m")" "$(calc "$tw_m / $same_m")"
