#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check fails a tree where a lower layer includes a higher one, and
# passes it once that include is gone.  Usage: check_layers.sh CMAKE SCRIPT
set -eu
cmake="$1"
script="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/core/system" "$tmp/core/engine" "$tmp/ui"
printf '#include "core/system/FileUtil.h"\n#include <QString>\n' >"$tmp/core/engine/Down.cpp"
printf '#include "core/engine/RsyncRunner.h"\n' >"$tmp/core/system/Up.cpp"
printf '#include "core/engine/RsyncRunner.h"\n#include <QWidget>\n' >"$tmp/ui/View.cpp"
if "$cmake" -DSOURCE_DIR="$tmp" -P "$script" 2>"$tmp/err"; then
    echo "an upward include passed the check" >&2
    exit 1
fi
grep -q 'src/core/system/Up.cpp: #include "core/engine/RsyncRunner.h" reaches up to engine; the system layer may use model' "$tmp/err" || {
    cat "$tmp/err" >&2
    exit 1
}
rm "$tmp/core/system/Up.cpp"
printf '#include <QWidget>\n' >"$tmp/core/engine/Widget.cpp"
if "$cmake" -DSOURCE_DIR="$tmp" -P "$script" 2>"$tmp/err"; then
    echo "a widget in core passed the check" >&2
    exit 1
fi
rm "$tmp/core/engine/Widget.cpp"
"$cmake" -DSOURCE_DIR="$tmp" -P "$script"
