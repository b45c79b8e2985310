#!/usr/bin/env python3
"""End-to-end runs of lexmora-compare on a before/after pair of each of the six input extensions.

Usage: formats_end_to_end.py BINARY EXAMPLES_DIR
Uses the example pairs (SDLXLIFF, memoQ, Memsource, SDL project/return package); the zipped memoQ
input and the damaged and hostile packages are built here. Checks exit status, the JSON summary
(language pairs, totals, edited counts, error lines) and that every HTML report parses as XML.
"""
import json
import os
import subprocess
import sys
import tempfile
import xml.dom.minidom
import zipfile

from checks import check, close_checks

BINARY, EXAMPLES = sys.argv[1], sys.argv[2]


def run(name, sources, edited, out_dir, extra=()):
    args = [BINARY, "-q", "--json", "-o", out_dir] + list(extra)
    for s in sources:
        args += ["-s", s]
    for e in edited:
        args += ["-e", e]
    proc = subprocess.run(args, capture_output=True, timeout=120, stdin=subprocess.DEVNULL)
    try:
        summary = json.loads(proc.stdout.decode("utf-8"))
    except ValueError:
        check(False, "%s: JSON summary parses (%r)" % (name, proc.stdout[:200]))
        return proc.returncode, None
    for report in summary.get("reports", []):
        check(os.path.isfile(report), "%s: report %s exists" % (name, report))
        if report.endswith(".html"):
            with open(report, "rb") as f:
                try:
                    xml.dom.minidom.parseString(f.read())
                except Exception as e:  # noqa: BLE001 - any parse failure is the finding
                    check(False, "%s: report parses as XML: %s" % (name, e))
        else:
            check(zipfile.is_zipfile(report), "%s: %s is a ZIP package" % (name, report))
    return proc.returncode, summary


def pairs_of(summary):
    return {(p["source_lang"], p["target_lang"]): (p["total"], p["edited"]) for p in summary["pairs"]}


def expect(name, sources, edited, out_dir, expected_pairs, extra=()):
    code, summary = run(name, sources, edited, out_dir, extra)
    check(code == 0, "%s: exit status 0 (got %s)" % (name, code))
    if summary:
        check(summary["result"] == "ok", "%s: result ok" % name)
        check(summary["errors"] == [], "%s: no error lines (%s)" % (name, summary["errors"]))
        check(pairs_of(summary) == expected_pairs, "%s: pairs %s, expected %s" % (name, pairs_of(summary), expected_pairs))
    return summary


def ex(*parts):
    return os.path.join(EXAMPLES, *parts)


def main():
    work = tempfile.mkdtemp(prefix="lexmora-formats-e2e-")
    mq_before = ex("memoq", "before", "Grinder_Quick_Guide_en-US_de-DE.mqxliff")
    mq_after = ex("memoq", "after", "Grinder_Quick_Guide_en-US_de-DE.mqxliff")
    mx_before = ex("memsource", "before", "Descaling_Leaflet-en-fr-T.mxliff")
    mx_after = ex("memsource", "after", "Descaling_Leaflet-en-fr-T.mxliff")
    ppx = ex("sdl-package", "before", "CM-200_Spare_Parts.sdlppx")
    rpx = ex("sdl-package", "after", "CM-200_Spare_Parts.sdlrpx")
    sdl_before = ex("before", "Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff")
    sdl_after = ex("after", "Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff")

    expect(".sdlxliff", [sdl_before], [sdl_after], os.path.join(work, "sdlxliff"), {("en-US", "de-DE"): (3, 2)})
    expect(".mqxliff", [mq_before], [mq_after], os.path.join(work, "mqxliff"), {("en-US", "de-DE"): (6, 3)})
    expect(".mqxliff as XLSX", [mq_before], [mq_after], os.path.join(work, "mqxliff-xlsx"), {("en-US", "de-DE"): (6, 3)},
           ["-f", "xlsx"])
    expect(".mxliff", [mx_before], [mx_after], os.path.join(work, "mxliff"), {("en", "fr"): (5, 2)})
    expect(".sdlppx and .sdlrpx", [ppx], [rpx], os.path.join(work, "packages"),
           {("en-US", "de-DE"): (4, 2), ("en-US", "fr-FR"): (4, 1)})
    # The project and the return package of one project read alike: no edits against each other.
    rpx_as_ppx = os.path.join(work, "CM-200_Spare_Parts.sdlppx")
    with open(rpx, "rb") as src, open(rpx_as_ppx, "wb") as dst:
        dst.write(src.read())
    expect(".sdlrpx against itself as .sdlppx", [rpx_as_ppx], [rpx], os.path.join(work, "same-package"),
           {("en-US", "de-DE"): (4, 0), ("en-US", "fr-FR"): (4, 0)}, ["--show-identical"])

    # .mqxlz: the memoQ pair zipped, each document in a subfolder beside a skeleton.
    zipped = {}
    for side, doc in (("before", mq_before), ("after", mq_after)):
        zipped[side] = os.path.join(work, side + ".mqxlz")
        with zipfile.ZipFile(zipped[side], "w", zipfile.ZIP_DEFLATED) as z:
            z.write(doc, "document/" + os.path.basename(doc))
            z.writestr("skeleton.xml", "<skeleton/>")
    expect(".mqxlz", [zipped["before"]], [zipped["after"]], os.path.join(work, "mqxlz"), {("en-US", "de-DE"): (6, 3)})
    expect(".mqxlz against .mqxliff", [zipped["before"]], [mq_after], os.path.join(work, "mixed"), {("en-US", "de-DE"): (6, 3)})

    # Damaged and hostile packages on the source side: one error line each, the run goes on with
    # the next input, and nothing is written beside the working folder.
    not_zip = os.path.join(work, "broken.sdlppx")
    with open(not_zip, "w") as f:
        f.write("<Project/> this is no ZIP archive")
    hostile = os.path.join(work, "hostile.mqxlz")
    with zipfile.ZipFile(hostile, "w") as z:
        z.writestr("document.mqxliff", open(mq_before, "rb").read())
        z.writestr("../../escaped.mqxliff", "x")
    sandbox = os.path.join(work, "sandbox")
    temp = os.path.join(sandbox, "Temp")
    os.makedirs(sandbox)
    code, summary = run("bad packages", [not_zip, hostile, mq_before], [mq_after], os.path.join(work, "bad"),
                        ["--temp-dir", temp])
    check(code == 0, "bad packages: the report is still created (exit %s)" % code)
    if summary:
        check(pairs_of(summary) == {("en-US", "de-DE"): (6, 3)}, "bad packages: the good input is compared")
        errors = summary["errors"]
        check([e["message"] for e in errors] == ["Extraction of source file failed!"] * 2,
              "bad packages: two extraction errors (%s)" % errors)
        check([e["path"] for e in errors] == [not_zip, hostile], "bad packages: each error names its package")
        if len(errors) == 2:
            check(errors[0]["reason"].startswith("not a readable ZIP package"), "broken package: reason %s" % errors[0])
            check(errors[1]["reason"].startswith("entry name leaves the package"), "hostile package: reason %s" % errors[1])
    check(set(os.listdir(sandbox)) <= {"Temp"}, "bad packages: nothing beside the working folder (%s)" % os.listdir(sandbox))
    check(not os.path.exists(os.path.join(work, "escaped.mqxliff")), "bad packages: no entry escaped")

    sys.exit(close_checks())


if __name__ == "__main__":
    main()
