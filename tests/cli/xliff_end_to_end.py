#!/usr/bin/env python3
"""End-to-end runs of lexmora-compare on plain XLIFF (.xlf, .xliff) and XLIFF 2 Memsource pairs.

Usage: xliff_end_to_end.py BINARY DATA_DIR EXAMPLES_DIR
DATA_DIR holds before/ and after/ documents of XLIFF 1.2 (with and without seg-source), XLIFF 2.0
and Memsource in XLIFF 2 form. The SDL, memoQ and Memsource examples are also copied here under
.xlf names, which must read exactly as under their own extensions. Checks exit status, the JSON
summary (pairs, totals, edited counts, error lines) and the HTML reports' text.
"""
import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

from checks import check, close_checks

BINARY, DATA, EXAMPLES = sys.argv[1], sys.argv[2], sys.argv[3]


def run(name, sources, edited, out_dir, extra=()):
    args = [BINARY, "-q", "--json", "-o", out_dir] + list(extra)
    for s in sources:
        args += ["-s", s]
    for e in edited:
        args += ["-e", e]
    proc = subprocess.run(args, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
    try:
        return proc.returncode, json.loads(proc.stdout.decode("utf-8"))
    except ValueError:
        check(False, "%s: JSON summary parses (%r)" % (name, proc.stdout[:200]))
        return proc.returncode, None


def pairs_of(summary):
    return {(p["source_lang"], p["target_lang"]): (p["total"], p["edited"]) for p in summary["pairs"]}


def expect(name, sources, edited, out_dir, expected_pairs, extra=()):
    code, summary = run(name, sources, edited, out_dir, extra)
    check(code == 0, "%s: exit status 0 (got %s)" % (name, code))
    if summary:
        check(summary["errors"] == [], "%s: no error lines (%s)" % (name, summary["errors"]))
        check(pairs_of(summary) == expected_pairs, "%s: pairs %s, expected %s" % (name, pairs_of(summary), expected_pairs))
    return summary


def report_text(summary, src, trg):
    """The visible text of the HTML report of one pair."""
    for p in summary["pairs"]:
        if (p["source_lang"], p["target_lang"]) == (src, trg):
            with open(p["report"], encoding="utf-8-sig") as f:
                cells = re.sub(r"</t[dh]>", " | ", f.read())
                return html.unescape(re.sub(r"<[^>]+>", "", cells))
    return ""


def doc(side, name):
    return os.path.join(DATA, side, name)


def main():
    work = tempfile.mkdtemp(prefix="lexmora-xliff-e2e-")
    help_center = "Help_Center_en-US_de-DE.xlf"
    onboarding = "Onboarding_Tour_de-DE.xliff"
    checkout = "Checkout_Flow_en_fr.xlf"
    product = "Product_Page-en-uk-T.mxliff"

    # XLIFF 1.2: languages per file, one record per trans-unit; a target added counts as an edit.
    s = expect("1.2 without seg-source", [doc("before", help_center)], [doc("after", help_center)], os.path.join(work, "v12"),
               {("en-US", "de-DE"): (7, 3), ("en-US", "fr-FR"): (2, 1)}, ["--tags", "full"])
    if s:
        text = report_text(s, "en-US", "de-DE")
        check("Verwalten Sie" in text and "Ihr Konto" in text, "1.2: the edited segment is shown (%s)" % text[-400:])
        check('<g id="1" ctype="bold">' in text, "1.2: a g code is shown with its markup")
        check("Chatten Sie mit uns" in text, "1.2: a target added in editing is shown")
        check("Lexmora Cloud" not in text, "1.2: an unchanged segment is hidden")
    # XLIFF 1.2 with seg-source: one record per segment mark.
    expect("1.2 with seg-source", [doc("before", onboarding)], [doc("after", onboarding)], os.path.join(work, "seg"),
           {("en", "de"): (6, 2)})
    # XLIFF 2.0: several segments per unit, originalData, every inline code, translate="no".
    s = expect("2.0", [doc("before", checkout)], [doc("after", checkout)], os.path.join(work, "v2"), {("en", "fr"): (9, 4)},
               ["--tags", "full", "--show-identical"])
    if s:
        text = report_text(s, "en", "fr")
        check('<span class="card">bancaire</span>' in text, "2.0: sc/ec codes carry their original data")
        check("<b>cart</b>" in text, "2.0: a pc code gives a pair of tags")
        check("SKU-4411" in text and "VISA and Mastercard" in text, "2.0: locked segments are listed")
    # Memsource in XLIFF 2 form: scores, locks, placeholders, the 1.2 alt-trans never text.
    s = expect("Memsource XLIFF 2", [doc("before", product)], [doc("after", product)], os.path.join(work, "mx2"),
               {("en", "uk"): (4, 2)}, ["--show-identical"])
    if s:
        text = report_text(s, "en", "uk")
        check("\n75 |" in text and "\n100 |" in text, "Memsource XLIFF 2: match values from m:score")
        check(text.count("Кавомолка для еспресо") == 2, "Memsource XLIFF 2: the alt-trans is no segment text")
    # All four at once, and as an XLSX workbook.
    all_pairs = {("en-US", "de-DE"): (7, 3), ("en-US", "fr-FR"): (2, 1), ("en", "de"): (6, 2), ("en", "fr"): (9, 4),
                 ("en", "uk"): (4, 2)}
    names = [help_center, onboarding, checkout, product]
    expect("all together", [doc("before", n) for n in names], [doc("after", n) for n in names], os.path.join(work, "all"),
           all_pairs)
    s = expect("all together as XLSX", [doc("before", n) for n in names], [doc("after", n) for n in names],
               os.path.join(work, "all-xlsx"), all_pairs, ["-f", "xlsx"])
    if s:
        for r in s["reports"]:
            check(zipfile.is_zipfile(r), "XLSX: %s is a ZIP package" % r)

    # Documents of the three dialects saved as .xlf read as under their own extensions.
    dialects = [
        ("SDL", ("before", "Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff"), ("after", "Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff")),
        ("memoQ", ("memoq", "before", "Grinder_Quick_Guide_en-US_de-DE.mqxliff"), ("memoq", "after", "Grinder_Quick_Guide_en-US_de-DE.mqxliff")),
        ("Memsource", ("memsource", "before", "Descaling_Leaflet-en-fr-T.mxliff"), ("memsource", "after", "Descaling_Leaflet-en-fr-T.mxliff")),
    ]
    for name, before, after in dialects:
        b, a = os.path.join(EXAMPLES, *before), os.path.join(EXAMPLES, *after)
        code, native = run(name + " own extension", [b], [a], os.path.join(work, name + "-own"))
        bx = os.path.join(work, name + "-before.xlf")
        ax = os.path.join(work, name + "-after.xliff")
        shutil.copyfile(b, bx)
        shutil.copyfile(a, ax)
        if native:
            check(native["pairs"] != [], "%s: the example has pairs" % name)
            expect(name + " saved as .xlf", [bx], [ax], os.path.join(work, name + "-xlf"), pairs_of(native))
            expect(name + " mixed extensions", [b], [ax], os.path.join(work, name + "-mixed"), pairs_of(native))

    # Bad inputs on the source side: one error line each, the run goes on with the good file.
    broken = os.path.join(work, "broken.xlf")
    with open(broken, "w") as f:
        f.write('<?xml version="1.0"?><xliff version="2.0"><file id="f"><unit id="u">')
    latin1 = os.path.join(work, "latin1.xliff")
    with open(latin1, "wb") as f:
        f.write(b'<?xml version="1.0" encoding="ISO-8859-1"?><xliff version="1.2"><file source-language="en" '
                b'target-language="de"><body><trans-unit id="1"><source>caf\xe9</source></trans-unit></body></file></xliff>')
    upper = os.path.join(work, "UPPER.XLF")
    shutil.copyfile(doc("before", checkout), upper)
    control = os.path.join(work, "control.xlf")
    with open(control, "wb") as f:
        f.write(b'<xliff version="2.0" srcLang="en" trgLang="fr"><file id="f"><unit id="u"><segment><source>a\x01b</source>'
                b'<target>c&#x2;</target></segment></unit></file></xliff>')
    code, s = run("bad inputs", [broken, latin1, upper, control, doc("before", checkout)], [doc("after", checkout), control],
                  os.path.join(work, "bad"))
    check(code == 0, "bad inputs: the report is still created (exit %s)" % code)
    if s:
        errors = " ".join(e["message"] for e in s["errors"])
        check(errors.count("Failed to read source file data!") == 2, "bad inputs: two read errors (%s)" % errors)
        check(all(e["reason"] for e in s["errors"] if e["message"] == "Failed to read source file data!"),
              "bad inputs: each read error says why (%s)" % s["errors"])
        check(errors.count("Processor of the indicated source file was not found!") == 1, "bad inputs: .XLF has no reader (%s)" % errors)
        check(pairs_of(s) == {("en", "fr"): (10, 4)}, "bad inputs: the good files are compared (%s)" % pairs_of(s))

    # Documents read without error but without a single segment: one line each, naming the file (and
    # the document inside a package), in the run's language; the run goes on.
    empty = os.path.join(work, "empty.xliff")
    with open(empty, "w") as f:
        f.write('<xliff version="1.2"><file source-language="en" target-language="fr"><body/></file></xliff>')
    mq_before = os.path.join(EXAMPLES, "memoq", "before", "Grinder_Quick_Guide_en-US_de-DE.mqxliff")
    package = os.path.join(work, "half empty.mqxlz")
    with zipfile.ZipFile(package, "w") as z:
        z.write(mq_before, "docs/guide.mqxliff")
        z.writestr("docs/blank.mqxliff", '<xliff xmlns:mq="MQXliff" version="1.2"><file source-language="en-US" '
                   'target-language="de-DE"><body/></file></xliff>')
    code, s = run("no segments", [empty, package], [doc("after", checkout), empty], os.path.join(work, "none"))
    check(code == 0, "no segments: the report is still created (exit %s)" % code)
    if s:
        def line(e):
            return (e["side"], e["message"], e["path"], e["document"], e["reason"])
        check([line(e) for e in s["errors"]] ==
              [("source", "No segments found in the source file!", empty, "", "no segments found"),
               ("source", "No segments found in the source file!", package, "docs/blank.mqxliff", "no segments found"),
               ("edited", "No segments found in the edited file!", empty, "", "no segments found")],
              "no segments: the lines (%s)" % s["errors"])
        check(pairs_of(s) == {("en-US", "de-DE"): (6, 6)}, "no segments: the package's other document is read (%s)" % pairs_of(s))
    code, s = run("no segments in Russian", [empty, doc("before", checkout)], [doc("after", checkout)],
                  os.path.join(work, "none-ru"), ["--lang", "ru"])
    if s:
        check([(e["message"], e["path"], e["reason"]) for e in s["errors"]] ==
              [("В исходном файле не найдено ни одного сегмента!", empty, "no segments found")],
              "no segments: Russian (%s)" % s["errors"])

    shutil.rmtree(work, ignore_errors=True)
    sys.exit(close_checks())


if __name__ == "__main__":
    main()
