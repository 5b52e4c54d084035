"""Prints what a spreadsheet program would find in a workbook, as JSON: the first sheet's cells
with their types and wrapping, the header's boldness, the frozen pane and the column widths."""
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
rows = []
for row in sheet.iter_rows():
    rows.append([{"value": cell.value, "type": cell.data_type, "bold": bool(cell.font and cell.font.b),
                  "wrap": bool(cell.alignment and cell.alignment.wrap_text)} for cell in row])
widths = {key: dim.width for key, dim in sheet.column_dimensions.items()}
json.dump({"rows": rows, "freeze": sheet.freeze_panes, "widths": widths,
           "filter": sheet.auto_filter.ref}, sys.stdout)
