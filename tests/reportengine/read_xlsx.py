# Prints the cells of the first worksheet of an XLSX file as JSON: one list per row of
# [value, number format] pairs, empty cells left out, and the count of embedded pictures. Used by the export tests as an
# independent reader.
import json
import sys
import zipfile

import openpyxl

sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
rows = []
for row in sheet.iter_rows():
    cells = [[c.value, c.number_format] for c in row if c.value is not None]
    if cells:
        rows.append(cells)
media = [n for n in zipfile.ZipFile(sys.argv[1]).namelist() if n.startswith("xl/media/")]
print(json.dumps({"title": sheet.title, "images": len(media), "rows": rows}))
