#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Wall time of a headless backup against the same bare rsync command line,
# over the loopback sshd of the test fixture: 5,000 files, 200 MiB, five runs
# each, alternating. Also tidewell's own CPU time (without its children).
#
#   bench/bench_headless.sh [build-dir]     (default: build)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
make_tree
write_config '"useDateSubfolder": false'
home="$work/home"

rsync_args=(-a --stats -e "ssh -p $port -o StrictHostKeyChecking=accept-new -o BatchMode=yes -i '$key' -o IdentitiesOnly=yes"
    --human-readable --info=progress2 -z --old-args "$user@127.0.0.1:$work/remote/tree/" "$work/dest/bench/tree")

ticks_per_second="$(getconf CLK_TCK)"

run_tidewell() {
    rm -rf "$work/dest"
    sync
    local start end pid cpu=0 stat log="$work/data/Tidewell/logs/$id.log"
    rm -f "$log"
    start="$(now)"
    HOME="$home" XDG_DATA_HOME="$work/data" "$tidewell" --run-backup "$id" &
    pid=$!
    # Its own CPU (fields 14 and 15 of /proc/PID/stat) is read in the 0.3 s
    # pause before it exits, once the log file is written. Sparse polling
    # keeps the measurement from competing with the run.
    while kill -0 "$pid" 2>/dev/null && [ ! -s "$log" ]; do
        sleep 0.1
    done
    stat="$(cat "/proc/$pid/stat" 2>/dev/null || true)"
    [ -n "$stat" ] && cpu="$(echo "$stat" | awk '{print $14 + $15}')"
    wait "$pid"
    end="$(now)"
    echo "$(calc "$end - $start") $(calc "$cpu / $ticks_per_second")"
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

run_rsync >/dev/null # warm the page cache and known_hosts
tw_total=0; rs_total=0; cpu_total=0
for i in 1 2 3 4 5; do
    # Alternate which goes first, so neither always follows the other.
    if [ $((i % 2)) -eq 1 ]; then
        read -r tw cpu <<<"$(run_tidewell)"
        rs="$(run_rsync)"
    else
        rs="$(run_rsync)"
        read -r tw cpu <<<"$(run_tidewell)"
    fi
    printf 'run %d: tidewell %.2f s (own CPU %.3f s), rsync %.2f s\n' "$i" "$tw" "$cpu" "$rs"
    tw_total="$(calc "$tw_total + $tw")"
    rs_total="$(calc "$rs_total + $rs")"
    cpu_total="$(calc "$cpu_total + $cpu")"
done
printf 'mean tidewell %.3f s, mean rsync %.3f s\n' "$(calc "$tw_total / 5")" "$(calc "$rs_total / 5")"
printf 'ratio with the 0.3 s exit pause:    %.3f\n' "$(calc "$tw_total / $rs_total")"
printf 'ratio without the 0.3 s exit pause: %.3f\n' "$(calc "($tw_total - 1.5) / $rs_total")"
printf "tidewell's own CPU: %.2f %% of its wall time\n" "$(calc "100 * $cpu_total / $tw_total")"
