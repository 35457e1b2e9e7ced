#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs the whole test suite.
#   ./test.sh [ctest options]             in build/
#   ./test.sh --sanitize [ctest options]  the same suite built with
#                                         AddressSanitizer and UBSan, in build-asan/
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$top/scripts/common.sh"
ensure_packages "${run_packages[@]}" "${test_packages[@]}"
ensure_locales "${test_locales[@]}"
folder=build
options=(-DTIDEWELL_BENCHMARKS=ON -DTIDEWELL_TOOLS=ON -DTIDEWELL_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
    shift
    folder=build-asan
    # Debug information and no optimisation that hides the faults.
    options+=(-DTIDEWELL_ASAN=ON -DCMAKE_BUILD_TYPE=Debug)
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$top/tests/sanitizer/lsan.supp:print_suppressions=0}"
fi
build_tidewell "$top" "$folder" "${options[@]}"
cd "$top/$folder"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
