#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check passes the tree as it is, and refuses a copy of it with each
# kind of include that reaches up planted in it: a quoted one, one in angle
# brackets, a relative one, one from a folder inside a layer, one from a
# folder no layer knows, one between sideways layers, one between ui folders,
# and a widget in core. Usage: check_layers.sh CMAKE SCRIPT SOURCE_DIR
set -eu
cmake="$1"
script="$2"
source="$3"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$cmake" -DSOURCE_DIR="$source" -P "$script"

# plant FILE CONTENT EXPECTED: the copy with FILE added fails, naming EXPECTED.
plant() {
    rm -rf "$tmp/src"
    cp -r "$source" "$tmp/src"
    mkdir -p "$(dirname "$tmp/src/$1")"
    printf '%s\n' "$2" >"$tmp/src/$1"
    if "$cmake" -DSOURCE_DIR="$tmp/src" -P "$script" 2>"$tmp/err"; then
        echo "passed the check: $1 with $2" >&2
        exit 1
    fi
    if ! grep -qF "$3" "$tmp/err"; then
        echo "refused, but without \"$3\":" >&2
        cat "$tmp/err" >&2
        exit 1
    fi
}

plant core/system/Up.cpp '#include "core/engine/RsyncRunner.h"' \
    'src/core/system/Up.cpp: #include "core/engine/RsyncRunner.h" reaches up to engine; the system layer may use model'
plant core/system/Angle.cpp '#include <core/engine/RsyncRunner.h>' \
    'src/core/system/Angle.cpp: #include <core/engine/RsyncRunner.h> reaches up to engine'
plant core/system/Relative.cpp '#include "../engine/RsyncRunner.h"' \
    'src/core/system/Relative.cpp: #include "../engine/RsyncRunner.h" reaches up to engine'
plant core/model/Same.cpp '#include "Server.h"' \
    'src/core/model/Same.cpp: #include "Server.h" is written "core/model/Server.h" in this tree: write it so'
plant core/storage/deeper/Nested.cpp '#include "core/presentation/ServerRules.h"' \
    'src/core/storage/deeper/Nested.cpp: #include "core/presentation/ServerRules.h" reaches up to presentation'
plant core/fresh/New.cpp '#include "core/model/Server.h"' \
    'the folder src/core/fresh belongs to no layer'
plant core/Loose.cpp '#include "core/model/Server.h"' \
    'the folder src/core belongs to no layer'
plant ui/editor/Cli.cpp '#include "core/cli/EntryPoint.h"' \
    'reaches up to cli; the ui layer may use'
plant core/cli/Window.cpp '#include "ui/main/MainWindow.h"' \
    'reaches up to ui; the cli layer may use'
plant ui/widgets/Editor.cpp '#include "ui/editor/ServerDetailView.h"' \
    'reaches up to ui/editor; ui/widgets may use nothing but itself'
plant core/engine/Widget.cpp '#include <QWidget>' \
    'src/core/engine/Widget.cpp: #include <QWidget> reaches up to widgets; the engine layer may not use them'
plant core/engine/Missing.cpp '#include "core/engine/NoSuchFile.h"' \
    'names no file of src/'
