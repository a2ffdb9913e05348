#!/usr/bin/env python3
"""Reads an .xls workbook the way other programs do, for the workbook tests.

read_workbook.py cells <file>        xlrd: sheet names and every cell, as JSON
read_workbook.py pictures <file>     LibreOffice: converts to .xlsx and lists
                                     each picture's anchor cell and PNG size
Exit code 77 when the reader is not installed.
"""
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
    book = xlrd.open_workbook(path)
    out = {"sheets": book.sheet_names(), "cells": {}}
    for sheet in book.sheets():
        out["cells"][sheet.name] = [[r, c, sheet.cell_value(r, c)]
                                    for r in range(sheet.nrows) for c in range(sheet.ncols)
                                    if sheet.cell_type(r, c) != xlrd.XL_CELL_EMPTY]
    print(json.dumps(out))


def pictures(path):
    office = shutil.which("soffice") or shutil.which("libreoffice")
    if not office:
        sys.exit(77)
    with tempfile.TemporaryDirectory() as work:
        profile = "file://" + os.path.join(work, "profile")
        subprocess.run([office, "-env:UserInstallation=" + profile, "--headless", "--norestore",
                        "--convert-to", "xlsx", "--outdir", work, path],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        converted = os.path.join(work, os.path.splitext(os.path.basename(path))[0] + ".xlsx")
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
    {"cells": cells, "pictures": pictures}[sys.argv[1]](sys.argv[2])
