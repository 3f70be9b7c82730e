#!/usr/bin/env python3
"""Writes small hand-made hostile files for the reader's tests: files no spreadsheet program
would save, built to probe the reader's limits. Each is described where it is made.

    make-hostile.py              writes tests/data/hostile/ (committed)
    make-hostile.py --full DIR   writes the full-size bombs the refusal benchmark times (not
                                 committed: they are megabytes each)
    make-hostile.py --pictures DIR   writes only the bombs a large stored picture would unlock
                                 (tens of megabytes), and a sparse file of 1,025 MB
    make-hostile.py --text DIR   writes a database of a million haplotypes in Windows-1252 and
                                 in UTF-8, and a 250 MB one in Windows-1252, for timing the text
                                 reader
"""
import os
import struct
import sys
import zipfile

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hostile")
FIXTURES = os.path.dirname(os.path.abspath(__file__))

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
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
</Relationships>"""
SHEET_HEAD = (b'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns='
              b'"http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>')
SHEET_TAIL = b"</sheetData></worksheet>"
TWO_VALUES = b'<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c></row>'

ODS_HEAD = (b'<?xml version="1.0" encoding="UTF-8"?><office:document-content '
            b'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            b'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            b'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
            b'<office:body><office:spreadsheet><table:table table:name="S">')
ODS_TAIL = b"</table:table></office:spreadsheet></office:body></office:document-content>"
FIRST_ROW = (b'<table:table-row><table:table-cell office:value-type="string"><text:p>a</text:p>'
             b'</table:table-cell><table:table-cell office:value-type="float" office:value="1">'
             b'<text:p>1</text:p></table:table-cell></table:table-row>')


def chunks_of(*parts):
    """Yields bytes and the chunks of generators in order, so that huge parts stream."""
    for part in parts:
        if isinstance(part, bytes):
            yield part
        else:
            yield from part


def repeated(piece, count, per_chunk=1 << 16):
    while count > 0:
        n = min(count, per_chunk)
        yield piece * n
        count -= n


def write_zip(path, members, compression=zipfile.ZIP_DEFLATED):
    """members: (name, bytes or generator of bytes); the last one may be huge."""
    with zipfile.ZipFile(path, "w", compression, compresslevel=9) as z:
        for name, content in members:
            if isinstance(content, bytes):
                z.writestr(name, content)
            else:
                with z.open(name, "w", force_zip64=True) as f:
                    for chunk in content:
                        f.write(chunk)


def xlsx(path, sheet_data, shared_strings=None, compression=zipfile.ZIP_DEFLATED):
    members = [("[Content_Types].xml", CONTENT_TYPES.encode()), ("_rels/.rels", ROOT_RELS.encode()),
               ("xl/workbook.xml", WORKBOOK.encode()),
               ("xl/_rels/workbook.xml.rels", WORKBOOK_RELS.encode())]
    if shared_strings is not None:
        members.append(("xl/sharedStrings.xml", chunks_of(
            b'<?xml version="1.0" encoding="UTF-8"?><sst xmlns='
            b'"http://schemas.openxmlformats.org/spreadsheetml/2006/main">',
            shared_strings, b"</sst>")))
    members.append(("xl/worksheets/sheet1.xml", chunks_of(SHEET_HEAD, sheet_data, SHEET_TAIL)))
    write_zip(path, members, compression)


def xlsx_behind_a_chart_sheet(path, first_sheet_data, second_sheet_data):
    """A chart sheet "Chart" (its part left out: nothing reads it), then the worksheets
    "European" and "East Asian" with the given rows."""
    rel = ('<Relationship Id="%s" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
           'relationships/%s" Target="%s"/>')
    workbook_rels = ('<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.'
                     'openxmlformats.org/package/2006/relationships">' +
                     rel % ("rId1", "chartsheet", "chartsheets/sheet1.xml") +
                     rel % ("rId2", "worksheet", "worksheets/sheet1.xml") +
                     rel % ("rId3", "worksheet", "worksheets/sheet2.xml") + "</Relationships>")
    workbook = WORKBOOK.replace('<sheet name="S" sheetId="1" r:id="rId1"/>',
                                '<sheet name="Chart" sheetId="1" r:id="rId1"/>'
                                '<sheet name="European" sheetId="2" r:id="rId2"/>'
                                '<sheet name="East Asian" sheetId="3" r:id="rId3"/>')
    write_zip(path, [("[Content_Types].xml", CONTENT_TYPES.encode()),
                     ("_rels/.rels", ROOT_RELS.encode()), ("xl/workbook.xml", workbook.encode()),
                     ("xl/_rels/workbook.xml.rels", workbook_rels.encode()),
                     ("xl/worksheets/sheet1.xml", SHEET_HEAD + first_sheet_data + SHEET_TAIL),
                     ("xl/worksheets/sheet2.xml", SHEET_HEAD + second_sheet_data + SHEET_TAIL)])


def xlsx_many_worksheets(path, count):
    """A workbook that lists its one worksheet count times over."""
    workbook = WORKBOOK.replace('<sheet name="S" sheetId="1" r:id="rId1"/>',
                                '<sheet name="S" sheetId="1" r:id="rId1"/>' * count)
    write_zip(path, [("[Content_Types].xml", CONTENT_TYPES.encode()),
                     ("_rels/.rels", ROOT_RELS.encode()), ("xl/workbook.xml", workbook.encode()),
                     ("xl/_rels/workbook.xml.rels", WORKBOOK_RELS.encode()),
                     ("xl/worksheets/sheet1.xml", SHEET_HEAD + TWO_VALUES + SHEET_TAIL)])


UNUSED_SHARED_TEXTS_SHEET = (b'<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>%d</v>'
                             b'</c></row>')


def unused_shared_texts(count):
    """Shared texts "first", count - 2 empty ones and "last"."""
    return chunks_of(b"<si><t>first</t></si>", repeated(b"<si/>", count - 2),
                     b"<si><t>last</t></si>")


def ods(path, rows):
    mimetype = zipfile.ZipInfo("mimetype")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(mimetype, "application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        with z.open("content.xml", "w", force_zip64=True) as f:
            for chunk in chunks_of(ODS_HEAD, FIRST_ROW, rows, ODS_TAIL):
                f.write(chunk)


def ods_cell(attributes, text=b""):
    return chunks_of(b"<table:table-row><table:table-cell " + attributes + b">", text,
                     b"</table:table-cell></table:table-row>")


def claim_inflated_size(path, member, size):
    """Changes what a package's central directory says a member inflates to."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    at = data.find(b"PK\x01\x02")
    while at != -1:
        name_length = struct.unpack_from("<H", data, at + 28)[0]
        if data[at + 46:at + 46 + name_length] == member:
            struct.pack_into("<I", data, at + 24, size)
        at = data.find(b"PK\x01\x02", at + 4)
    with open(path, "wb") as f:
        f.write(data)


def biff_record(kind, data):
    return struct.pack("<HH", kind, len(data)) + data


def plain_biff(path, code_page, text):
    """A bare BIFF record stream as older programs save sheets: BOF, CODEPAGE, two byte-string
    LABEL cells (the header A1 and the text at A2), EOF."""
    def label(row, col, raw):
        return biff_record(0x0204, struct.pack("<HHHH", row, col, 0, len(raw)) + raw)
    with open(path, "wb") as f:
        f.write(biff_record(0x0809, struct.pack("<HHHH", 0, 0x10, 0, 0)))
        f.write(biff_record(0x0042, struct.pack("<H", code_page)))
        f.write(label(0, 0, b"Sample") + label(0, 1, b"Population"))
        f.write(label(1, 0, b"S1") + label(1, 1, text))
        f.write(biff_record(0x000A, b""))


def biff_cell(path, kind, data):
    """A bare BIFF stream with a header row (A1 "Sample", B1 "DYS19"), "S1" at A2 and one cell
    record at B2 whose data follows its row, column and XF index; XF 1 formats as a date."""
    def label(row, col, raw):
        return biff_record(0x0204, struct.pack("<HHHH", row, col, 0, len(raw)) + raw)
    xf = lambda number_format: biff_record(0x00E0, struct.pack("<HH", 0, number_format) + b"\0" * 12)
    with open(path, "wb") as f:
        f.write(biff_record(0x0809, struct.pack("<HHHH", 0, 0x10, 0, 0)) + xf(0) + xf(14))
        f.write(label(0, 0, b"Sample") + label(0, 1, b"DYS19") + label(1, 0, b"S1"))
        f.write(biff_record(kind, struct.pack("<HH", 1, 1) + data) + biff_record(0x000A, b""))


def compound_file(path, links):
    """An OLE2 compound file (512-byte sectors) holding only a directory: a root entry and one
    entry per (kind, left, right, child) of links, kind 1 a storage and 2 an empty stream, links
    by entry number (None for none). libgsf walks such a directory by recursion."""
    none = 0xFFFFFFFF
    entries = [(5, None, None, 1 if links else None)] + links
    def entry(number, kind, left, right, child):
        name = ("Root Entry" if number == 0 else "S%d" % number).encode("utf-16-le") + b"\0\0"
        link = lambda n: none if n is None else n
        return (name.ljust(64, b"\0") + struct.pack("<HBB3I", len(name), kind, 1, link(left),
                link(right), link(child)) + b"\0" * 36 + struct.pack("<IQ", 0xFFFFFFFE, 0))
    directory = b"".join(entry(n, *e) for n, e in enumerate(entries))
    directory = directory.ljust(-(-len(directory) // 512) * 512, b"\0")
    dir_sectors = len(directory) // 512
    fat_sectors = 1
    while fat_sectors * 128 < fat_sectors + dir_sectors:
        fat_sectors += 1
    assert fat_sectors <= 109
    fat = [0xFFFFFFFD] * fat_sectors + [fat_sectors + i + 1 for i in range(dir_sectors)]
    fat[-1] = 0xFFFFFFFE
    fat += [none] * (fat_sectors * 128 - len(fat))
    difat = list(range(fat_sectors)) + [none] * (109 - fat_sectors)
    header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16 +
              struct.pack("<HHHHH6xIIIIIIIII", 0x3E, 3, 0xFFFE, 9, 6, 0, fat_sectors, fat_sectors,
                          0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0) +
              struct.pack("<109I", *difat))
    with open(path, "wb") as f:
        f.write(header + struct.pack("<%dI" % len(fat), *fat) + directory)


def nested_storages(depth):
    return [(1, None, None, n + 2 if n + 1 < depth else None) for n in range(depth)]


def chained_siblings(count):
    return [(2, None, n + 2 if n + 1 < count else None, None) for n in range(count)]


def small_files():
    os.makedirs(HERE, exist_ok=True)
    at = lambda name: os.path.join(HERE, name)

    # Issue-3 limits. Two values at opposite corners of the largest sheet: an area of 17 billion
    # cells.
    xlsx(at("far-corner.xlsx"), b'<row r="1"><c r="A1"><v>1</v></c></row>'
         b'<row r="1048576"><c r="XFD1048576"><v>2</v></c></row>')
    # A cell past the last row a spreadsheet can have.
    xlsx(at("past-last-row.xlsx"), b'<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>1</v></c></row>'
         b'<row r="1048577"><c r="A1048577"><v>2</v></c></row>')
    # The same past a chart sheet and a first worksheet that read well: the message names the
    # sheet.
    xlsx_behind_a_chart_sheet(at("second-sheet-past-last-row.xlsx"), TWO_VALUES,
                              b'<row r="1048577"><c r="A1048577"><v>2</v></c></row>')
    # More worksheets than a workbook may list: their names would fill the memory.
    xlsx_many_worksheets(at("many-worksheets.xlsx"), 65537)
    ods(at("many-worksheets.ods"), chunks_of(b"</table:table>",
                                             repeated(b'<table:table table:name="x"/>', 65536),
                                             b'<table:table table:name="y">'))
    # A shared text that does not exist.
    xlsx(at("missing-shared-text.xlsx"),
         b'<row r="1"><c r="A1" t="s"><v>7</v></c><c r="B1"><v>1</v></c></row>')
    # Three million empty cells compressed to a few kilobytes: within the allowance, so read.
    xlsx(at("empty-cell-bomb.xlsx"), chunks_of(TWO_VALUES, b'<row r="2">',
                                               repeated(b"<c/>", 3_000_000), b"</row>"))

    # Malformed numbers in attributes and values must end the read as damage, never loop or
    # turn into a value the file does not hold.
    time_cell = b'office:value-type="time" office:time-value="%s"'
    ods(at("time-without-digits.ods"), ods_cell(time_cell % b"PT."))
    ods(at("time-fraction-only.ods"), ods_cell(time_cell % b"PT.5S"))
    ods(at("number-not-a-number.ods"), ods_cell(b'office:value-type="float" office:value="12abc"'))
    ods(at("number-beyond-range.ods"), ods_cell(b'office:value-type="float" office:value="1e400"'))
    ods(at("date-out-of-calendar.ods"),
        ods_cell(b'office:value-type="date" office:date-value="2024-13-45"'))
    # A repeat count beyond any integer: must not overflow when columns are added up.
    ods(at("repeat-beyond-integers.ods"),
        ods_cell(b'office:value-type="float" office:value="1" '
                 b'table:number-columns-repeated="9223372036854775807"'))
    xlsx(at("row-number-most-negative.xlsx"),
         TWO_VALUES + b'<row r="-9223372036854775808"><c><v>3</v></c></row>')
    xlsx(at("shared-index-not-a-number.xlsx"),
         b'<row r="1"><c r="A1" t="s"><v>1x</v></c><c r="B1"><v>1</v></c></row>',
         shared_strings=b"<si><t>a</t></si><si><t>b</t></si>")

    # Small compressed files that describe huge content.
    # One space run of a billion spaces, and a million runs of a thousand (56 KB).
    ods(at("space-count.ods"),
        ods_cell(b'office:value-type="string"', b'<text:p><text:s text:c="1000000000"/></text:p>'))
    ods(at("space-runs.ods"), ods_cell(b'office:value-type="string"', chunks_of(
        b"<text:p>", repeated(b'<text:s text:c="1000"/>', 1_000_000), b"</text:p>")))
    # Elements nested a million deep (the full-size one: 30 million, 206 KB).
    xlsx(at("deep-nesting.xlsx"), chunks_of(TWO_VALUES, repeated(b"<x>", 1_000_000)))
    # Two values spanning a used area of 200 million cells (16384 columns, 12207 rows).
    xlsx(at("area-of-two-values.xlsx"),
         b'<row r="1"><c r="A1"><v>1</v></c></row><row r="12207"><c r="XFD12207"><v>2</v></c></row>')
    # Five million empty shared texts (the full-size one: 50 million in 366 KB).
    xlsx(at("empty-shared-texts.xlsx"), TWO_VALUES, shared_strings=repeated(b"<si/>", 5_000_000))
    # Ten million empty cells, beyond the allowance for a file of this size (the full-size one:
    # 10 GB of them in 10 MB).
    xlsx(at("empty-cell-flood.xlsx"), chunks_of(
        TWO_VALUES, repeated(b'<row>' + b"<c/>" * 10_000 + b"</row>", 1000)))
    # Four million values in rows of 16,000 (the full-size one: 50 million in 1.5 MB).
    xlsx(at("value-flood.xlsx"), repeated(
        b"<row>" + b"<c><v>7</v></c>" * 16_000 + b"</row>", 250, per_chunk=16))
    # One value cell repeated over 16,000 columns and a million rows: 16 billion values.
    ods(at("repeated-value.ods"),
        b'<table:table-row table:number-rows-repeated="1000000"><table:table-cell '
        b'office:value-type="float" office:value="1" table:number-columns-repeated="16000">'
        b"<text:p>1</text:p></table:table-cell></table:table-row>")
    # 1.2 million shared texts of which the sheet shows the first and the last: more than a
    # sheet of its size can use, so only those it uses are kept.
    xlsx(at("unused-shared-texts.xlsx"), UNUSED_SHARED_TEXTS_SHEET % 1_199_999,
         shared_strings=unused_shared_texts(1_200_000))
    # "NA" at 49 loci in 980,000 rows by repeat counts: 48 million faulty cells in 1 KB.
    ods_repeated_faults(at("repeated-faults.ods"), 980_000, 49)
    # A comment and an attribute of 10 MB each: the XML parser would hold them whole.
    xlsx(at("huge-comment.xlsx"), chunks_of(TWO_VALUES, b"<!--", repeated(b"x", 10 << 20), b"-->"))
    xlsx(at("huge-attribute.xlsx"), chunks_of(
        TWO_VALUES, b'<row r="2" x="', repeated(b"x", 10 << 20), b'"/>'))

    # Code pages of plain BIFF streams: 65001 is UTF-8, 12345 is none.
    plain_biff(at("codepage-utf8.biff"), 65001, "Население".encode())
    plain_biff(at("codepage-unknown.biff"), 12345, b"\xcd\xe0")
    # A compound file whose directory lost the workbook stream's name.
    with open(os.path.join(FIXTURES, "values.xls"), "rb") as f:
        damaged = f.read().replace("Workbook".encode("utf-16-le"), "Workbooc".encode("utf-16-le"))
    with open(at("workbook-stream-renamed.xls"), "wb") as f:
        f.write(damaged)

    # A stored (uncompressed) sheet with a digit changed after its checksum was taken; and a
    # valid package with a comment of 65,500 bytes, which ZIP allows.
    xlsx(at("stored-member-changed.xlsx"), TWO_VALUES + b'<row r="2"><c r="A2"><v>14</v></c>'
         b'<c r="B2"><v>24</v></c></row>', compression=zipfile.ZIP_STORED)
    with open(at("stored-member-changed.xlsx"), "rb") as f:
        changed = f.read().replace(b"<v>14</v>", b"<v>15</v>")
    with open(at("stored-member-changed.xlsx"), "wb") as f:
        f.write(changed)
    xlsx(at("long-zip-comment.xlsx"), TWO_VALUES + b'<row r="2"><c r="A2"><v>14</v></c>'
         b'<c r="B2"><v>24</v></c></row>')
    with zipfile.ZipFile(at("long-zip-comment.xlsx"), "a") as z:
        z.comment = b"c" * 65_500

    # A sheet whose package says it inflates to 2 GB: refused before it is parsed.
    xlsx(at("sheet-claims-two-gigabytes.xlsx"), TWO_VALUES)
    claim_inflated_size(at("sheet-claims-two-gigabytes.xlsx"), b"xl/worksheets/sheet1.xml",
                        0x7FFFFFFF)

    # A table nested inside a cell: its text is not the cell's.
    ods(at("nested-table.ods"), ods_cell(b'office:value-type="string"', chunks_of(
        b"<text:p>x</text:p><table:table><table:table-row><table:table-cell "
        b'office:value-type="float" office:value="999"><text:p>999</text:p></table:table-cell>'
        b"</table:table-row></table:table>")))

    # Numbers that are none: NaN and infinities in NUMBER, RK and FORMULA cells, and dates that
    # are NaN or lie beyond every calendar.
    nan = struct.pack("<d", float("nan"))
    biff_cell(at("number-nan.biff"), 0x0203, struct.pack("<H", 0) + nan)
    biff_cell(at("rk-infinite.biff"), 0x027E, struct.pack("<HI", 0, 0x7FF00000))
    biff_cell(at("formula-nan.biff"), 0x0006, struct.pack("<H", 0) + nan + b"\0" * 8)
    biff_cell(at("date-nan.biff"), 0x0203, struct.pack("<H", 1) + nan)
    biff_cell(at("date-1e300.biff"), 0x0203, struct.pack("<Hd", 1, 1e300))

    # Compound-file directories that nest storages 1,001 deep, and that link an entry to itself
    # (the full-size ones: 40,000 deep, and 50,000 siblings in a chain).
    compound_file(at("directory-nested-deep.xls"), nested_storages(1001))
    compound_file(at("directory-linked-to-itself.xls"), [(2, None, 1, None)])

    # Delimited text with numbers beyond the range of a double: they stay text.
    with open(at("numbers-beyond-range.csv"), "w") as f:
        f.write("Sample,DYS19,DYS390\nS1,1e400,-1e-400\n")


def biff_shared_text_flood(path, count):
    """A bare BIFF8 stream whose shared-text table (SST and its CONTINUE records) holds count
    empty texts, 3 bytes each, and whose one cell A1 shows the first: 105 MB for 33 million."""
    per_record = 8224 // 3
    with open(path, "wb") as f:
        f.write(biff_record(0x0809, struct.pack("<HHHH", 0x0600, 0x10, 0, 0)))
        first = min(count, (8224 - 8) // 3)
        f.write(biff_record(0x00FC, struct.pack("<II", count, count) + b"\0\0\0" * first))
        left = count - first
        while left > 0:
            n = min(left, per_record)
            f.write(biff_record(0x003C, b"\0\0\0" * n))
            left -= n
        f.write(biff_record(0x00FD, struct.pack("<HHHI", 0, 0, 0, 0)) + biff_record(0x000A, b""))


def windows_1252_table(path, size):
    """A CSV table in Windows-1252 (an "é" in every row makes it no UTF-8) of about size bytes."""
    row = b"Caf\xe9 12345,Population,,,,,,14,24,13,29,11\n"
    with open(path, "wb") as f:
        f.write(b"id,population,a,b,c,d,e,DYS19,DYS390,DYS391,DYS389II,DYS392\n")
        for chunk in repeated(row, size // len(row)):
            f.write(chunk)


def xlsx_with_picture(path, workbook_rels, workbook, picture_bytes):
    """A package whose workbook part and its relationships are given, with a stored picture of
    random bytes that makes the file large without adding anything to read."""
    members = [("[Content_Types].xml", CONTENT_TYPES.encode()), ("_rels/.rels", ROOT_RELS.encode()),
               ("xl/workbook.xml", workbook), ("xl/_rels/workbook.xml.rels", workbook_rels),
               ("xl/worksheets/sheet1.xml", SHEET_HEAD + TWO_VALUES + SHEET_TAIL)]
    write_zip(path, members)
    with zipfile.ZipFile(path, "a", zipfile.ZIP_STORED) as z:
        z.writestr("xl/media/image1.png", os.urandom(picture_bytes))


def relationship_floods(folder):
    """1,000 relationships with a 1 MB Type, and 1,000 sheet entries with a 1 MB r:id, each
    beside a 15 MB picture."""
    rels_head = (b'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns='
                 b'"http://schemas.openxmlformats.org/package/2006/relationships">')
    worksheet = (b'<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/'
                 b'2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>')
    long_types = b"".join(b'<Relationship Id="rX%d" Type="http://x/%s" Target="x"/>'
                          % (i, b"t" * (1 << 20)) for i in range(1000))
    xlsx_with_picture(os.path.join(folder, "relationship-types.xlsx"),
                      rels_head + long_types + worksheet + b"</Relationships>",
                      WORKBOOK.encode(), 15 << 20)
    long_ids = b"".join(b'<sheet name="S%d" sheetId="%d" r:id="r%s"/>' % (i, i + 2, b"i" * (1 << 20))
                        for i in range(1000))
    xlsx_with_picture(os.path.join(folder, "sheet-ids.xlsx"),
                      rels_head + worksheet + b"</Relationships>",
                      WORKBOOK.encode().replace(b"<sheets>", b"<sheets>" + long_ids), 15 << 20)


def add_picture(path, picture_bytes):
    """Appends a stored picture of random bytes: it makes the file large without adding anything
    to read."""
    with zipfile.ZipFile(path, "a", zipfile.ZIP_STORED) as z:
        z.writestr("media/image1.png", os.urandom(picture_bytes))


def locus_header(loci):
    return (b"<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Sample"
            b"</text:p></table:table-cell>" +
            b"".join(b'<table:table-cell office:value-type="string"><text:p>DYS%d</text:p>'
                     b"</table:table-cell>" % i for i in range(loci)) + b"</table:table-row>")


def picture_unlocked_floods(folder):
    """What a stored picture of random bytes beside a tiny, highly compressed part would unlock
    if allowances grew with the whole file: 60 million empty shared texts (30 MB picture), 49
    million numbers (12 MB picture), and 49 million faulty cells repeated by count (12 MB); and
    40 million shared texts a sheet does not use in a stored part (200 MB)."""
    os.makedirs(folder, exist_ok=True)
    at = lambda name: os.path.join(folder, name)
    xlsx(at("shared-texts-beside-picture.xlsx"), TWO_VALUES,
         shared_strings=repeated(b"<si/>", 60_000_000))
    add_picture(at("shared-texts-beside-picture.xlsx"), 30 << 20)
    xlsx(at("numbers-beside-picture.xlsx"), repeated(
        b"<row>" + b"<c><v>7</v></c>" * 16_000 + b"</row>", 3062, per_chunk=16))
    add_picture(at("numbers-beside-picture.xlsx"), 12 << 20)
    ods_repeated_faults(at("repeated-faults-beside-picture.ods"), 980_000, 49)
    # 40 million shared texts in a stored part of 200 MB, of which the sheet shows two.
    xlsx(at("unused-shared-texts-stored.xlsx"), UNUSED_SHARED_TEXTS_SHEET % 39_999_999,
         shared_strings=unused_shared_texts(40_000_000), compression=zipfile.ZIP_STORED)
    add_picture(at("repeated-faults-beside-picture.ods"), 12 << 20)
    # A sparse text file of 1,025 MB: refused by its size, none of it read.
    with open(at("sparse-1025mb.csv"), "wb") as f:
        f.truncate(1025 << 20)


def ods_repeated_faults(path, rows, loci):
    """A header of loci, then one row of a sample and "NA" at every locus repeated rows times."""
    mimetype = zipfile.ZipInfo("mimetype")
    row = (b'<table:table-row table:number-rows-repeated="%d"><table:table-cell '
           b'office:value-type="string"><text:p>S</text:p></table:table-cell><table:table-cell '
           b'office:value-type="string" table:number-columns-repeated="%d"><text:p>NA</text:p>'
           b"</table:table-cell></table:table-row>" % (rows, loci))
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(mimetype, "application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr("content.xml", ODS_HEAD + locus_header(loci) + row + ODS_TAIL)


def text_tables(folder):
    """A database of a million haplotypes at 27 loci (120 MB), in Windows-1252 and in UTF-8:
    the sample names hold an "é"; and the 250 MB Windows-1252 table of more rows than a sheet
    has."""
    os.makedirs(folder, exist_ok=True)
    windows_1252_table(os.path.join(folder, "windows-1252-250mb.csv"), 250_000_000)
    header = "Sample,Population," + ",".join("DYS%d" % i for i in range(27)) + "\n"
    alleles = ",".join(str(10 + i % 20) for i in range(27))
    for name, encoding in (("windows-1252.csv", "cp1252"), ("utf-8.csv", "utf-8")):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(header.encode(encoding))
            for start in range(0, 1_000_000, 10_000):
                f.write("".join("Café %07d,Population of the north,%s\n" % (n, alleles)
                                for n in range(start, start + 10_000)).encode(encoding))


def full_size_files(folder):
    """The bombs of the issue at their full size, for bench/time-batch.sh refusals."""
    os.makedirs(folder, exist_ok=True)
    at = lambda name: os.path.join(folder, name)
    ods(at("space-runs.ods"), ods_cell(b'office:value-type="string"', chunks_of(
        b"<text:p>", repeated(b'<text:s text:c="1000"/>', 1_000_000), b"</text:p>")))
    xlsx(at("deep-nesting.xlsx"), chunks_of(TWO_VALUES, repeated(b"<x>", 30_000_000)))
    xlsx(at("area-of-two-values.xlsx"),
         b'<row r="1"><c r="A1"><v>1</v></c></row><row r="12207"><c r="XFD12207"><v>2</v></c></row>')
    xlsx(at("empty-shared-texts.xlsx"), TWO_VALUES, shared_strings=repeated(b"<si/>", 50_000_000))
    xlsx(at("empty-cell-flood.xlsx"), chunks_of(TWO_VALUES, b'<row r="2">',
                                                repeated(b"<c/>", 2_500_000_000), b"</row>"))
    xlsx(at("value-flood.xlsx"), repeated(
        b"<row>" + b"<c><v>7</v></c>" * 16_000 + b"</row>", 3125, per_chunk=16))
    xlsx(at("whitespace-flood.xlsx"), chunks_of(TWO_VALUES, repeated(b" ", 10 << 30, 1 << 20)))
    compound_file(at("directory-nested-deep.xls"), nested_storages(40_000))
    biff_shared_text_flood(at("shared-text-flood.biff"), 33_000_000)
    windows_1252_table(at("windows-1252.csv"), 250_000_000)
    relationship_floods(folder)
    compound_file(at("directory-chained-siblings.xls"), chained_siblings(50_000))
    picture_unlocked_floods(folder)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--pictures":
        picture_unlocked_floods(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == "--text":
        text_tables(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == "--full":
        full_size_files(sys.argv[2])
    else:
        small_files()
