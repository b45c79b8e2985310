#!/usr/bin/env python3
"""XLSX reports of the real binary opened in LibreOffice Calc (headless), checked as a user sees them.

Usage: xlsx_calc_check.py BINARY EXAMPLES_DIR CORPUS_DIR XLSX_DUMP_SCRIPT

Reports of the bundled examples and of a corpus document against a copy whose translations are
replaced by the source texts (a mark in almost every character) are loaded in Calc. For each:
- values: Calc's CSV export holds every cell text the workbook library reads from the file;
- fonts: every text portion Calc shows in a segment row has the cell's face and size, and the
  red and blue portions are exactly the file's changed runs;
- rows: no row is lower than the height Calc itself needs to show its wrapped texts whole (for a
  merged label or totals row, measured on a cell as wide as the merged range), and none is more
  than about twice as high.
Calc runs with a profile folder of its own and under a time limit, so tests never share or hang it.
"""
import csv
import importlib.util
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import checks
from checks import check

BINARY, EXAMPLES, CORPUS, DUMP = sys.argv[1:5]
spec = importlib.util.spec_from_file_location("xlsx_dump", DUMP)
xlsx_dump = importlib.util.module_from_spec(spec)
spec.loader.exec_module(xlsx_dump)

TIME_LIMIT = 240  # seconds for the whole check, Calc included
MANY_MARKS_DOCUMENT = "sdlxliff/Configuring_Spelling_Checker.doc.sdlxliff"
FONT, SIZE = "Arial", 14.0
RED, BLUE = 0xFF0000, 0x0000FF
SLACK = 40          # 1/100 mm a row may lack against Calc's own measure (rounding of both)
TOO_TALL = 2.2      # rows above this many times Calc's measure (plus one line) waste the page
LINE = 640          # one line of the font, in 1/100 mm


def fail_now(message):
    print("FAIL:", message)
    sys.exit(1)


try:
    import uno  # noqa: E402  (the system python carries LibreOffice's bridge)
    from com.sun.star.beans import PropertyValue  # noqa: E402
except ImportError:
    fail_now("the LibreOffice Python bridge (python3-uno) is missing; scripts/install-deps.sh installs it")


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


class Calc:
    """A headless Calc of its own: private profile, private pipe, killed when done."""

    def __init__(self, work):
        soffice = shutil.which("soffice")
        if not soffice:
            fail_now("soffice not found; scripts/install-deps.sh installs libreoffice-calc-nogui")
        profile = os.path.join(work, "calc-profile")
        self.pipe = "lexmora-calc-%d-%d" % (os.getpid(), int(time.time() * 1000) % 100000)
        self.proc = subprocess.Popen(
            [soffice, "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--headless", "--invisible",
             "--nologo", "--norestore", "--nodefault", "--accept=pipe,name=%s;urp;" % self.pipe],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.time() + 90
        while True:
            try:
                ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % self.pipe)
                break
            except Exception:  # noqa: BLE001 - not listening yet
                if time.time() > deadline or self.proc.poll() is not None:
                    self.close()
                    fail_now("Calc did not start")
                time.sleep(0.3)
        self.desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)

    def load(self, path):
        return self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0,
                                                 (prop("Hidden", True), prop("ReadOnly", False)))

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:  # noqa: BLE001 - the bridge goes down with the process
            pass
        try:
            self.proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()


def run_compare(sources, edited, out_dir, extra=()):
    args = [BINARY, "-q", "--json", "-f", "xlsx", "-o", out_dir] + list(extra)
    for path in sources:
        args += ["-s", path]
    for path in edited:
        args += ["-e", path]
    proc = subprocess.run(args, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
    check(proc.returncode == 0, "%s: exit status %s, %r" % (out_dir, proc.returncode, proc.stderr[-300:]))
    summary = json.loads(proc.stdout.decode("utf-8")) if proc.returncode == 0 else {"reports": []}
    return summary["reports"]


def source_as_translation(document, out_path):
    """The document with every target segment holding its source segment's markup."""
    with open(document, encoding="utf-8-sig") as f:
        text = f.read()
    seg = re.compile(r'<mrk mtype="seg" mid="([^"]+)">(.*?)</mrk>', re.S)
    sources = {}
    for unit in re.finditer(r"<seg-source>(.*?)</seg-source>", text, re.S):
        for m in seg.finditer(unit.group(1)):
            sources[m.group(1)] = m.group(2)

    def in_target(match):
        return seg.sub(lambda m: '<mrk mtype="seg" mid="%s">%s</mrk>' % (m.group(1), sources.get(m.group(1), m.group(2))),
                       match.group(0))

    changed = re.sub(r"<target>.*?</target>", in_target, text, flags=re.S)
    check(changed != text, "many-marks copy differs from %s" % document)
    with open(out_path, "w", encoding="utf-8") as f:
        f.write(changed)


def portions(cell):
    """(text, font, size, colour) of every text portion Calc shows in a cell."""
    out = []
    paragraphs = cell.Text.createEnumeration()
    while paragraphs.hasMoreElements():
        parts = paragraphs.nextElement().createEnumeration()
        while parts.hasMoreElements():
            p = parts.nextElement()
            if p.String:
                out.append((p.String, p.CharFontName, p.CharHeight, p.CharColor & 0xFFFFFF if p.CharColor != -1 else -1))
    return out


def csv_rows(doc, work, name):
    path = os.path.join(work, name + ".csv")
    doc.storeToURL(uno.systemPathToFileUrl(path),
                   (prop("FilterName", "Text - txt - csv (StarCalc)"), prop("FilterOptions", "44,34,76,1")))
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.reader(f))


def needed_height(doc, probe, cell, width):
    """Calc's own height for the cell's text in a cell of the given width (1/100 mm)."""
    target = probe.getCellByPosition(0, 0)
    target.setString(cell.getString())
    for name in ("CharFontName", "CharHeight", "CharWeight", "IsTextWrapped"):
        target.setPropertyValue(name, cell.getPropertyValue(name))
    probe.Columns.getByIndex(0).Width = width
    row = probe.Rows.getByIndex(0)
    row.OptimalHeight = True
    return row.Height


def check_report(calc, path, work, name):
    report = xlsx_dump.read_report(path)
    merged = set(report["merged"])
    cells, runs = report["cells"], report["runs"]
    caption_row = next((int(ref[1:]) for ref, v in cells.items() if ref[0] == "A" and v == "No"), None)
    check(caption_row is not None, "%s: caption row" % name)
    if caption_row is None:
        return
    doc = calc.load(path)
    try:
        sheet = doc.Sheets.getByIndex(0)
        # Values: what Calc exports is what the file holds (line ends as Calc writes them).
        rows = csv_rows(doc, work, name)
        for ref, value in cells.items():
            col, row = ord(ref[0]) - ord("A"), int(ref[1:]) - 1
            shown = rows[row][col] if row < len(rows) and col < len(rows[row]) else None
            want = xlsx_dump.decode(value).replace("\r\n", "\n").replace("\r", "\n")
            check(shown is not None and shown.replace("\r\n", "\n") == want,
                  "%s %s: Calc shows %r, the file holds %r" % (name, ref, shown, want))

        # Fonts and colours of the segment rows as Calc shows them.
        segment_rows = [r for r in range(caption_row + 1, report["max_row"] + 1) if cells.get("A%d" % r, "").isdigit()]
        for r in segment_rows:
            for col in "CDE":
                cell = sheet.getCellRangeByName("%s%d" % (col, r))
                shown = portions(cell)
                where = "%s %s%d" % (name, col, r)
                for text, font, size, _ in shown:
                    check(font == FONT and size == SIZE, "%s: %r shown in %s %s" % (where, text, font, size))
                for colour, code in (("FFFF0000", RED), ("FF0000FF", BLUE)):
                    want = "".join(t for c, t in runs.get("%s%d" % (col, r), []) if c == colour)
                    got = "".join(t for t, _, _, c in shown if c == code)
                    check(got.replace("\n", "") == want.replace("\r", "").replace("\n", ""),
                          "%s: %s portions %r, file runs %r" % (where, colour, got, want))

        # Row heights against Calc's own measure of the texts.
        probe_name = "lexmora-probe"
        doc.Sheets.insertNewByName(probe_name, doc.Sheets.Count)
        probe = doc.Sheets.getByName(probe_name)
        widths = [sheet.Columns.getByIndex(c).Width for c in range(7)]
        for r in range(2, report["max_row"] + 1):
            row_height = sheet.Rows.getByIndex(r - 1).Height
            need = 0
            for c in range(7):
                ref = "%s%d" % (chr(ord("A") + c), r)
                if ref not in cells:
                    continue
                span = next((m for m in merged if m.startswith(ref + ":")), None)
                last = ord(span.split(":")[1][0]) - ord("A") if span else c
                need = max(need, needed_height(doc, probe, sheet.getCellByPosition(c, r - 1), sum(widths[c:last + 1])))
            if need == 0:
                continue
            check(row_height + SLACK >= need, "%s row %d: %d high, its text needs %d (cut off)" % (name, r, row_height, need))
            check(row_height <= need * TOO_TALL + LINE, "%s row %d: %d high for %d of text" % (name, r, row_height, need))
        return len(segment_rows)
    finally:
        doc.close(True)


def main():
    if not os.path.isdir(CORPUS):
        sys.exit("corpus folder missing: %s" % CORPUS)
    def out_of_time(*_):
        raise TimeoutError("no result within %d s" % TIME_LIMIT)

    # A hang ends the test (and the Calc it started) instead of running into the ctest time-out.
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(TIME_LIMIT)
    work = tempfile.mkdtemp(prefix="lexmora-calc-")
    calc = None
    try:
        reports = []
        for sub in ("", "memoq", "memsource", "sdl-package"):
            base = os.path.join(EXAMPLES, sub)
            before = sorted(os.path.join(base, "before", f) for f in os.listdir(os.path.join(base, "before")))
            after = sorted(os.path.join(base, "after", f) for f in os.listdir(os.path.join(base, "after")))
            reports += run_compare(before, after, os.path.join(work, "examples-" + (sub or "sdlxliff")),
                                   ["--tags", "full"])
        marked = os.path.join(work, "marked", os.path.basename(MANY_MARKS_DOCUMENT))
        os.makedirs(os.path.dirname(marked))
        source_as_translation(os.path.join(CORPUS, MANY_MARKS_DOCUMENT), marked)
        reports += run_compare([os.path.join(CORPUS, MANY_MARKS_DOCUMENT)], [marked], os.path.join(work, "many-marks"))
        check(len(reports) >= 6, "reports written: %s" % reports)
        calc = Calc(work)
        for i, path in enumerate(reports):
            rows = check_report(calc, path, work, "report%d-%s" % (i, os.path.basename(os.path.dirname(path))))
            print("checked %s: %s segment rows" % (path, rows))
    finally:
        if calc:
            calc.close()
        signal.alarm(0)
        shutil.rmtree(work, ignore_errors=True)
    return checks.close_checks()


if __name__ == "__main__":
    sys.exit(main())
