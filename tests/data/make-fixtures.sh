#!/usr/bin/env bash
# Remakes the spreadsheet fixtures from the flat ODS sources with LibreOffice, as a user's
# spreadsheet program would save them. Needs libreoffice-calc-nogui; the tests do not.
set -euo pipefail
cd "$(dirname "$0")"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

convert() { # source, filter, output name
    soffice --headless --calc --convert-to "$2" --outdir "$out" "source/$1.fods" >/dev/null 2>&1
    mv "$out/$1.${2%%:*}" "$3"
}

for name in values header-only one-cell error-cell empty-sheet; do
    convert "$name" xlsx "$name.xlsx"
    convert "$name" xls "$name.xls"
    convert "$name" ods "$name.ods"
done
# Formatted empty rows down to the sheet's last row, as spreadsheet programs leave them.
convert long-empty-tail ods long-empty-tail.ods
# CSV: separator, text delimiter ("), character set (76 UTF-8, 34 Windows-1251, 65535 UTF-16).
convert values 'csv:Text - txt - csv (StarCalc):44,34,76,1' values-comma.csv
convert values 'csv:Text - txt - csv (StarCalc):59,34,76,1' values-semicolon.csv
convert values 'csv:Text - txt - csv (StarCalc):9,34,34,1' values-cp1251-tab.csv
convert values 'csv:Text - txt - csv (StarCalc):44,34,65535,1' values-utf16.csv
# Tables as users' files come, for the import.
python3 make-import-fixtures.py
convert import-counts xlsx import-counts.xlsx
convert import-sheets xlsx import-sheets.xlsx
convert import-sheets ods import-sheets.ods
convert import-sheets xls import-sheets.xls
convert import-mismatch xlsx import-mismatch.xlsx
convert import-derived 'csv:Text - txt - csv (StarCalc):44,34,76,1' import-derived.csv
