#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What an encrypted destination costs, over the loopback sshd of the test
# fixture: 5,000 files, 200 MiB. The first copy, and a day with 1 % of the
# files changed (hard-linked to the day before), each into a plain
# destination and into a gocryptfs one, alternating; medians. The encrypted
# run's time includes opening and closing its view.
#
#   bench/bench_encrypted.sh [build-dir] [RUNS]     (default: build, 5)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
runs="${2:-5}"
today="$(date +%F)"
yesterday="$(date -d yesterday +%F)"
make_tree

# Two homes: one with a plain destination, one with an encrypted one.
for kind in plain encrypted; do
    mkdir -p "$work/$kind/home" "$work/$kind/data/Tidewell" "$work/$kind/run"
    chmod 700 "$work/$kind/run"
    cat >"$work/$kind/data/Tidewell/config.json" <<JSON
{"destinationPath": "$work/$kind/dest", "notificationsEnabled": false, "verifyParts": 0,
 "useDateSubfolder": true, "linkToPreviousBackup": true,
 "servers": [{"id": "$id", "name": "bench", "host": "127.0.0.1", "port": $port, "username": "$user",
   "privateKeyPath": "$key", "paths": [{"name": "tree", "remotePath": "$work/remote/tree"}]}]}
JSON
done
head -c 32 /dev/urandom | base64 >"$work/passphrase"
chmod 600 "$work/passphrase"

tidewell_as() {
    HOME="$work/$1/home" XDG_DATA_HOME="$work/$1/data" XDG_RUNTIME_DIR="$work/$1/run" "$tidewell" "${@:2}"
}
tidewell_as encrypted --encrypt-destination --passphrase-file "$work/passphrase" >/dev/null

# Runs a command in the plain destination's server folder, or in the
# encrypted one's plaintext view, mounted for it alone.
in_days() {
    local kind="$1"; shift
    if [ "$kind" = plain ]; then
        (cd "$work/plain/dest/bench" && "$@")
        return
    fi
    mkdir -p "$work/view"
    gocryptfs -q -nosyslog -passfile "$work/passphrase" "$work/encrypted/dest" "$work/view"
    (cd "$work/view/bench" && "$@")
    fusermount3 -u "$work/view"
}

timed_run() {
    local start end
    sync
    start="$(now)"
    tidewell_as "$1" --run-backup "$id" >/dev/null
    end="$(now)"
    calc "$end - $start"
}

first_copy() {
    in_days "$1" rm -rf "$today"
    timed_run "$1"
}

one_day() {
    in_days "$1" rm -rf "$today"
    timed_run "$1"
}

# pairs FUNCTION: $runs pairs, alternating which goes first; sets p_median and e_median.
pairs() {
    local p_all="" e_all="" p e i
    for i in $(seq 1 "$runs"); do
        if [ $((i % 2)) -eq 1 ]; then
            p="$($1 plain)"; e="$($1 encrypted)"
        else
            e="$($1 encrypted)"; p="$($1 plain)"
        fi
        printf 'run %2d: plain %.3f s, encrypted %.3f s\n' "$i" "$p" "$e"
        p_all+="$p"$'\n'; e_all+="$e"$'\n'
    done
    p_median="$(printf '%s' "$p_all" | median)"
    e_median="$(printf '%s' "$e_all" | median)"
}

# A first run of each warms the page cache and known_hosts.
for kind in plain encrypted; do
    tidewell_as "$kind" --run-backup "$id" >/dev/null
done
mkdir -p "$work/plain/dest/bench"
echo "First copy (5,000 files, 200 MiB):"
pairs first_copy
printf 'first copy medians: plain %.3f s, encrypted %.3f s, ratio %.3f\n' \
    "$p_median" "$e_median" "$(calc "$e_median / $p_median")"

# The day before, and 1 % of the files changed on the server.
for kind in plain encrypted; do
    in_days "$kind" mv "$today" "$yesterday"
done
for f in $(ls "$work/remote/tree" | awk 'NR % 100 == 1'); do
    head -c "$(stat -c %s "$work/remote/tree/$f")" /dev/urandom >"$work/remote/tree/$f"
done
echo "A day with 1 % of the files changed:"
pairs one_day
printf '1%% day medians: plain %.3f s, encrypted %.3f s, ratio %.3f (target <= 1.3)\n' \
    "$p_median" "$e_median" "$(calc "$e_median / $p_median")"
printf 'disk used: plain %s, encrypted %s\n' "$(du -sh "$work/plain/dest" | cut -f1)" \
    "$(du -sh "$work/encrypted/dest" | cut -f1)"
