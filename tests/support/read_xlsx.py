#!/usr/bin/python3
"""Prints an .xlsx workbook as one JSON object, read with openpyxl (Debian's
python3-openpyxl), a reader independent of the writer under test:

  {"sheets": [{"title": ..., "freeze": "A9" | null, "filter": "A8:E40" | null,
               "widths": {"A": 12.7, ...}, "bold": ["A1", ...],
               "rows": [[cell, ...], ...]}]}

Cells are JSON strings, numbers, booleans or null. With --values-only the workbook is read
in openpyxl's streaming mode (fast for large sheets): only titles and rows are given.
"""
import json
import sys

import openpyxl


def main():
    args = sys.argv[1:]
    values_only = "--values-only" in args
    path = [a for a in args if not a.startswith("--")][0]
    book = openpyxl.load_workbook(path, read_only=values_only)
    sheets = []
    for sheet in book.worksheets:
        rows = [list(r) for r in sheet.iter_rows(values_only=True)]
        entry = {"title": sheet.title, "rows": rows}
        if not values_only:
            entry["freeze"] = sheet.freeze_panes
            entry["filter"] = sheet.auto_filter.ref
            entry["widths"] = {k: d.width for k, d in sheet.column_dimensions.items() if d.customWidth}
            entry["bold"] = [c.coordinate for row in sheet.iter_rows() for c in row
                             if c.value is not None and c.font is not None and c.font.b]
        sheets.append(entry)
    json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
