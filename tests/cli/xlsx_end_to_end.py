#!/usr/bin/env python3
"""The lexmora-compare binary writing XLSX reports, opened with a real spreadsheet reader.

Usage: xlsx_end_to_end.py BINARY EXAMPLES_DIR CORPUS_DIR XLSX_DUMP_SCRIPT
For the bundled examples, the before/after pairs of the shared corpus and every corpus document
compared with itself: every report opens, its totals agree with the JSON summary, one row per
shown segment, label rows merged, and in every segment row the unchanged text of the translated
cell equals the unchanged text of the edited cell (red only in the one, blue only in the other).
Two processes writing into one folder at the same moment must both succeed.
"""
import importlib.util
import json
import os
import subprocess
import sys
import tempfile

BINARY, EXAMPLES, CORPUS, DUMP = sys.argv[1:5]
spec = importlib.util.spec_from_file_location("xlsx_dump", DUMP)
xlsx_dump = importlib.util.module_from_spec(spec)
spec.loader.exec_module(xlsx_dump)

FAILURES = []
COUNTS = {"reports": 0, "rows": 0, "coloured rows": 0}
RED, BLUE = "FFFF0000", "FF0000FF"


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def command(sources, edited, out_dir, extra=()):
    args = [BINARY, "-q", "--json", "-f", "xlsx", "-o", out_dir] + list(extra)
    for path in sources:
        args += ["-s", path]
    for path in edited:
        args += ["-e", path]
    return args


def reader_missing(proc):
    # A format whose reader this build does not have yet is reported, not failed.
    return proc.returncode != 0 and b"Processor of the indicated" in proc.stderr


def summary_of(proc, name):
    check(proc.returncode == 0, "%s: exit status %s, stderr %r" % (name, proc.returncode, proc.stderr[-300:]))
    try:
        return json.loads(proc.stdout.decode("utf-8"))
    except ValueError:
        check(False, "%s: JSON summary" % name)
        return None


def run(name, sources, edited, out_dir, extra=()):
    proc = subprocess.run(command(sources, edited, out_dir, extra), capture_output=True, timeout=240,
                          stdin=subprocess.DEVNULL)
    if reader_missing(proc):
        print("SKIP: %s: no reader for this format in this build" % name)
        return None
    if proc.returncode == 1:
        try:
            summary = json.loads(proc.stdout.decode("utf-8"))
        except ValueError:
            summary = None
        # A document without segments (or one its reader refuses) gives no language pair, so no
        # report: a failed run by design, and the readers' tests judge the reading.
        if summary and summary["pairs"] == [] and summary["reports"] == []:
            print("NOTE: %s: no segments read, no report %s" % (name, summary["errors"]))
            return None
    return summary_of(proc, name)


def row_of(report, caption):
    for ref, value in report["cells"].items():
        if ref[0] == "A" and value == caption:
            return int(ref[1:])
    return None


def plain(runs):
    return "".join(text for colour, text in runs if colour == "-")


def check_report(name, path, pair, show_identical):
    try:
        report = xlsx_dump.read_report(path)
    except Exception as error:  # noqa: BLE001 - any failure to open is the finding
        check(False, "%s: %s opens: %s" % (name, path, error))
        return
    COUNTS["reports"] += 1
    check(len(report["parts"]) == 14 and report["parts"][8] == "[Content_Types].xml"
          and report["parts"][13] == "xl/worksheets/sheet2.xml", "%s: package parts" % name)
    cells, runs, merged = report["cells"], report["runs"], set(report["merged"])
    for caption, value in (("Total segments", str(pair["total"])), ("Number of edited segments", str(pair["edited"])),
                           ("Total Edit Distance (No Match segments only)", pair["edit_distance"])):
        row = row_of(report, caption)
        check(row is not None and cells.get("D%d" % row, "") == value,
              "%s: %s is %r" % (name, caption, value))
        check(row is not None and "A%d:C%d" % (row, row) in merged and "D%d:G%d" % (row, row) in merged,
              "%s: totals row of %s merged" % (name, caption))
    caption_row = row_of(report, "No")
    shown = 0
    if caption_row is None:
        check(pair["total"] == 0 or (pair["edited"] == 0 and not show_identical), "%s: caption row" % name)
    else:
        for row in range(caption_row + 1, report["max_row"] + 1):
            number = cells.get("A%d" % row, "")
            if not number.isdigit():
                check("A%d:G%d" % (row, row) in merged, "%s: label row %d merged" % (name, row))
                continue
            shown += 1
            COUNTS["rows"] += 1
            check(number == str(shown), "%s: row %d numbered %s" % (name, row, number))
            tr, ed = runs.get("D%d" % row, []), runs.get("E%d" % row, [])
            where = "%s row %d" % (name, row)
            check(all(colour == "-" for colour, _ in runs.get("C%d" % row, [])), where + ": source uncoloured")
            check(all(colour in ("-", RED) for colour, _ in tr), where + ": translated has no blue")
            check(all(colour in ("-", BLUE) for colour, _ in ed), where + ": edited has no red")
            check(plain(tr) == plain(ed), where + ": kept text equal on both sides")
            changed = any(colour != "-" for colour, _ in tr + ed)
            COUNTS["coloured rows"] += changed
            distance = cells.get("F%d" % row, "")
            if distance:
                check(changed == (distance != "100"), where + ": colours agree with ED %s" % distance)
    check(shown == (pair["total"] if show_identical else pair["edited"]) or caption_row is None and shown == 0,
          "%s: %d rows shown for %d/%d segments" % (name, shown, pair["edited"], pair["total"]))


def check_run(name, sources, edited, out_dir, extra=()):
    summary = run(name, sources, edited, out_dir, extra)
    if not summary:
        return None
    check(summary["result"] == "ok", "%s: result %s" % (name, summary["result"]))
    for pair in summary["pairs"]:
        check_report("%s %s>%s" % (name, pair["source_lang"], pair["target_lang"]), pair["report"], pair,
                     "--show-identical" in extra)
    left = sorted(os.listdir(out_dir))
    check(all(entry.endswith(".xlsx") for entry in left), "%s: only reports left: %s" % (name, left))
    return summary


def corpus(path):
    return os.path.join(CORPUS, path)


def main():
    if not os.path.isdir(CORPUS):
        sys.exit("corpus folder missing: %s" % CORPUS)
    work = tempfile.mkdtemp(prefix="lexmora-xlsx-e2e-")
    before = sorted(os.path.join(EXAMPLES, "before", f) for f in os.listdir(os.path.join(EXAMPLES, "before")))
    after = sorted(os.path.join(EXAMPLES, "after", f) for f in os.listdir(os.path.join(EXAMPLES, "after")))
    s = check_run("examples", before, after, os.path.join(work, "examples"))
    check(s is not None and len(s["pairs"]) == 2, "examples: two language pairs")
    check_run("examples identical shown", before, after, os.path.join(work, "examples-all"),
              ["--show-identical", "--tags", "none"])

    t5 = "translate5-"
    pairs = {
        "A": ("sdlxliff/%sBasicSegmentEditingTest_install-unix.apache2.html.sdlxliff" % t5,
              "sdlxliff/%sBasicSegmentEditingTest_export-assert.sdlxliff" % t5),
        "B": ("sdlxliff/%sSegmentCommentRoundtripTest_01-sdlxliff-en-de.sdlxliff" % t5,
              "sdlxliff/%sSegmentCommentRoundtripTest_export-assert.sdlxliff" % t5),
        "C": ("sdlxliff/%sTranslate1804Test_02-sdlxliff-en-de.sdlxliff" % t5,
              "sdlxliff/%sTranslate1804Test_export-02-sdlxliff-en-de.sdlxliff" % t5),
        "D": ("sdlxliff/%sTranslate682Test_testsamples.sdlxliff" % t5,
              "sdlxliff/%sTranslate682Test_expectedResult.sdlxliff" % t5),
        "E": ("sdlxliff/%sTranslate3966Test_FileForTest_fr-FR_en-GB.sdlxliff" % t5,
              "sdlxliff/%sTranslate3966Test_expectedResult.sdlxliff" % t5),
        "F": ("mqxliff/%sSegmentCommentRoundtripTest_02-memoq-de-en.mqxliff" % t5,
              "mqxliff/%sSegmentCommentRoundtripTest_export-assert.mqxliff" % t5),
    }
    for key, (src, ed) in sorted(pairs.items()):
        check_run("corpus pair " + key, [corpus(src)], [corpus(ed)], os.path.join(work, "pair" + key),
                  ["--show-identical"])

    # Every readable corpus document against itself: large, tag-dense and odd texts, no edits.
    documents = []
    for folder, _, files in os.walk(CORPUS):
        for f in files:
            if os.path.splitext(f)[1] in (".sdlxliff", ".mqxliff", ".mqxlz", ".mxliff", ".sdlppx"):
                documents.append(os.path.join(folder, f))
    documents.sort()
    for i, document in enumerate(documents):
        name = "corpus self " + os.path.relpath(document, CORPUS)
        summary = run(name, [document], [document], os.path.join(work, "self%d" % i), ["--show-identical"])
        if not summary:
            continue
        for pair in summary["pairs"]:
            check(pair["edited"] == 0, "%s %s>%s: nothing edited" % (name, pair["source_lang"], pair["target_lang"]))
            check_report("%s %s>%s" % (name, pair["source_lang"], pair["target_lang"]), pair["report"], pair, True)

    # Two processes, one output folder, one moment.
    shared = os.path.join(work, "shared")
    procs = [subprocess.Popen(command(before, after, shared), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              stdin=subprocess.DEVNULL) for _ in range(2)]
    reports = []
    for i, proc in enumerate(procs):
        out, err = proc.communicate(timeout=240)
        proc.stdout, proc.stderr = out, err
        s = summary_of(proc, "concurrent run %d" % i)
        if s:
            check(s["result"] == "ok", "concurrent run %d: result %s" % (i, s["result"]))
            reports += s["reports"]
    check(len(set(reports)) == 4, "concurrent runs: four distinct reports: %s" % reports)
    for report in reports:
        try:
            xlsx_dump.read_report(report)
        except Exception as error:  # noqa: BLE001
            check(False, "concurrent report %s opens: %s" % (report, error))
    left = sorted(os.listdir(shared))
    check(all(entry.endswith(".xlsx") for entry in left), "concurrent runs: only reports left: %s" % left)

    if FAILURES:
        print("%d failure(s); work folder kept: %s" % (len(FAILURES), work))
        sys.exit(1)
    subprocess.run(["rm", "-rf", work])
    print("xlsx end to end: all checks passed (%(reports)d reports, %(rows)d segment rows, "
          "%(coloured rows)d with changes)" % COUNTS)
    if COUNTS["coloured rows"] == 0:
        sys.exit("no report showed a change: the checks saw nothing")


if __name__ == "__main__":
    main()
