#!/usr/bin/env python3
"""Reads an .xls workbook the way other programs do, for the workbook tests.

read_workbook.py cells <file>        xlrd: sheet names and every cell as
                                     [row, col, value, "text" or "number",
                                     its number format], as JSON
read_workbook.py shown <file>        LibreOffice: the first sheet's cells as it
                                     shows them (converted to CSV), as JSON
read_workbook.py pictures <file>     LibreOffice: converts to .xlsx and lists
                                     each picture's anchor cell and PNG size
Exit code 77 when the reader is not installed.
"""
import csv
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import re


def cells(path):
    try:
        import xlrd
    except ImportError:
        sys.exit(77)
    book = xlrd.open_workbook(path, formatting_info=True)
    kinds = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number"}
    out = {"sheets": book.sheet_names(), "cells": {}}
    for sheet in book.sheets():
        found = []
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                kind = sheet.cell_type(r, c)
                if kind in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                xf = book.xf_list[sheet.cell_xf_index(r, c)]
                found.append([r, c, sheet.cell_value(r, c), kinds.get(kind, str(kind)),
                              book.format_map[xf.format_key].format_str])
        out["cells"][sheet.name] = found
    print(json.dumps(out))


def convert(office, path, work, target):
    """Converts with a profile of its own in `work`, in an English locale."""
    profile = "file://" + os.path.join(work, "profile")
    env = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", LANGUAGE="")
    subprocess.run([office, "-env:UserInstallation=" + profile, "--headless", "--norestore",
                    "--convert-to", target, "--outdir", work, path],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, env=env)
    return os.path.join(work, os.path.splitext(os.path.basename(path))[0])


def shown(path):
    office = shutil.which("soffice") or shutil.which("libreoffice")
    if not office:
        sys.exit(77)
    with tempfile.TemporaryDirectory() as work:
        # Comma separated, quoted, UTF-8 (76), cells as shown.
        converted = convert(office, path, work, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true") + ".csv"
        with open(converted, encoding="utf-8", newline="") as f:
            rows = list(csv.reader(f))
        print(json.dumps({"cells": [[r, c, text] for r, row in enumerate(rows)
                                    for c, text in enumerate(row) if text]}))


def pictures(path):
    office = shutil.which("soffice") or shutil.which("libreoffice")
    if not office:
        sys.exit(77)
    with tempfile.TemporaryDirectory() as work:
        converted = convert(office, path, work, "xlsx") + ".xlsx"
        found = []
        with zipfile.ZipFile(converted) as z:
            names = z.namelist()
            for name in sorted(n for n in names if n.startswith("xl/drawings/drawing") and n.endswith(".xml")):
                xml = z.read(name).decode("utf-8")
                for anchor in re.findall(r"<xdr:from>(.*?)</xdr:from>", xml, re.S):
                    col = int(re.search(r"<xdr:col>(\d+)</xdr:col>", anchor).group(1))
                    row = int(re.search(r"<xdr:row>(\d+)</xdr:row>", anchor).group(1))
                    found.append({"row": row, "col": col})
            media = sorted(n for n in names if n.startswith("xl/media/"))
            for i, name in enumerate(media):
                data = z.read(name)
                if data[:8] == b"\x89PNG\r\n\x1a\n" and i < len(found):
                    found[i]["width"], found[i]["height"] = struct.unpack(">II", data[16:24])
        print(json.dumps({"pictures": found}))


if __name__ == "__main__":
    {"cells": cells, "shown": shown, "pictures": pictures}[sys.argv[1]](sys.argv[2])
