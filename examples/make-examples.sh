#!/bin/sh
# Regenerates the example files: the generator writes CSV, LibreOffice turns them into .xlsx as a
# user's spreadsheet program would. Needs a build (scripts/test.sh) and libreoffice-calc-nogui.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
generator="$here/../build/tools/tarnwick-make-examples"
[ -x "$generator" ] || cmake --build "$here/../build" --target tarnwick-make-examples
"$generator" "$here"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in database search database-with-faults; do
    for format in xlsx 'xls:MS Excel 97'; do
        # 44 = comma, 34 = double quote, 76 = UTF-8
        soffice -env:UserInstallation="file://$work/profile" --headless \
            --infilter=CSV:44,34,76 --convert-to "$format" --outdir "$here" "$here/$name.csv" \
            >/dev/null
    done
done
ls -l "$here"
