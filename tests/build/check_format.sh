#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file of the tree is not formatted as .clang-format says.
# Usage: check_format.sh SOURCE_DIR. Exits 77 (skipped) without clang-format.
set -eu
cd "$1"
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "clang-format is not installed (Debian: clang-format); not checked"
    exit 77
fi
find src tests bench tools data -name '*.cpp' -o -name '*.h' | sort | xargs "$format" --dry-run -Werror
