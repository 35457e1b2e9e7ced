#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Wall time of a headless backup against the same bare rsync command line,
# over the loopback sshd of the test fixture, alternating, with medians:
#
#   bench/bench_headless.sh [build-dir]          a tiny transfer (one 10 KiB
#                                                file): what Tidewell adds
#   bench/bench_headless.sh [build-dir] --tree   5,000 files, 200 MiB
#
# RUNS (default 11) sets the number of pairs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
runs="${RUNS:-11}"
if [ "${2:-}" = "--tree" ]; then
    make_tree
else
    mkdir -p "$work/remote/tree"
    head -c 10240 /dev/urandom >"$work/remote/tree/small"
fi
write_config '"useDateSubfolder": false'
home="$work/home"

rsync_args=(-a --stats -e "ssh -p $port -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o ConnectTimeout=30 -o ServerAliveInterval=15 -o ServerAliveCountMax=4 -i '$key' -o IdentitiesOnly=yes"
    --human-readable --info=progress2 -z --timeout=300 --old-args "$user@127.0.0.1:$work/remote/tree/" "$work/dest/bench/tree")

run_tidewell() {
    rm -rf "$work/dest"
    sync
    local start end
    start="$(now)"
    HOME="$home" XDG_DATA_HOME="$work/data" "$tidewell" --run-backup "$id"
    end="$(now)"
    calc "$end - $start"
}

run_rsync() {
    rm -rf "$work/dest"
    sync
    mkdir -p "$work/dest/bench/tree"
    local start end
    start="$(now)"
    /usr/bin/rsync "${rsync_args[@]}" >/dev/null
    end="$(now)"
    calc "$end - $start"
}

alternate_medians
printf 'median tidewell %.3f s, median rsync %.3f s\n' "$tw_median" "$rs_median"
printf 'tidewell adds %.0f ms (ratio %.3f)\n' "$(calc "1000 * ($tw_median - $rs_median)")" "$(calc "$tw_median / $rs_median")"
