#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a second copy costs, over the loopback sshd of the test fixture:
# DAYS days (default 7) of the 5,000-file / 200 MiB tree with 1% of the
# files changed a day, each backed up, then copied with tidewell --copy to a
# folder target (a tmpfs of its own when this may mount one) and to an ssh
# target. Per day: the bytes each copy sent against the day's changed bytes,
# and the wall time of the folder copy against `rsync -aH -XX --delete` of the
# whole server folder into a mirror (the naive way). At the end: disk used
# by each target against the destination.
#
#   bench/bench_copy.sh [build-dir] [days]     (default: build, 7)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
days="${2:-7}"
today="$(date +%F)"
server="$work/dest/bench"
offsite="$work/offsite"
mkdir -p "$offsite" "$work/vault" "$work/naive"
mounted=""
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=2g tmpfs "$offsite" 2>/dev/null; then
    mounted="yes"
    trap 'umount "$offsite"; "$top/tests/fixtures/sshd.sh" stop "$work/sshd" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
fi
make_tree
write_config '"useDateSubfolder": true, "linkToPreviousBackup": true, "copyTargets": [
  {"id": "11111111-2222-3333-4444-555555555555", "name": "offsite", "kind": "folder", "path": "'"$offsite"'", "enabled": false},
  {"id": "66666666-7777-8888-9999-AAAAAAAAAAAA", "name": "vault", "kind": "ssh", "host": "127.0.0.1", "port": '"$port"',
   "username": "'"$user"'", "privateKeyPath": "'"$key"'", "path": "'"$work/vault"'", "enabled": false}]'
run() { HOME="$work/home" XDG_DATA_HOME="$work/data" "$tidewell" "$@"; }

# The "Total bytes sent" of the copies in the output on standard input, summed
# (rsync's --human-readable: "1.23M" is 1,230,000).
sent() {
    grep 'Total bytes sent' | sed 's/.*: *//; s/,//g' | awk '
        { n = $1 + 0; u = substr($1, length($1)); m = (u == "K") ? 1e3 : (u == "M") ? 1e6 : (u == "G") ? 1e9 : 1
          total += n * m }
        END { printf "%d", total }'
}

printf '%4s %12s %12s %12s %9s %9s\n' day changed offsite vault "copy s" "naive s"
for day in $(seq 1 "$days"); do
    changed=0
    if [ "$day" -gt 1 ]; then
        for f in $(ls "$work/remote/tree" | awk -v d="$day" 'NR % 100 == d % 100'); do
            head -c "$(stat -c %s "$work/remote/tree/$f")" /dev/urandom >"$work/remote/tree/$f"
            changed=$((changed + $(stat -c %s "$work/remote/tree/$f")))
        done
    else
        changed="$(du -sb "$work/remote/tree" | cut -f1)"
    fi
    run --run-backup "$id" >/dev/null 2>&1
    # Each day under a date of its own, oldest first, as the days of a week.
    dated="$(date -d "$today - $((days - day)) days" +%F)"
    [ "$dated" = "$today" ] || mv "$server/$today" "$server/$dated"
    sync
    start="$(now)"
    offsite_sent="$(run --copy offsite | sent)"
    end="$(now)"
    vault_sent="$(run --copy vault | sent)"
    sync
    naive_start="$(now)"
    rsync -aH -XX --numeric-ids --delete "$server/" "$work/naive/"
    naive_end="$(now)"
    printf '%4d %12d %12d %12d %9.2f %9.2f\n' "$day" "$changed" "$offsite_sent" "$vault_sent" \
        "$(calc "$end - $start")" "$(calc "$naive_end - $naive_start")"
done
printf 'disk: destination %s, offsite %s, vault %s (bytes, hard links counted once)\n' \
    "$(du -sb "$server" | cut -f1)" "$(du -sb "$offsite/bench" | cut -f1)" "$(du -sb "$work/vault/bench" | cut -f1)"
[ -n "$mounted" ] && echo "offsite was a tmpfs of its own" || echo "offsite was on the same file system"
