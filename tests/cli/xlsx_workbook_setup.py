#!/usr/bin/env python3
"""The workbook as people work in it and print it, on real reports of the real binary.

Usage: xlsx_workbook_setup.py reader|print BINARY EXAMPLES_DIR CORPUS_DIR

Reports of the bundled examples, of one corpus pair and of a long corpus document against itself
are written as XLSX, then:
- reader: the workbook library reads, on both sheets, the frozen rows down to the table's caption,
  the filter over the table, landscape printing one page wide with the caption as print title, and
  the match and edit-distance cells as numbers wherever they hold one; the workbook's defined names
  carry the hidden filter database;
- print: LibreOffice (headless, a profile of its own) prints the workbook to PDF; every page is
  landscape, and every page of the segment sheet carries the caption row whole, its first and its
  last column: no column fell onto a page of its own.
Exits with 77 (a skip) and says why when the workbook library or LibreOffice is missing.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile
import xml.etree.ElementTree as ET

import checks
from checks import check

MODE, BINARY, EXAMPLES, CORPUS = sys.argv[1:5]
SKIP = 77
NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
NUMBER = re.compile(r"-?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?")
PAIR = ("sdlxliff/translate5-Translate682Test_testsamples.sdlxliff",
        "sdlxliff/translate5-Translate682Test_expectedResult.sdlxliff")
# A long document against itself, identical rows shown: a segment sheet of many printed pages.
LONG = "sdlxliff/Configuring_Spelling_Checker.doc.sdlxliff"


def skip(why):
    print("SKIP:", why)
    sys.exit(SKIP)


def write_reports(work):
    """The XLSX reports of the examples and of the corpus pair (paths)."""
    before = sorted(os.path.join(EXAMPLES, "before", f) for f in os.listdir(os.path.join(EXAMPLES, "before")))
    after = sorted(os.path.join(EXAMPLES, "after", f) for f in os.listdir(os.path.join(EXAMPLES, "after")))
    runs = {"examples": (before, after), "pair": ([os.path.join(CORPUS, PAIR[0])], [os.path.join(CORPUS, PAIR[1])]),
            "long": ([os.path.join(CORPUS, LONG)], [os.path.join(CORPUS, LONG)])}
    reports = []
    for name, (sources, edited) in runs.items():
        out = os.path.join(work, name)
        args = [BINARY, "-q", "-f", "xlsx", "-o", out, "--show-identical"]
        args += sum((["-s", p] for p in sources), []) + sum((["-e", p] for p in edited), [])
        proc = subprocess.run(args, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
        check(proc.returncode == 0, "%s: exit status %s, %r" % (name, proc.returncode, proc.stderr[-300:]))
        reports += sorted(os.path.join(out, f) for f in os.listdir(out) if f.endswith(".xlsx"))
    check(len(reports) == 4, "four reports (two language pairs of the examples, one per corpus run)")
    return reports


def caption_row(ws, first_caption):
    for row in ws.iter_rows(min_col=1, max_col=1):
        if row[0].value == first_caption:
            return row[0].row
    return None


def check_layout(name, ws, caption, last_column):
    check(caption is not None, "%s %s: a caption row" % (name, ws.title))
    if caption is None:
        return
    check(ws.freeze_panes == "A%d" % (caption + 1), "%s %s: frozen below row %d, not %s" % (name, ws.title, caption,
                                                                                       ws.freeze_panes))
    check(ws.print_title_rows is not None and ws.print_title_rows.replace("$", "") == "%d:%d" % (caption, caption),
          "%s %s: print titles %s" % (name, ws.title, ws.print_title_rows))
    check(ws.page_setup.orientation == "landscape", "%s %s: landscape" % (name, ws.title))
    check(ws.sheet_properties.pageSetUpPr is not None and ws.sheet_properties.pageSetUpPr.fitToPage,
          "%s %s: fitted to the page" % (name, ws.title))
    check(int(ws.page_setup.fitToWidth) == 1 and int(ws.page_setup.fitToHeight) == 0,
          "%s %s: one page wide, any number down" % (name, ws.title))
    return "A%d:%s" % (caption, last_column)


def check_reader(report):
    import openpyxl  # noqa: E402 - only this mode needs it
    name = os.path.basename(os.path.dirname(report))
    wb = openpyxl.load_workbook(report)
    ws = wb.worksheets[0]
    caption = caption_row(ws, "No")
    ranges = {}
    start = check_layout(name, ws, caption, "G")
    if start:
        ranges[0] = start + str(ws.max_row)
        check(ws.auto_filter.ref == ranges[0], "%s: filter %s, not %s" % (name, ranges[0], ws.auto_filter.ref))
        numbers = 0
        for row in ws.iter_rows(min_row=caption + 1, min_col=1, max_col=6):
            if row[0].value is None or row[1].coordinate in ws.merged_cells:
                continue  # a document's label row
            for cell in (row[1], row[5]):
                if isinstance(cell.value, (int, float)):
                    numbers += 1
                else:
                    check(cell.value is None or not NUMBER.fullmatch(str(cell.value)),
                          "%s %s: %r is a number stored as text" % (name, cell.coordinate, cell.value))
        check(numbers > 0, "%s: number cells among match and edit distance" % name)
    analysis = wb.worksheets[1]
    caption = caption_row(analysis, "Document")
    start = check_layout(name, analysis, caption, "D")
    if start:
        last = caption
        while analysis.cell(last + 1, 1).value not in (None, ""):
            last += 1
        ranges[1] = start + str(last)
        check(analysis.auto_filter.ref == ranges[1], "%s Analysis: filter %s" % (name, analysis.auto_filter.ref))
    # The hidden filter database of each filtered sheet names the filter's range.
    with zipfile.ZipFile(report) as archive:
        book = ET.fromstring(archive.read("xl/workbook.xml"))
    found = {}
    for dn in book.iterfind("m:definedNames/m:definedName", NS):
        if dn.get("name") == "_xlnm._FilterDatabase":
            check(dn.get("hidden") == "1", "%s: the filter database is hidden" % name)
            found[int(dn.get("localSheetId"))] = dn.text.split("!")[1].replace("$", "")
    check(found == ranges, "%s: filter databases %s, filters %s" % (name, found, ranges))


def page_texts(pdf):
    pages = int(re.search(r"^Pages:\s+(\d+)", subprocess.run(["pdfinfo", pdf], capture_output=True, text=True,
                                                                 check=True).stdout, re.M).group(1))
    texts = []
    for page in range(1, pages + 1):
        info = subprocess.run(["pdfinfo", "-f", str(page), "-l", str(page), pdf], capture_output=True, text=True,
                              check=True).stdout
        w, h = map(float, re.search(r"Page\s+\d+ size:\s+([\d.]+) x ([\d.]+)", info).groups())
        text = subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), "-layout", pdf, "-"],
                              capture_output=True, text=True, check=True).stdout
        texts.append((w > h, text))
    return texts


def check_print(report, work):
    name = os.path.basename(os.path.dirname(report))
    out = os.path.join(work, "pdf-" + name)
    profile = "file://" + os.path.join(work, "lo-profile")
    proc = subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--norestore",
                           "--convert-to", "pdf", "--outdir", out, report],
                          capture_output=True, timeout=180, stdin=subprocess.DEVNULL, start_new_session=True)
    pdf = os.path.join(out, os.path.basename(report)[:-5] + ".pdf")
    check(proc.returncode == 0 and os.path.isfile(pdf), "%s: printed to PDF (%r)" % (name, proc.stderr[-300:]))
    if not os.path.isfile(pdf):
        return
    pages = page_texts(pdf)
    check(all(landscape for landscape, _ in pages), "%s: every page landscape" % name)
    # The segment sheet's pages come first; the Analysis sheet's begin with its heading.
    sheet1 = []
    for _, text in pages:
        if "Post-editing analysis" in text:
            break
        sheet1.append(text)
    if name == "long":
        check(len(sheet1) >= 2, "%s: the segment sheet takes several pages (%d)" % (name, len(sheet1)))
    for i, text in enumerate(sheet1):
        check("Source text:" in text and "Notes:" in text and "ED, %" in text,
              "%s page %d: the whole caption row, first column to last" % (name, i + 1))


def main():
    if MODE == "reader":
        try:
            import openpyxl  # noqa: F401
        except ImportError:
            skip("the workbook library openpyxl is missing (Debian python3-openpyxl)")
    elif MODE == "print":
        for tool, package in (("soffice", "libreoffice-calc-nogui"), ("pdfinfo", "poppler-utils"),
                              ("pdftotext", "poppler-utils")):
            if not shutil.which(tool):
                skip("%s is missing (Debian %s)" % (tool, package))
    else:
        sys.exit("mode must be reader or print")
    if not os.path.isdir(CORPUS):
        skip("corpus folder missing: %s" % CORPUS)
    work = tempfile.mkdtemp(prefix="lexmora-xlsx-setup-")
    try:
        for report in write_reports(work):
            if MODE == "reader":
                check_reader(report)
            else:
                check_print(report, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return checks.close_checks()


if __name__ == "__main__":
    sys.exit(main())
