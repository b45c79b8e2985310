#!/usr/bin/env python3
"""End-to-end runs of the lexmora-compare binary on fixture files and on the shared corpus.

Usage: end_to_end.py BINARY TEST_DATA_DIR CORPUS_DIR
Every report must parse as XML (it is XHTML), the JSON summary must describe what was written,
and the exit status must match the outcome.
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import xml.dom.minidom
import zipfile

from checks import FAILURES, check, close_checks

BINARY, DATA, CORPUS = sys.argv[1], sys.argv[2], sys.argv[3]


def run(args, out_dir):
    proc = subprocess.run([BINARY, "-q", "--json", "-o", out_dir] + args, capture_output=True, timeout=240,
                          stdin=subprocess.DEVNULL)
    summary = None
    if proc.stdout:
        try:
            summary = json.loads(proc.stdout.decode("utf-8"))
        except ValueError as e:
            FAILURES.append("JSON does not parse (%s): %r" % (e, proc.stdout[:300]))
    return proc, summary


def check_reports(summary, name):
    for report in summary["reports"]:
        check(os.path.isabs(report) and os.path.isfile(report), "%s: report %s exists" % (name, report))
        if report.endswith(".html"):
            with open(report, "rb") as f:
                raw = f.read()
            check(raw.startswith(b"\xef\xbb\xbf"), "%s: report starts with a BOM" % name)
            try:
                doc = xml.dom.minidom.parseString(raw)
                check(doc.documentElement.tagName == "html", "%s: root element is html" % name)
            except Exception as e:  # noqa: BLE001 - any parse failure is the finding
                check(False, "%s: %s parses as XML: %s" % (name, report, e))
        else:
            check(zipfile.is_zipfile(report), "%s: %s is a ZIP package" % (name, report))
    for pair in summary["pairs"]:
        check(set(pair) == {"source_lang", "target_lang", "total", "edited", "edit_distance", "written", "report",
                            "metrics", "bands", "documents"}, "%s: pair keys" % name)
        check(pair["written"] == (pair["report"] is not None) and (not pair["written"] or pair["report"] in summary["reports"]),
              "%s: a pair's report is named when written and listed" % name)
        check(0 <= pair["edited"] <= pair["total"], "%s: edited within total" % name)
        # The analysis accounts for every segment of the pair, once.
        check(sum(b["segments"] for b in pair["bands"]) == pair["total"], "%s: bands add up to the total" % name)
        check(all(0 <= b["no_match_segments"] <= b["segments"] and 0 <= b["no_match_words"] <= b["words"]
                  and b["words"] <= b["characters"] for b in pair["bands"]), "%s: band columns are consistent" % name)
        check(sum(d["segments"] for d in pair["documents"]) == pair["total"], "%s: documents add up" % name)
        check(sum(d["edited"] for d in pair["documents"]) == pair["edited"], "%s: edited documents add up" % name)
        # Corpus figures come from summed statistics: bands and documents add up to the pair.
        for key in ("ter_edits", "reference_words"):
            for part in ("bands", "documents"):
                check(sum(x["metrics"][key] for x in pair[part]) == pair["metrics"][key],
                      "%s: %s of the %s add up" % (name, key, part))
        m = pair["metrics"]
        check(0 <= m["chrf"] <= 100 and m["ter"] >= 0 and m["word_edit_distance"] <= 100, "%s: metrics in range" % name)
        if pair["edited"] == 0:
            check(m["ter"] == 0 and m["word_edit_distance"] == 100, "%s: an unedited pair measures no edits" % name)
    for error in summary["errors"]:
        check(set(error) == {"side", "path", "document", "message", "reason"}, "%s: error keys" % name)
    audit = summary["audit"]
    check(set(audit) == {"missing_in_edited", "only_in_edited", "duplicate_ids"}, "%s: audit keys" % name)


def main():
    if not os.path.isdir(os.path.join(CORPUS, "sdlxliff")):
        print("FAIL: the shared corpus is missing at", CORPUS)
        return 1
    work = tempfile.mkdtemp(prefix="lexmora_e2e_")
    try:
        src = os.path.join(DATA, "run", "source", "three_units_en-US_de-DE.sdlxliff")
        ed = os.path.join(DATA, "run", "edited", "three_units_en-US_de-DE.sdlxliff")

        # A fixture pair, in every tag mode and both languages.
        for extra in ([], ["--show-identical", "--tags", "full"], ["--tags", "id", "--lang", "ru"],
                      ["--tags", "none", "--no-highlight", "--ignore-nbsp"]):
            proc, s = run(["-s", src, "-e", ed] + extra, os.path.join(work, "fixture"))
            name = "fixture %s" % " ".join(extra)
            check(proc.returncode == 0, "%s: exit 0, got %d: %s" % (name, proc.returncode, proc.stderr[-300:]))
            if s:
                check(s["result"] == "ok" and len(s["reports"]) == 1 and s["errors"] == [], name + ": summary")
                check(s["pairs"][0]["total"] == 3 and s["pairs"][0]["edited"] == 2, name + ": counts")
                check(s["pairs"][0]["source_lang"] == "en-US" and s["pairs"][0]["target_lang"] == "de-DE",
                      name + ": languages")
                check_reports(s, name)
        # No two runs ever share a report name.
        names = os.listdir(os.path.join(work, "fixture"))
        check(len(names) == 4 and all(n.endswith("_en-US_de-DE.html") for n in names), "four distinct reports")

        # Two runs started together into one folder do not disturb each other.
        both = os.path.join(work, "both")
        procs = [subprocess.Popen([BINARY, "-q", "--json", "-o", both, "-s", src, "-e", ed],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE) for _ in range(2)]
        outs = [json.loads(p.communicate(timeout=120)[0]) for p in procs]
        check(all(p.returncode == 0 for p in procs), "concurrent runs exit 0")
        reports = [o["reports"][0] for o in outs]
        check(reports[0] != reports[1] and all(os.path.isfile(r) for r in reports), "concurrent runs: two reports")
        check(sorted(os.listdir(both)) == sorted(os.path.basename(r) for r in reports), "no leftovers")

        # Bad usage and an unreadable input.
        proc = subprocess.run([BINARY, "-s", src], capture_output=True)
        check(proc.returncode == 2 and b"Usage:" in proc.stderr and not proc.stdout, "missing -e gives 2")
        proc, s = run(["-s", os.path.join(DATA, "run", "source", "truncated_document.sdlxliff"), "-e", ed],
                      os.path.join(work, "bad"))
        check(proc.returncode == 1 and s and s["result"] == "create-diff-file-error" and len(s["errors"]) == 1,
              "unreadable source gives 1 with one error line")
        if s and s["errors"]:
            e = s["errors"][0]
            check(e["side"] == "source" and e["path"].endswith("truncated_document.sdlxliff") and
                  e["reason"].startswith("not well-formed XML at line "), "unreadable source: path and reason %s" % e)

        # The XLSX format through the same run.
        proc, s = run(["-s", src, "-e", ed, "-f", "xlsx"], os.path.join(work, "xlsx"))
        check(proc.returncode == 0 and s and s["reports"][0].endswith(".xlsx"), "xlsx report")
        if s:
            check_reports(s, "xlsx")

        # The bundled examples that `make run` compares.
        examples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
        args = []
        for side, flag in (("before", "-s"), ("after", "-e")):
            for f in sorted(os.listdir(os.path.join(examples, side))):
                if f.endswith(".sdlxliff"):
                    args += [flag, os.path.join(examples, side, f)]
        proc, s = run(args + ["--tags", "full"], os.path.join(work, "examples"))
        check(proc.returncode == 0 and s, "examples compare")
        if s:
            got = [(p["target_lang"], p["total"], p["edited"]) for p in s["pairs"]]
            check(got == [("de-DE", 12, 8), ("fr-FR", 6, 3)], "examples: pairs %r" % got)
            check_reports(s, "examples")

        # Real third-party documents: each against itself (nothing edited) ...
        corpus = sorted(os.path.join(CORPUS, "sdlxliff", f) for f in os.listdir(os.path.join(CORPUS, "sdlxliff"))
                        if f.endswith(".sdlxliff"))
        check(len(corpus) >= 10, "corpus has SDLXLIFF documents")
        for doc in corpus:
            name = "corpus self " + os.path.basename(doc)
            proc, s = run(["-s", doc, "-e", doc, "--show-identical", "--tags", "full"], os.path.join(work, "self"))
            check(proc.returncode in (0, 1), "%s: exit %d" % (name, proc.returncode))
            if s:
                if proc.returncode == 0:
                    check(all(p["edited"] == 0 for p in s["pairs"]), name + ": nothing edited")
                    check(all(p["edit_distance"] in ("", "100%") for p in s["pairs"]), name + ": ED 100%")
                check_reports(s, name)
        # ... and all of them at once, every tag mode shown in full.
        args = []
        for doc in corpus:
            args += ["-s", doc, "-e", doc]
        proc, s = run(args + ["--tags", "full", "--show-identical"], os.path.join(work, "all"))
        check(proc.returncode == 0 and s and len(s["reports"]) == len(s["pairs"]) >= 5, "whole corpus in one run")
        if s:
            check_reports(s, "whole corpus")
        # Two versions of one source document with different unit ids: nothing pairs up.
        a = os.path.join(CORPUS, "sdlxliff", "SamplePhotoPrinter.doc.sdlxliff")
        b = os.path.join(CORPUS, "sdlxliff", "TS09-12-Test01.sdlxliff")
        if os.path.isfile(a) and os.path.isfile(b):
            proc, s = run(["-s", a, "-e", b], os.path.join(work, "versions"))
            check(proc.returncode == 0 and s, "different versions compare")
            if s:
                check_reports(s, "versions")

        # Ctrl-C while the documents are read: status 3, no report, no reservation left behind.
        big = os.path.join(work, "big")
        gen = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "make_sdlxliff_pair.py")
        pair = subprocess.run([sys.executable, gen, big, "20000"], capture_output=True, check=True,
                              text=True).stdout.split()
        out = os.path.join(work, "stopped")
        proc = subprocess.Popen([BINARY, "-o", out, "-s", pair[0], "-e", pair[1]], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        proc.stderr.readline()  # the run has started
        proc.send_signal(signal.SIGINT)
        stdout, stderr = proc.communicate(timeout=120)
        check(proc.returncode == 3, "Ctrl-C gives 3, got %d: %s" % (proc.returncode, stderr[-200:]))
        check(b"interrupted" in stderr and not stdout, "Ctrl-C: message and no report path")
        check(os.listdir(out) == [], "Ctrl-C: output folder left empty")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return close_checks()


if __name__ == "__main__":
    sys.exit(main())
