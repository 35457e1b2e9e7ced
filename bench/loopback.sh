# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up of the benchmarks that back up over the test fixture's
# loopback sshd; sourced with the build folder as $1 (default: build).
# Sets top, tidewell, work (removed on exit, with the sshd stopped), port,
# key, user and id (the one server's id), and defines:
#   make_tree        5,000 random files, 200 MiB, in $work/remote/tree
#   write_config J   the configuration of one server "bench" copying that
#                    tree to $work/dest, with J's extra settings ("k": v, ...)
#   now, calc        a clock in seconds, and awk arithmetic
#   median           the median of numbers read one a line
#   alternate_medians  pairs of run_tidewell and run_rsync in turn, medians
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
tidewell="$build/tidewell"
work="$(mktemp -d)"
trap '"$top/tests/fixtures/sshd.sh" stop "$work/sshd" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

port="$("$top/tests/fixtures/sshd.sh" start "$work/sshd")"
key="$work/sshd/client_key"
user="$(id -un)"
id="0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60"

make_tree() {
    echo "Preparing 5,000 files, 200 MiB ..."
    mkdir -p "$work/remote/tree"
    head -c $((200 * 1024 * 1024)) /dev/urandom >"$work/blob"
    (cd "$work/remote/tree" && split -b 41944 -a 4 -d "$work/blob" f && ls | wc -l)
    rm -f "$work/blob"
}

write_config() {
    mkdir -p "$work/home" "$work/data/Tidewell"
    cat >"$work/data/Tidewell/config.json" <<JSON
{"destinationPath": "$work/dest", $1, "notificationsEnabled": false,
 "servers": [{"id": "$id", "name": "bench", "host": "127.0.0.1", "port": $port, "username": "$user",
   "privateKeyPath": "$key", "paths": [{"name": "tree", "remotePath": "$work/remote/tree"}]}]}
JSON
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# With run_tidewell and run_rsync defined (each printing its seconds): one
# warm-up of each, then $runs pairs, alternating which goes first so neither
# always follows the other; prints each pair and sets tw_median and rs_median.
alternate_medians() {
    run_rsync >/dev/null # warm the page cache and known_hosts
    run_tidewell >/dev/null
    local tw_all="" rs_all="" tw rs i
    for i in $(seq 1 "$runs"); do
        if [ $((i % 2)) -eq 1 ]; then
            tw="$(run_tidewell)"; rs="$(run_rsync)"
        else
            rs="$(run_rsync)"; tw="$(run_tidewell)"
        fi
        printf 'run %2d: tidewell %.3f s, rsync %.3f s\n' "$i" "$tw" "$rs"
        tw_all+="$tw"$'\n'; rs_all+="$rs"$'\n'
    done
    tw_median="$(printf '%s' "$tw_all" | median)"
    rs_median="$(printf '%s' "$rs_all" | median)"
}

now() { date +%s.%N; }
calc() { awk "BEGIN { print $* }"; }
