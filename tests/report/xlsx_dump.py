#!/usr/bin/env python3
"""Opens an XLSX report the way a spreadsheet user would and prints what it holds, one fact per line.

    PART <entry name>                      every archive entry, in archive order
    TITLE <sheet title>
    ROW1HEIGHT <height of row 1>
    CELL <ref> <value>                     non-empty cell values as the workbook library reads them
    MERGE <range>                          merged ranges, sorted
    RUN <ref> <colour or -> <text>         the rich runs of every text cell, in order
In runs, "_xHHHH_" escapes are decoded (the workbook library leaves them in values); everywhere, CR, LF and TAB are written as \\r \\n \\t.
Exits with 1 and a message when an XML part does not parse or the workbook cannot be opened.
"""
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

import warnings

import openpyxl

# The stylesheet carries no named cell styles; the reader says so and supplies its own.
warnings.filterwarnings("ignore", message="Workbook contains no default style")

NS = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def decode(text):
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def shown(text):
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t")


def read_report(path):
    """The workbook's facts: parts, title, row 1 height, cell values, merged ranges and rich runs."""
    report = {"parts": [], "runs": {}, "cells": {}}
    with zipfile.ZipFile(path) as archive:
        for name in archive.namelist():
            report["parts"].append(name)
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    ET.fromstring(archive.read(name))
                except ET.ParseError as error:
                    raise ValueError("%s does not parse: %s" % (name, error))
        strings = []
        for si in ET.fromstring(archive.read("xl/sharedStrings.xml")).iter(NS + "si"):
            runs = []
            if si.find(NS + "t") is not None:
                runs.append(("-", decode(si.find(NS + "t").text or "")))
            for r in si.iter(NS + "r"):
                colour = r.find(NS + "rPr/" + NS + "color")
                runs.append((colour.get("rgb") if colour is not None else "-", decode(r.find(NS + "t").text or "")))
            strings.append(runs)
        sheet = ET.fromstring(archive.read("xl/worksheets/sheet1.xml"))
        for c in sheet.iter(NS + "c"):
            if c.get("t") == "s":
                report["runs"][c.get("r")] = strings[int(c.find(NS + "v").text)]

    book = openpyxl.load_workbook(path)
    ws = book.active
    report["title"] = ws.title
    report["row1height"] = ws.row_dimensions[1].height
    report["max_row"] = ws.max_row
    for row in ws.iter_rows():
        for cell in row:
            if cell.value not in (None, ""):
                report["cells"][cell.coordinate] = str(cell.value)
    report["merged"] = sorted(str(r) for r in ws.merged_cells.ranges)
    return report


def main(path):
    try:
        report = read_report(path)
    except ValueError as error:
        sys.exit(str(error))
    out = ["PART " + name for name in report["parts"]]
    for ref, runs in report["runs"].items():
        for colour, text in runs:
            out.append("RUN %s %s %s" % (ref, colour, shown(text)))
    out.append("TITLE " + report["title"])
    out.append("ROW1HEIGHT %s" % report["row1height"])
    for ref, value in report["cells"].items():
        out.append("CELL %s %s" % (ref, shown(value)))
    for merged in report["merged"]:
        out.append("MERGE " + merged)
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
