#!/usr/bin/env python3
"""End-to-end runs of lexmora-compare for the post-editing analysis and the pairing audit.

Usage: analysis_end_to_end.py BINARY EXAMPLES_DIR
Writes small SDLXLIFF documents with removed units, added units, duplicate ids and a language
pair found only on the edited side, and checks the JSON, the HTML section, the label rows and the
"Analysis" worksheet (opened with openpyxl).
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.dom.minidom
from xml.sax.saxutils import escape

from checks import check, close_checks

BINARY, EXAMPLES = sys.argv[1], sys.argv[2]


def sdlxliff(path, src, trg, units):
    """units: (unit id, source text, target text); texts are plain."""
    body = "".join(
        '<trans-unit id="%s"><source>%s</source><seg-source><mrk mtype="seg" mid="1">%s</mrk></seg-source>'
        '<target><mrk mtype="seg" mid="1">%s</mrk></target>'
        '<sdl:seg-defs><sdl:seg id="1" conf="Translated" origin="interactive"/></sdl:seg-defs></trans-unit>\n'
        % (u, escape(s), escape(s), escape(t)) for u, s, t in units)
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<xliff xmlns:sdl="http://sdl.com/FileTypes/SdlXliff/1.0" '
                'xmlns="urn:oasis:names:tc:xliff:document:1.2" version="1.2" sdl:version="1.0">\n'
                '<file original="a.docx" datatype="x-sdlfilterframework2" source-language="%s" target-language="%s">\n'
                '<header/><body>\n%s</body></file></xliff>\n' % (src, trg, body))


def run(args, out):
    proc = subprocess.run([BINARY, "-q", "--json", "-o", out] + args, capture_output=True, timeout=240,
                          stdin=subprocess.DEVNULL)
    summary = json.loads(proc.stdout.decode("utf-8")) if proc.stdout else None
    return proc, summary


def keyed(entries):
    return sorted((e["unit_id"], e["target_lang"], e.get("side"), e["row"]) for e in entries)


def html_of(summary, index=0):
    with open(summary["pairs"][index]["report"], "rb") as f:
        raw = f.read()
    xml.dom.minidom.parseString(raw)  # raises when the page is no longer well-formed
    return raw.decode("utf-8-sig")


def label_rows(page):
    return re.findall(r'<td colspan="6" style="background-color: #eee;[^"]*">\r\n(.*?)\r\n</td>', page)


def main():
    work = tempfile.mkdtemp(prefix="lexmora_analysis_")
    try:
        os.environ["HOME"] = work
        src, ed = os.path.join(work, "before"), os.path.join(work, "after")
        os.makedirs(src)
        os.makedirs(ed)
        sdlxliff(os.path.join(src, "manual.sdlxliff"), "en-US", "de-DE", [
            ("u1", "The pump starts.", "Die Pumpe startet."),
            ("u2", "Press the red button.", "Drücken Sie die rote Taste."),
            ("u3", "Removed later.", "Später entfernt."),
            ("u4", "Clean the filter.", "Reinigen Sie den Filter."),
            ("u5", "Also removed.", "Auch entfernt."),
        ])
        sdlxliff(os.path.join(ed, "manual.sdlxliff"), "en-US", "de-DE", [
            ("u1", "The pump starts.", "Die Pumpe startet."),
            ("u2", "Press the red button.", "Drücken Sie den roten Knopf."),
            ("u4", "Clean the filter.", "Reinigen Sie das Filter."),
            ("u6", "Added by the editor.", "Vom Redakteur hinzugefügt."),
            ("u2", "Press the red button.", "Zweite Fassung."),
        ])
        sdlxliff(os.path.join(ed, "manual_fr.sdlxliff"), "en-US", "fr-FR", [
            ("f1", "Only edited.", "Seulement révisé."),
        ])
        out = os.path.join(work, "Results")
        sides = ["-s", os.path.join(src, "manual.sdlxliff"), "-e", os.path.join(ed, "manual.sdlxliff"),
                 "-e", os.path.join(ed, "manual_fr.sdlxliff")]
        proc, s = run(sides, out)
        check(proc.returncode == 0 and s is not None, "audit run: exit 0 with JSON (%r)" % proc.stderr[-300:])
        if s:
            check(len(s["pairs"]) == 1, "audit run: one report (the French pair is only on the edited side)")
            pair = s["pairs"][0]
            audit = s["audit"]
            # Rows: u2 (1), u3 (2), u4 (3), u5 (4); u1 is identical and hidden.
            check(keyed(audit["missing_in_edited"]) == [("u3", "de-DE", None, 2), ("u5", "de-DE", None, 4)],
                  "missing_in_edited names u3 and u5 with their rows: %r" % audit["missing_in_edited"])
            only = audit["only_in_edited"]
            check(keyed(only) == [("f1", "fr-FR", None, None), ("u6", "de-DE", None, None)],
                  "only_in_edited names the added unit and the French one: %r" % only)
            check(sorted(e["edited_text"] for e in only) == ["Seulement révisé.", "Vom Redakteur hinzugefügt."],
                  "only_in_edited carries the edited text")
            check(keyed(audit["duplicate_ids"]) == [("u2", "de-DE", "edited", None)],
                  "duplicate_ids names the second u2 of the edited side: %r" % audit["duplicate_ids"])
            user_doc = os.path.join(src, "manual.sdlxliff")
            check(all(e["document"] == user_doc for e in audit["missing_in_edited"]),
                  "audit entries name the user's path")
            check(all(set(e) >= {"document", "unit_id", "segment_id", "source_lang", "target_lang", "row"}
                      for lst in audit.values() for e in lst), "audit entries have every field")
            bands = {b["band"]: b for b in pair["bands"]}
            check([b["band"] for b in pair["bands"]] == ["100", "95-99", "85-94", "75-84", "50-74", "0-49"],
                  "default band labels")
            check(bands["100"]["segments"] == 1 and bands["100"]["words"] == 3 and bands["100"]["characters"] == 16,
                  "the hidden identical segment is in band 100 with 3 words, 16 characters: %r" % bands["100"])
            check(bands["0-49"]["segments"] >= 2, "segments without counterpart are in the lowest band")
            check(sum(b["segments"] for b in pair["bands"]) == pair["total"] == 5, "bands hold every segment")
            check(pair["documents"] == [{"document": user_doc, "segments": 5, "edited": 4,
                                         "edit_distance": pair["edit_distance"], "metrics": pair["metrics"]}],
                  "one document with the pair's totals: %r" % pair["documents"])
            page = html_of(s)
            check(label_rows(page) == [escape(user_doc) + " (en-US &gt; de-DE)"],
                  "the label row names the user's file: %r" % label_rows(page))
            check("lexmora-compare-" not in page, "no working copy in the page")
            tail = page[page.index('<div class="analysis">'):]
            for text in ("Post-editing analysis", "Pairing audit", "missing in the edited files",
                         "only in the edited files", "identity occurs again", "Seulement révisé."):
                check(text in tail, "HTML section shows %r" % text)
            check("Every segment was paired." not in page, "an audit with findings does not claim all paired")
            section = tail[:tail.index("<script>")]
            check("<script" not in section and "http://" not in tail and "https://" not in tail,
                  "the section needs nothing from outside")
            check(page.count("<script") == 1 and "<script>" in page, "the page's one script is inline")

        # Everything paired: the audit says so; custom bands reach down below their last bound.
        proc, s = run(["-s", os.path.join(src, "manual.sdlxliff"), "-e", os.path.join(src, "manual.sdlxliff"),
                       "--bands", "100,95,85,75,50", "--show-identical"], out)
        check(proc.returncode == 0 and s is not None, "paired run: exit 0")
        if s:
            check(all(not v for v in s["audit"].values()), "paired run: empty audit")
            check([b["band"] for b in s["pairs"][0]["bands"]] == ["100", "95-99", "85-94", "75-84", "\u226474"],
                  "custom band labels: %r" % [b["band"] for b in s["pairs"][0]["bands"]])
            check("Every segment was paired." in html_of(s), "empty audit: 'Every segment was paired.'")

        for bad in ["100,100", "50,60", "101", "-5", "abc", "100,,0", "", "95.5"]:
            proc = subprocess.run([BINARY, "-q", "-o", out] + sides + ["--bands=" + bad],
                                  capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
            check(proc.returncode == 2 and b"band" in proc.stderr, "--bands=%r is a usage error" % bad)

        # A package document: the label row and the documents name the package and the path inside.
        pkg_src = os.path.join(EXAMPLES, "sdl-package", "before", "CM-200_Spare_Parts.sdlppx")
        pkg_ed = os.path.join(EXAMPLES, "sdl-package", "after", "CM-200_Spare_Parts.sdlrpx")
        proc, s = run(["-s", pkg_src, "-e", pkg_ed, "--show-identical"], out)
        check(proc.returncode == 0 and s is not None, "package run: exit 0")
        if s:
            de = [p for p in s["pairs"] if p["target_lang"].lower() == "de-de"][0]
            want = os.path.abspath(pkg_src) + " (de-DE/Spare_Parts.docx.sdlxliff)"
            check([d["document"] for d in de["documents"]] == [want], "package document named: %r" % de["documents"])
            page = html_of(s, s["pairs"].index(de))
            check(label_rows(page) == [escape(want) + " (en-US &gt; de-DE)"], "package label row: %r" % label_rows(page))

        # The workbook's second sheet holds numbers, named in the interface language.
        try:
            import openpyxl
        except ImportError:
            check(False, "python3-openpyxl is installed")
            return close_checks()
        for lang, name in (("en", "Analysis"), ("ru", "Анализ")):
            proc, s = run(sides + ["-f", "xlsx", "--lang", lang], out)
            check(proc.returncode == 0 and s is not None, "xlsx %s: exit 0" % lang)
            if not s:
                continue
            book = openpyxl.load_workbook(s["reports"][0])
            check(len(book.sheetnames) == 2 and book.sheetnames[1] == name, "sheets: %r" % book.sheetnames)
            sheet = book[book.sheetnames[1]]
            rows = [[c.value for c in r] for r in sheet.iter_rows()]
            labelled = [r for r in rows if r and r[0] in ("100", "95-99", "85-94", "75-84", "50-74", "0-49")]
            # The band table first, then the metrics by band.
            band_rows, metric_rows = labelled[:6], labelled[6:]
            check(len(labelled) == 12, "six band rows in each of two tables: %r" % labelled)
            check(all(isinstance(v, (int, float)) for r in band_rows for v in r[1:8]), "band counts are numbers")
            by = {r[0]: r for r in band_rows}
            pair = s["pairs"][0]
            for b in pair["bands"]:
                check(by[b["band"]][1:4] == [b["segments"], b["words"], b["characters"]],
                      "%s: sheet row %s agrees with the JSON" % (lang, b["band"]))
            for b, r in zip(pair["bands"], metric_rows):
                m = b["metrics"]
                check(r[0] == b["band"] and r[1] == b["words"]
                      and r[2:5] == [round(m["ter"], 1), round(m["chrf"], 1), round(m["word_edit_distance"], 1)],
                      "%s: metrics row %s agrees with the JSON: %r %r" % (lang, b["band"], r, m))
            doc_rows = [r for r in rows if r and r[0] == os.path.join(src, "manual.sdlxliff")]
            check(len(doc_rows) == 2 and doc_rows[0][1] == 5 and doc_rows[0][2] == 4
                  and isinstance(doc_rows[0][3], (int, float)), "document row with numbers: %r" % doc_rows)
            dm = pair["documents"][0]["metrics"]
            check(len(doc_rows) == 2 and doc_rows[1][1] == 5 and doc_rows[1][2] == round(dm["ter"], 1),
                  "document metrics row agrees with the JSON: %r %r" % (doc_rows, dm))
            audit_rows = [r for r in rows if r and r[2] in ("u3", "u5", "u6", "f1", "u2")]
            check(len(audit_rows) == 5, "five audit rows: %r" % audit_rows)
            check(sorted(r[6] for r in audit_rows if isinstance(r[6], int)) == [2, 4], "rows of missing segments")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return close_checks()


if __name__ == "__main__":
    sys.exit(main())
