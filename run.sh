#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts Tidewell with the given arguments.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$top/scripts/common.sh"
ensure_packages "${run_packages[@]}"
build_tidewell "$top" >&2
exec "$top/build/tidewell" "$@"
