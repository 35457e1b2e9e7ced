#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a day costs on btrfs subvolume snapshots against hard links, over the
# loopback sshd of the test fixture, into two loop images of the same size
# (one btrfs, one ext4). Needs root (mkfs, mount -o loop) and btrfs-progs.
#
#   1. A no-change day of FILES small files: a btrfs day (snapshot + rsync
#      --inplace) against a hard-linked day on ext4, alternating, medians.
#   2. A 2 GiB file with 1 MiB changed in its middle: the disk the day adds
#      on each, and its time against bare rsync's delta transfer
#      (--link-dest on ext4).
# The daily check of a part of the copies is off: it reads the same share
# of the copies whichever way a day is made.
#
#   bench/bench_btrfs.sh [build-dir] [FILES] [RUNS] [USER]
#
# (default: build 100000 5, Tidewell running as root). Given USER, a local
# account, Tidewell runs as that user, as on a desktop: as root it keeps
# owners in attributes (--fake-super), which costs rsync a few calls more
# per file whichever way the day is made.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/loopback.sh"
files="${2:-100000}"
runs="${3:-5}"
as="${4:-}"
today="$(date +%F)"
yesterday="$(date -d yesterday +%F)"
[ "$(id -u)" -eq 0 ] || { echo "run as root: the images are loop-mounted" >&2; exit 1; }

mounts=()
cleanup_mounts() {
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done
}
trap 'cleanup_mounts; "$top/tests/fixtures/sshd.sh" stop "$work/sshd" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# A sparse image of $2 GiB with file system $1, mounted on $work/$1.
make_image() {
    truncate -s "${2}G" "$work/$1.img"
    if [ "$1" = btrfs ]; then mkfs.btrfs -q -f "$work/$1.img"; else mkfs.ext4 -q -F "$work/$1.img"; fi
    mkdir -p "$work/$1"
    mount -o loop "$work/$1.img" "$work/$1"
    mounts+=("$work/$1")
}

# The configuration of two servers copying $1 from the loopback sshd: one
# into the btrfs image, one into the ext4 image (each its own destination).
write_configs() {
    for fs in btrfs ext4; do
        mkdir -p "$work/data-$fs/Tidewell"
        cat >"$work/data-$fs/Tidewell/config.json" <<JSON
{"destinationPath": "$work/$fs", "useDateSubfolder": true, "linkToPreviousBackup": true,
 "notificationsEnabled": false, "compress": false, "verifyParts": 0,
 "servers": [{"id": "$id", "name": "bench", "host": "127.0.0.1", "port": $port, "username": "$user",
   "privateKeyPath": "$key", "paths": [{"name": "tree", "remotePath": "$1"}]}]}
JSON
        [ -z "$as" ] || chown -R "$as" "$work/data-$fs"
    done
}

headless() {
    if [ -n "$as" ]; then
        runuser -u "$as" -- env HOME="$work/home" XDG_DATA_HOME="$work/data-$1" "$tidewell" --run-backup "$id" >/dev/null
    else
        HOME="$work/home" XDG_DATA_HOME="$work/data-$1" "$tidewell" --run-backup "$id" >/dev/null
    fi
}

# Hands the images, data folders and a copy of the key to $as.
hand_over() {
    [ -n "$as" ] || return 0
    chmod 0755 "$work"
    cp "$key" "$work/user_key"
    key="$work/user_key"
    chown -R "$as" "$work/home" "$work/btrfs" "$work/ext4" "$key"
    chmod 0755 "$work/remote"
}

# Removes today's day (a subvolume on btrfs, a folder on ext4), not timed.
drop_today() {
    local day="$work/$1/bench/$today"
    if [ "$1" = btrfs ] && [ -d "$day" ]; then
        btrfs property set "$day" ro false
        btrfs subvolume delete "$day" >/dev/null
        btrfs subvolume sync "$work/btrfs" >/dev/null # the cleaner is done before the next day
    else
        rm -rf "$day"
    fi
    sync
}

# Day 1 as yesterday, on both images.
first_day() {
    for fs in btrfs ext4; do
        headless "$fs"
        mv "$work/$fs/bench/$today" "$work/$fs/bench/$yesterday"
        grep '^Snapshots: ' "$work/data-$fs/Tidewell/logs/$id.log" || true
    done
}

timed_day() {
    drop_today "$1"
    local start end
    start="$(now)"
    headless "$1"
    end="$(now)"
    calc "$end - $start"
}

used() { sync; df -B1 --output=used "$work/$1" | tail -1; }

mkdir -p "$work/home" "$work/remote"
make_image btrfs 8
make_image ext4 8
hand_over

echo "== 1. A no-change day of $files files =="
mkdir -p "$work/remote/many"
(cd "$work/remote/many" && for d in $(seq 0 $(((files - 1) / 1000))); do
    mkdir "d$d"
    for f in $(seq 0 999); do
        [ $((d * 1000 + f)) -lt "$files" ] || break
        printf '%s %s\n' "$d" "$f" >"d$d/f$f"
    done
done)
write_configs "$work/remote/many"
first_day
run_tidewell() { timed_day btrfs; } # "tidewell" below: the btrfs day
run_rsync() { timed_day ext4; }     # "rsync" below: the hard-linked day
alternate_medians
printf 'no-change day, %d files: btrfs %.3f s, hard links %.3f s, ratio %.3f (target <= 0.35)\n' \
    "$files" "$tw_median" "$rs_median" "$(calc "$tw_median / $rs_median")"
for fs in btrfs ext4; do drop_today "$fs"; done
btrfs subvolume list -o "$work/btrfs" | awk '{ print $NF }' | sort -r | while read -r v; do
    btrfs property set "$work/btrfs/$v" ro false
    btrfs subvolume delete "$work/btrfs/$v" >/dev/null
done
rm -rf "$work/btrfs/bench" "$work/ext4/bench" "$work/remote/many"

echo "== 2. A 2 GiB file, 1 MiB changed in its middle =="
mkdir -p "$work/remote/big"
head -c $((2048 * 1024 * 1024)) /dev/urandom >"$work/remote/big/disk.img"
write_configs "$work/remote/big"
first_day
dd if=/dev/urandom of="$work/remote/big/disk.img" bs=1M count=1 seek=1024 conv=notrunc status=none
for fs in btrfs ext4; do
    before="$(used "$fs")"
    seconds="$(timed_day "$fs")"
    printf '%s day: %.3f s, disk added %d MiB\n' "$fs" "$seconds" $((($(used "$fs") - before) / 1048576))
done
bare="$work/ext4/bare"
mkdir -p "$bare"
start="$(now)"
/usr/bin/rsync -a -e "ssh -p $port -o BatchMode=yes -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -i '$key' -o IdentitiesOnly=yes" \
    "--link-dest=$work/ext4/bench/$yesterday/tree" "$user@127.0.0.1:$work/remote/big/" "$bare/"
end="$(now)"
printf 'bare rsync delta transfer (--link-dest, ext4): %.3f s\n' "$(calc "$end - $start")"
