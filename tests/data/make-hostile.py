#!/usr/bin/env python3
"""Writes small hand-made hostile workbooks for the reader's tests: files no spreadsheet
program would save, built to probe the reader's limits."""
import os
import zipfile

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hostile")

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
</Types>"""
ROOT_RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
WORKBOOK = """<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>"""
WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
</Relationships>"""


def xlsx(name, sheet_data):
    with zipfile.ZipFile(os.path.join(HERE, name), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", ROOT_RELS)
        z.writestr("xl/workbook.xml", WORKBOOK)
        z.writestr("xl/_rels/workbook.xml.rels", WORKBOOK_RELS)
        z.writestr("xl/worksheets/sheet1.xml",
                   '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
                   + sheet_data + "</sheetData></worksheet>")


os.makedirs(HERE, exist_ok=True)
# Two values at opposite corners of the largest sheet: an area of 17 billion cells.
xlsx("far-corner.xlsx", '<row r="1"><c r="A1"><v>1</v></c></row>'
     '<row r="1048576"><c r="XFD1048576"><v>2</v></c></row>')
# A cell past the last row a spreadsheet can have.
xlsx("past-last-row.xlsx", '<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>1</v></c></row>'
     '<row r="1048577"><c r="A1048577"><v>2</v></c></row>')
# A shared text that does not exist.
xlsx("missing-shared-text.xlsx", '<row r="1"><c r="A1" t="s"><v>7</v></c><c r="B1"><v>1</v></c></row>')
# Three million empty cells compressed to a few kilobytes: read in bounded time and memory.
xlsx("empty-cell-bomb.xlsx", '<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c></row>'
     + '<row r="2">' + '<c/>' * 3_000_000 + '</row>')
