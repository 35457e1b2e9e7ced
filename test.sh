#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$top/scripts/common.sh"
ensure_packages "${run_packages[@]}" "${test_packages[@]}"
build_tidewell "$top" -DTIDEWELL_BENCHMARKS=ON -DTIDEWELL_TOOLS=ON
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
