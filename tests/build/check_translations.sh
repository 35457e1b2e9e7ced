#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when the catalogues are not in step with the code: a marked text
# missing from a translations/*.ts file, an entry the code no longer has, or
# (except in tidewell_en.ts, which holds only plural forms) a text left
# untranslated. Runs lupdate as the build's update_translations target does,
# on copies, and compares.
# Usage: check_translations.sh LUPDATE SOURCE_DIR
set -eu
lupdate="$1"
top="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$top"
# Headers first: lupdate learns the classes there before their .cpp files.
{ find src -name '*.h' | sort; find src -name '*.cpp' | sort; } > "$work/sources"
failed=0
for ts in translations/tidewell_*.ts; do
    name=$(basename "$ts")
    cp "$ts" "$work/$name"
    options="-no-obsolete -locations none -tr-function-alias QT_TRANSLATE_NOOP+=say"
    [ "$name" = tidewell_en.ts ] && options="$options -pluralonly"
    # shellcheck disable=SC2086
    "$lupdate" -silent -I src $options $(cat "$work/sources") -ts "$work/$name"
    if ! diff -u "$ts" "$work/$name"; then
        echo "$ts is not in step with the code: run cmake --build build -t update_translations and translate"
        failed=1
    fi
    if grep -q 'type="unfinished"' "$ts"; then
        echo "$ts has untranslated texts:"
        grep -B2 'type="unfinished"' "$ts" | grep '<source>' | head -20
        failed=1
    fi
    if grep -q 'type="vanished"\|type="obsolete"' "$ts"; then
        echo "$ts has entries the code no longer has"
        failed=1
    fi
done
exit $failed
