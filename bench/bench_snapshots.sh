#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a second daily snapshot costs, over the loopback sshd of the test
# fixture: 5,000 files, 200 MiB; day 1 full; 1% of the files change; day 2
# with hard links to day 1. Reports day 2's bytes received and disk growth,
# and its wall time against bare rsync with the same --link-dest (five runs
# each, alternating).
#
#   bench/bench_snapshots.sh [build-dir]     (default: build)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
today="$(date +%F)"
yesterday="$(date -d yesterday +%F)"
server="$work/dest/bench"
make_tree
write_config '"useDateSubfolder": true, "linkToPreviousBackup": true'
log="$work/data/Tidewell/logs/$id.log"
headless() { HOME="$work/home" XDG_DATA_HOME="$work/data" "$tidewell" --run-backup "$id"; }


echo "Day 1: a full copy"
headless
mv "$server/$today" "$server/$yesterday"
day1="$(du -sb "$server" | cut -f1)"

echo "Changing 1% of the files ..."
changed=0
for f in $(ls "$work/remote/tree" | awk 'NR % 100 == 1'); do
    head -c "$(stat -c %s "$work/remote/tree/$f")" /dev/urandom >"$work/remote/tree/$f"
    changed=$((changed + $(stat -c %s "$work/remote/tree/$f")))
done

rsync_args=(-a --stats
    -e "ssh -p $port -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o ConnectTimeout=30 -o ServerAliveInterval=15 -o ServerAliveCountMax=4 -i '$key' -o IdentitiesOnly=yes"
    --human-readable --info=progress2 -z --timeout=300 "--link-dest=$server/$yesterday/tree" --old-args
    "$user@127.0.0.1:$work/remote/tree/" "$server/$today/tree")

run_tidewell() {
    rm -rf "$server/$today"
    sync
    local start end
    start="$(now)"
    headless
    end="$(now)"
    calc "$end - $start"
}

run_rsync() {
    rm -rf "$server/$today"
    sync
    mkdir -p "$server/$today/tree"
    local start end
    start="$(now)"
    /usr/bin/rsync "${rsync_args[@]}" >"$work/rsync.out"
    end="$(now)"
    calc "$end - $start"
}

echo "Day 2, five runs each, alternating:"
tw_total=0; rs_total=0
for i in 1 2 3 4 5; do
    if [ $((i % 2)) -eq 1 ]; then
        tw="$(run_tidewell)"; rs="$(run_rsync)"
    else
        rs="$(run_rsync)"; tw="$(run_tidewell)"
    fi
    printf 'run %d: tidewell %.2f s, rsync %.2f s\n' "$i" "$tw" "$rs"
    tw_total="$(calc "$tw_total + $tw")"
    rs_total="$(calc "$rs_total + $rs")"
done
run_tidewell >/dev/null # leave tidewell's own day 2 on disk for the figures below
growth=$(($(du -sb "$server" | cut -f1) - day1))
received="$(grep '^Total bytes received:' "$log" | head -1 | sed 's/^Total bytes received: //')"
printf 'changed bytes:        %d\n' "$changed"
printf 'day 2 bytes received: %s (rsync -h units)\n' "$received"
printf 'day 2 disk growth:    %d bytes (target <= %d)\n' "$growth" $((2 * changed + 1048576))
grep '^Snapshot: ' "$log" || true
printf 'mean tidewell %.3f s, mean rsync %.3f s\n' "$(calc "$tw_total / 5")" "$(calc "$rs_total / 5")"
printf 'ratio: %.3f\n' "$(calc "$tw_total / $rs_total")"
