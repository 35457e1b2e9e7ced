#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Wall time of a fleet of servers applied from a file, in a home of its own:
#
#   bench/bench_fleet.sh [build-dir] [servers]     (default: build, 500)
#
# Times the first --apply (every server added), a second one (nothing to
# change), --apply --check, one --set, --status and --metrics. No schedule
# is installed (the file asks for none), so no user manager is needed.
set -euo pipefail
build="${1:-build}"
count="${2:-500}"
tidewell="$(realpath "$build/tidewell")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"

python3 - "$count" >"$work/fleet.json" <<'PY'
import json, sys
servers = []
for i in range(int(sys.argv[1])):
    servers.append({"name": f"web-{i:03d} Zürich", "host": f"web{i:03d}.example.org", "username": "backup",
                    "port": 22 + i % 3, "scheduledSince": "2026-12-01T03:00:00Z",
                    "paths": [{"name": "www", "remotePath": "/var/www"},
                              {"name": "etc", "remotePath": "/etc", "excludes": ["*.bak"]}]})
print(json.dumps({"destinationPath": "/srv/backups", "servers": servers}))
PY

timed() {
    local label="$1"
    shift
    local start end
    start="$(date +%s.%N)"
    "$@" >/dev/null
    end="$(date +%s.%N)"
    printf '%-28s %6.2f s\n' "$label" "$(echo "$end - $start" | bc)"
}
timed "apply ($count added)" "$tidewell" --apply "$work/fleet.json"
timed "apply again (nothing)" "$tidewell" --apply "$work/fleet.json"
timed "apply --check (nothing)" "$tidewell" --apply "$work/fleet.json" --check
timed "set one server" "$tidewell" --set "web-250 Zürich" port=2222
timed "status" "$tidewell" --status || true
timed "metrics" "$tidewell" --metrics "$work/tidewell.prom"
