# Prints an XLSX file as JSON, read by an independent reader (openpyxl): for every worksheet its
# title, its non-empty cells row by row ([row, [[column, value, number format], ...]], dates and
# times as {"datetime": ...} / {"time": ...}), its merged ranges, frozen pane, autofilter and solid
# cell fills ([row, column, "RRGGBB"]); the document properties, the company of the application
# properties and the count of pictures.
# Used by the export tests.
import datetime
import json
import re
import sys
import zipfile

import openpyxl


def plain(value):
    if isinstance(value, datetime.datetime):
        return {"datetime": value.isoformat()}
    if isinstance(value, datetime.time):
        return {"time": value.isoformat()}
    return value


book = openpyxl.load_workbook(sys.argv[1])
sheets = []
for sheet in book.worksheets:
    rows = []
    fills = []
    for row in sheet.iter_rows():
        cells = [[c.column, plain(c.value), c.number_format] for c in row if c.value is not None]
        if cells:
            rows.append([row[0].row, cells])
        fills += [[c.row, c.column, str(c.fill.fgColor.rgb)[-6:]] for c in row if c.fill.fill_type == "solid"]
    sheets.append({"title": sheet.title, "rows": rows, "fills": fills,
                   "merged": [str(r) for r in sheet.merged_cells.ranges],
                   "freeze": sheet.freeze_panes, "autofilter": sheet.auto_filter.ref})
archive = zipfile.ZipFile(sys.argv[1])
media = [n for n in archive.namelist() if n.startswith("xl/media/")]
app = archive.read("docProps/app.xml").decode("utf-8")
company = re.search(r"<Company>(.*?)</Company>", app)
props = book.properties
print(json.dumps({"sheets": sheets, "images": len(media),
                  "properties": {"title": props.title, "creator": props.creator, "subject": props.subject,
                                 "company": company.group(1) if company else None}}))
