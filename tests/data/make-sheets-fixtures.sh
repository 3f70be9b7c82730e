#!/usr/bin/env bash
# Remakes the workbook of several sheets (the second one hidden, the last with a Cyrillic name)
# from its flat ODS source with LibreOffice, as a user's spreadsheet program would save it. Needs
# libreoffice-calc-nogui; the tests do not.
set -euo pipefail
cd "$(dirname "$0")"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for format in xlsx xls ods; do
    soffice --headless --calc --convert-to "$format" --outdir "$out" source/sheets.fods >/dev/null 2>&1
    mv "$out/sheets.$format" "sheets.$format"
done
