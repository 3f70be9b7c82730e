#!/usr/bin/env bash
# Makes the large sheets the reading benchmarks time: a 100,000 x 30 haplotype table as CSV and,
# saved by LibreOffice, as .xlsx, and a 65,000 x 30 one as .xls. Usage: make-large-sheets.sh DIR
set -euo pipefail
dir=${1:?folder for the sheets}
mkdir -p "$dir"
python3 - "$dir" <<'PY'
import random, sys
random.seed(1)
pops = ["Russians", "Tatars", "Bashkirs", "Komi", "Mari", "Chuvash", "Udmurts", "Mordva"]
def write(path, rows):
    with open(path, "w") as f:
        f.write(",".join(["Sample", "Population", "Number", "Haplogroup marker", "Haplogroup",
                          "Region", "Comment"] + ["DYS%d" % (390 + i) for i in range(23)]) + "\n")
        for r in range(rows):
            base = [str(r + 1), random.choice(pops), str(r), "M17", "R1a", "North", ""]
            f.write(",".join(base + [str(random.randint(9, 24)) for _ in range(23)]) + "\n")
write(sys.argv[1] + "/large.csv", 100000)
write(sys.argv[1] + "/large65k.csv", 65000)
PY
soffice --headless --calc --convert-to xlsx --outdir "$dir" "$dir/large.csv" >/dev/null 2>&1
# The same table written the compact way Excel writes it (python3-xlsxwriter).
/usr/bin/python3 - "$dir" <<'PY'
import csv, sys, xlsxwriter
book = xlsxwriter.Workbook(sys.argv[1] + "/large-compact.xlsx", {"constant_memory": True})
sheet = book.add_worksheet()
with open(sys.argv[1] + "/large.csv") as f:
    for r, row in enumerate(csv.reader(f)):
        for c, v in enumerate(row):
            if v:
                sheet.write_number(r, c, int(v)) if v.isdigit() else sheet.write_string(r, c, v)
book.close()
PY
soffice --headless --calc --convert-to xls --outdir "$dir" "$dir/large65k.csv" >/dev/null 2>&1
ls -la "$dir"
