# Prints a DOCX file as JSON, read by an independent reader (python-docx): the texts of the first
# table row by row and whether its first row repeats as a header, the paragraphs' texts, every
# section's orientation and page size in millimetres, the core properties and the count of inline
# pictures. Used by the export tests.
import json
import sys

import docx
from docx.enum.section import WD_ORIENT

document = docx.Document(sys.argv[1])
tables = []
for table in document.tables:
    rows = [[cell.text for cell in row.cells] for row in table.rows]
    header = bool(table.rows[0]._tr.xpath("./w:trPr/w:tblHeader")) if table.rows else False
    tables.append({"rows": rows, "header": header})
sections = [{"landscape": s.orientation == WD_ORIENT.LANDSCAPE,
             "width": round(s.page_width.mm, 1), "height": round(s.page_height.mm, 1),
             "left": round(s.left_margin.mm, 1), "top": round(s.top_margin.mm, 1),
             "footer": [p.text for p in s.footer.paragraphs]}
            for s in document.sections]
core = document.core_properties
print(json.dumps({"tables": tables, "paragraphs": [p.text for p in document.paragraphs], "sections": sections,
                  "pictures": len(document.inline_shapes),
                  "properties": {"title": core.title, "author": core.author, "subject": core.subject}}))
