#!/usr/bin/python3
"""Prints what a test checks in an .xlsx workbook (its active sheet) as one JSON object.

cells: {"A1": {value, type, font, size, bold, italic, color, h, v, wrap, shrink, reading,
               numfmt, border: [left, top, right, bottom]}} for every cell that has a value or a
       style; colours as "RRGGBB" (None = automatic).
merged: ["A1:E1", ...]; columns: {"A": width}; rows: {"4": height};
page: orientation, paper, scale, margins, header/footer texts, print options.
"""
import json
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl
from openpyxl.cell.cell import MergedCell
from openpyxl.styles.numbers import BUILTIN_FORMATS


def color(c):
    if c is None or c.type != "rgb" or c.rgb is None:
        return None
    return str(c.rgb)[-6:]


def raw_styles(path, wb):
    """Style index of every cell as the sheet's XML holds it (openpyxl drops the styles of the
    covered cells of a merged range)."""
    sheet = wb.active
    name = "xl/worksheets/sheet%d.xml" % (wb.worksheets.index(sheet) + 1)
    ns = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    with zipfile.ZipFile(path) as z:
        root = ET.fromstring(z.read(name))
    return {c.get("r"): int(c.get("s", "0")) for c in root.iter(ns + "c")}


def describe(value, data_type, font, alignment, numfmt, b):
    return {
        "value": value,
        "type": data_type,
        "font": font.name,
        "size": float(font.sz) if font.sz is not None else None,
        "bold": bool(font.b),
        "italic": bool(font.i),
        "color": color(font.color),
        "h": alignment.horizontal,
        "v": alignment.vertical,
        "wrap": bool(alignment.wrap_text),
        "shrink": bool(alignment.shrink_to_fit),
        "reading": int(alignment.readingOrder or 0),
        "numfmt": numfmt,
        "border": [b.left.style, b.top.style, b.right.style, b.bottom.style],
    }


def main():
    wb = openpyxl.load_workbook(sys.argv[1])
    ws = wb.active
    styles = raw_styles(sys.argv[1], wb)
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if isinstance(c, MergedCell):
                s = styles.get(c.coordinate)
                if s is None:
                    continue
                sa = wb._cell_styles[s]
                fid = sa.numFmtId
                numfmt = BUILTIN_FORMATS.get(fid) or wb._number_formats[fid - 164]
                cells[c.coordinate] = describe(None, "n", wb._fonts[sa.fontId], wb._alignments[sa.alignmentId],
                                               numfmt, wb._borders[sa.borderId])
                continue
            if c.value is None and not c.has_style:
                continue
            cells[c.coordinate] = describe(c.value, c.data_type, c.font, c.alignment, c.number_format, c.border)
    ps = ws.page_setup
    pm = ws.page_margins
    po = ws.print_options
    hf = ws.oddHeader
    ft = ws.oddFooter
    out = {
        "cells": cells,
        "merged": sorted(str(r) for r in ws.merged_cells.ranges),
        "columns": {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth},
        "rows": {str(k): d.ht for k, d in ws.row_dimensions.items() if d.ht is not None},
        "page": {
            "orientation": ps.orientation,
            "paper": int(ps.paperSize) if ps.paperSize is not None else None,
            "scale": int(ps.scale) if ps.scale is not None else 100,
            "pageOrder": ps.pageOrder,
            "firstPageNumber": ps.firstPageNumber,
            "useFirstPageNumber": bool(ps.useFirstPageNumber),
            "left": pm.left, "right": pm.right, "top": pm.top, "bottom": pm.bottom,
            "header": pm.header, "footer": pm.footer,
            "headerText": [hf.left.text, hf.center.text, hf.right.text],
            "footerText": [ft.left.text, ft.center.text, ft.right.text],
            "gridLines": bool(po.gridLines),
            "headings": bool(po.headings),
            "horizontalCentered": bool(po.horizontalCentered),
            "verticalCentered": bool(po.verticalCentered),
            "printArea": ws.print_area,
            "printTitleRows": ws.print_title_rows,
            "printTitleCols": ws.print_title_cols,
        },
    }
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
