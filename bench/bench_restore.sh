#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A restore of 1,000 files to the server (the loopback sshd of the test
# fixture) with tidewell --restore --to-server against bare rsync with the
# same arguments, alternating, with medians. The server's folder is emptied
# before each run, so every file is sent.
#
#   bench/bench_restore.sh [build-dir]     RUNS (default 11) sets the pairs
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
runs="${RUNS:-11}"
day=2026-12-07
snapshot="$work/dest/bench/$day/tree"
mkdir -p "$snapshot" "$work/remote/tree"
for i in $(seq 1 1000); do head -c 20000 /dev/urandom >"$snapshot/f$i"; done
write_config '"useDateSubfolder": true'
home="$work/home"

rsync_args=(-a --stats -e "ssh -p $port -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o ConnectTimeout=30 -o ServerAliveInterval=15 -o ServerAliveCountMax=4 -i '$key' -o IdentitiesOnly=yes"
    --human-readable --info=progress2 -z --timeout=300 --backup "--backup-dir=$work/remote/tree/.tidewell-replaced-bare" --old-args
    "$snapshot/" "$user@127.0.0.1:$work/remote/tree/")

empty_remote() { rm -rf "$work/remote/tree"; mkdir -p "$work/remote/tree"; sync; }

run_tidewell() {
    empty_remote
    local start end
    start="$(now)"
    HOME="$home" XDG_DATA_HOME="$work/data" "$tidewell" --restore "$id" --date "$day" --item "$work/remote/tree" --to-server >/dev/null
    end="$(now)"
    calc "$end - $start"
}

run_rsync() {
    empty_remote
    local start end
    start="$(now)"
    /usr/bin/rsync "${rsync_args[@]}" >/dev/null
    end="$(now)"
    calc "$end - $start"
}

alternate_medians
printf 'median tidewell %.3f s, median rsync %.3f s, ratio %.3f\n' "$tw_median" "$rs_median" "$(calc "$tw_median / $rs_median")"
