#!/usr/bin/env python3
"""Writes the flat ODS sources of the import fixtures: tables as users' files come, each shape
one file (a count column, populations on named sheets, a derived column with untyped rows,
sheets whose loci differ). make-fixtures.sh converts them with LibreOffice."""
import os
from xml.sax.saxutils import escape

HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document '
        'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
        'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
        'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2" '
        'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">\n'
        '<office:body><office:spreadsheet>\n')
TAIL = '</office:spreadsheet></office:body></office:document>\n'


def cell(value):
    if value == '':
        return '<table:table-cell/>'
    try:
        number = float(value)
        return ('<table:table-cell office:value-type="float" office:value="%s">'
                '<text:p>%s</text:p></table:table-cell>' % (value, value))
    except ValueError:
        return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                '</table:table-cell>' % escape(value))


def write(name, sheets):
    with open(os.path.join('source', name + '.fods'), 'w', encoding='utf-8') as out:
        out.write(HEAD)
        for sheet, rows in sheets:
            out.write('<table:table table:name="%s">\n' % escape(sheet))
            for row in rows:
                out.write('<table:table-row>%s</table:table-row>\n' % ''.join(cell(v) for v in row))
            out.write('</table:table>\n')
        out.write(TAIL)


# Distinct haplotypes with how many men carry each, the loci after descriptive columns.
write('import-counts', [('Sheet1', [
    ['Haplotype', 'Frequency', 'Count', 'DYS19', 'DYS389 I', 'DYS389 II', 'DYS385a/b', 'Y-GATA-H4'],
    ['H1', '0.4', '4', '14', '13', '29', '11,14', '11'],
    ['H2', '0.2', '2', '15', '13', '30', '13,17', '12'],
    ['H3', '0.1', '1', '14', '12', '28', '14', '11'],
    ['H4', '0.3', '3', '16', '14', '31', '12,15', '10'],
])])

# One population per sheet, no population column; the third sheet keeps its default name.
LOCI = ['DYS19', 'DYS390', 'DYS391', 'DYS393']
write('import-sheets', [
    ('Northern', [['ID'] + LOCI, ['N1', '14', '23', '10', '13'], ['N2', '15', '24', '11', '13'],
                  ['N3', '14', '23', '10', '13']]),
    ('Southern', [['ID'] + LOCI, ['S1', '16', '22', '10', '12'], ['S2', '14', '23', '10', '13']]),
    ('Sheet3', [['ID'] + LOCI, ['X1', '13', '25', '11', '14']]),
])

# Sheets whose loci differ: read together they are refused.
write('import-mismatch', [
    ('Kit A', [['ID'] + LOCI, ['A1', '14', '23', '10', '13']]),
    ('Kit B', [['ID', 'DYS19', 'DYS390', 'DYS391', 'DYS456'], ['B1', '14', '23', '10', '15']]),
])

# Six descriptive columns around the population, a derived sum that is no locus, loci split into
# a and b, and men typed at no locus.
write('import-derived', [('Sheet1', [
    ['order', 'ID', 'sex', 'Population Code', 'DYS19', 'DYS385a', 'DYS385b', 'DYS385sum', 'DYS390',
     'haplogroup'],
    ['1', 'P01', 'M', 'Coast', '13', '14', '17', '31', '24', 'Q-M3'],
    ['2', 'P02', 'M', 'Coast', '--', '--', '--', '--', '--', 'R-M207'],
    ['3', 'P03', 'M', 'Coast', '14', '13', '18', '31', '23', 'Q-M3'],
    ['4', 'P04', 'M', 'Andes', '13', '14', '17', '31', '24', 'Q-M3'],
    ['5', 'P05', 'M', 'Andes', 'NA', '', '', '', 'NA', ''],
    ['6', 'P06', 'M', 'Andes', '15', '12', '16', '28', '22', 'E-M2'],
])])
