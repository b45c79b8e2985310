#!/usr/bin/env python3
"""End-to-end runs of lexmora-compare where things go wrong: a results folder that fills up, a
source list of good and bad inputs, folders as inputs, and what -q leaves on stderr.

Usage: failures_end_to_end.py BINARY EXAMPLES_DIR CORPUS_DIR
A full results folder is a small tmpfs mounted by the test (as root); otherwise the folder is made
unwritable as soon as the first report appears; when neither is possible that part is skipped
with a message.
"""
import json
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import zipfile

from checks import check, close_checks

BINARY, EXAMPLES, CORPUS = sys.argv[1], sys.argv[2], sys.argv[3]
SMALL_SRC = os.path.join(EXAMPLES, "before", "CM-200_Manual.docx_de-DE.sdlxliff")
SMALL_ED = os.path.join(EXAMPLES, "after", "CM-200_Manual.docx_de-DE.sdlxliff")
# en-US > es-ES documents, compared with themselves and every segment shown: one report far larger
# than the small one.
BIG = [os.path.join(CORPUS, "sdlxliff", n + ".sdlxliff")
       for n in ("d_Lux_MediaArts15970", "32415989", "BadTags_HTMLDog15975")]
PAGE = 4096


def command(sources, edited, out_dir, temp_dir, extra=()):
    args = [BINARY, "--json", "-o", out_dir, "--temp-dir", temp_dir, "--show-identical"] + list(extra)
    for s in sources:
        args += ["-s", s]
    for e in edited:
        args += ["-e", e]
    return args


def parse(proc_stdout, name):
    try:
        return json.loads(proc_stdout.decode("utf-8"))
    except ValueError:
        check(False, "%s: JSON summary parses (%r)" % (name, proc_stdout[:200]))
        return None


def run(name, sources, edited, out_dir, temp_dir, extra=()):
    proc = subprocess.run(command(sources, edited, out_dir, temp_dir, extra), capture_output=True, timeout=240,
                          stdin=subprocess.DEVNULL)
    return proc.returncode, parse(proc.stdout, name), proc.stderr.decode("utf-8", "replace")


def peak_size(report):
    """Bytes a report needs while it is written: the file (an XLSX workbook's parts are built in
    memory, only the archive is written)."""
    return -(-os.path.getsize(report) // PAGE) * PAGE


def everything_below(folder):
    found = []
    for root, dirs, files in os.walk(folder):
        found += [os.path.relpath(os.path.join(root, d), folder) + "/" for d in dirs]
        found += [os.path.relpath(os.path.join(root, f), folder) for f in files]
    return sorted(found)


class FullFolder:
    """A results folder that holds about ABYTES: a tmpfs when it can be mounted."""

    def __init__(self, path, nbytes):
        self.path, self.mounted = path, False
        os.makedirs(path)
        if os.geteuid() == 0:
            size = -(-nbytes // PAGE) * PAGE
            self.mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d,mode=0755" % size, "tmpfs", path],
                                          capture_output=True).returncode == 0

    def close(self):
        if self.mounted:
            subprocess.run(["umount", self.path], check=False)


def run_until_first_report(args, out_dir):
    """Starts the run and makes out_dir unwritable once its first report is there (not as root)."""
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    deadline = time.time() + 240
    while proc.poll() is None and time.time() < deadline:
        if any(n.endswith((".html", ".xlsx")) for n in os.listdir(out_dir)):
            os.chmod(out_dir, stat.S_IRUSR | stat.S_IXUSR)
            break
        time.sleep(0.001)
    out, err = proc.communicate(timeout=240)
    os.chmod(out_dir, stat.S_IRWXU)
    return proc.returncode, out, err.decode("utf-8", "replace")


def full_disk(work, fmt):
    """Two pairs into a folder with room for the small report only, in both orders."""
    temp = os.path.join(work, "temp-" + fmt)
    extra = ["-f", fmt]
    # Sizes from a run into an ordinary folder.
    code, s, err = run("sizes " + fmt, [SMALL_SRC] + BIG, [SMALL_ED] + BIG, os.path.join(work, "sizes-" + fmt), temp,
                       extra)
    if code != 0 or not s or len(s["reports"]) != 2:
        check(False, "%s: the sizing run writes two reports (%s %s)" % (fmt, code, err[-300:]))
        return
    small = next(r for r in s["reports"] if "_de-DE." in r)
    big = next(r for r in s["reports"] if "_es-ES." in r)
    budget = peak_size(small) + 2 * PAGE
    if peak_size(big) < budget + 4 * PAGE:
        check(False, "%s: the big report (%d) outgrows the room (%d)" % (fmt, peak_size(big), budget))
        return

    for order, sources, edited, fails, survives in (
            ("small first", [SMALL_SRC] + BIG, [SMALL_ED] + BIG, "es-ES", "de-DE"),
            ("big first", BIG + [SMALL_SRC], BIG + [SMALL_ED], "es-ES", "de-DE")):
        name = "%s full disk, %s" % (fmt, order)
        out = os.path.join(work, "full-%s-%s" % (fmt, order.replace(" ", "-")))
        folder = FullFolder(out, budget)
        try:
            args = command(sources, edited, out, temp, extra)
            if folder.mounted:
                proc = subprocess.run(args, capture_output=True, timeout=240, stdin=subprocess.DEVNULL)
                code, stdout, err = proc.returncode, proc.stdout, proc.stderr.decode("utf-8", "replace")
            elif os.geteuid() != 0 and order == "small first":
                code, stdout, err = run_until_first_report(args, out)
            else:
                print("SKIP: %s: no small filesystem can be mounted and permissions do not stop root" % name)
                continue
            summary = parse(stdout, name)
            check(code == 1, "%s: exit status 1 (got %s)" % (name, code))
            if not summary:
                continue
            check(summary["result"] == "create-diff-file-error", "%s: result %s" % (name, summary["result"]))
            pairs = {p["target_lang"]: p for p in summary["pairs"]}
            check(set(pairs) == {"de-DE", "es-ES"}, "%s: both pairs attempted (%s)" % (name, list(pairs)))
            if set(pairs) != {"de-DE", "es-ES"}:
                continue
            check(not pairs[fails]["written"] and pairs[fails]["report"] is None,
                  "%s: the %s pair is not written and has no report" % (name, fails))
            check(pairs[survives]["written"] and os.path.isfile(pairs[survives]["report"]),
                  "%s: the %s pair is written" % (name, survives))
            check(summary["reports"] == [pairs[survives]["report"]], "%s: reports lists the file that exists" % name)
            report_errors = [e for e in summary["errors"] if e["side"] == "report"]
            check(len(report_errors) == 1, "%s: one error for the failed report (%s)" % (name, summary["errors"]))
            if report_errors:
                e = report_errors[0]
                check(e["path"].startswith(out + os.sep) and e["path"].endswith("_en-US_" + fails + "." + fmt),
                      "%s: the error names the report file (%s)" % (name, e["path"]))
                check(e["reason"] != "", "%s: the error says why (%s)" % (name, e))
                if folder.mounted:
                    check("No space left on device" in e["reason"] or "no space" in e["reason"].lower(),
                          "%s: the reason is the full disk (%s)" % (name, e["reason"]))
                line = "%s: %s: %s" % (e["message"], e["path"], e["reason"])
                check(line in err.splitlines(), "%s: the same line on stderr (%r)" % (name, err[-400:]))
            # Nothing incomplete under a final name, no temporary file, no assembly folder left.
            left = everything_below(out)
            check(left == [os.path.basename(pairs[survives]["report"])], "%s: only the written report is left (%s)" %
                  (name, left))
        finally:
            folder.close()


def mixed_sources(work):
    """Good files, a malformed file, a missing file, a folder and a hostile package on one side."""
    inputs = os.path.join(work, "inputs")
    os.makedirs(os.path.join(inputs, "folder", "deeper"))
    malformed = os.path.join(inputs, "malformed.sdlxliff")
    with open(malformed, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0"?>\n<xliff>\n  <file><body></bodx></file>\n</xliff>\n')
    not_utf8 = os.path.join(inputs, "latin1.sdlxliff")
    with open(not_utf8, "wb") as f:
        f.write(b'<?xml version="1.0"?>\n<xliff>caf\xe9</xliff>\n')
    missing = os.path.join(inputs, "missing.sdlxliff")
    empty_folder = os.path.join(inputs, "folder")
    with open(os.path.join(empty_folder, "deeper", "notes.txt"), "w") as f:
        f.write("not a bilingual file")
    hostile = os.path.join(inputs, "hostile.mqxlz")
    with zipfile.ZipFile(hostile, "w") as z:
        z.writestr("doc.mqxliff", "<xliff/>")
        z.writestr("../outside.mqxliff", "x")
    sources = [SMALL_SRC, malformed, missing, empty_folder, hostile, not_utf8,
               os.path.join(EXAMPLES, "before", "Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff")]
    code, s, err = run("mixed sources", sources, [os.path.join(EXAMPLES, "after")], os.path.join(work, "mixed"),
                       os.path.join(work, "temp-mixed"), ["-q"])
    check(code == 0, "mixed sources: the good files still give a report (exit %s: %s)" % (code, err[-300:]))
    if not s:
        return
    errors = {e["path"]: e for e in s["errors"]}
    expected = {
        malformed: ("Failed to read source file data!", "not well-formed XML at line 3, column "),
        missing: ("Source file was not found!", ""),
        empty_folder: ("Processor of the indicated source file was not found!", "a folder with no supported file"),
        hostile: ("Extraction of source file failed!", "entry name leaves the package"),
        not_utf8: ("Failed to read source file data!", "not UTF-8"),
    }
    check(sorted(errors) == sorted(expected) and len(s["errors"]) == len(expected),
          "mixed sources: one error per bad input (%s)" % s["errors"])
    lines = err.splitlines()
    for path, (message, reason) in expected.items():
        e = errors.get(path)
        if not e:
            continue
        check(e["side"] == "source" and e["message"] == message, "mixed sources: %s message (%s)" % (path, e))
        check(e["reason"].startswith(reason) if reason else e["reason"] == "", "mixed sources: %s reason (%s)" % (path, e))
        line = message + ": " + path + (": " + e["reason"] if e["reason"] else "")
        check(line in lines, "mixed sources: stderr has %r" % line)
    # -q: nothing on stderr but the error lines.
    check(sorted(lines) == sorted(l for l in lines if l in [
        "%s: %s%s" % (e["message"], e["path"], ": " + e["reason"] if e["reason"] else "") for e in s["errors"]]) and
          len(lines) == len(s["errors"]), "-q: stderr holds the error lines only (%r)" % lines)
    # The edited side was a folder: its documents were found and paired with the good sources.
    check([p["target_lang"] for p in s["pairs"]] == ["de-DE"] and s["pairs"][0]["written"],
          "mixed sources: the de-DE pair is written (%s)" % s["pairs"])


def folders_and_quiet(work):
    """Folders as both sides give the same report as the files named one by one."""
    temp = os.path.join(work, "temp-folders")
    code, by_folder, err = run("folders", [os.path.join(EXAMPLES, "before")], [os.path.join(EXAMPLES, "after")],
                               os.path.join(work, "folders"), temp)
    check(code == 0 and by_folder and by_folder["errors"] == [], "folders: exit 0 without errors (%s)" % err[-300:])
    files = sorted(os.listdir(os.path.join(EXAMPLES, "before")))
    code, by_file, _ = run("files", [os.path.join(EXAMPLES, "before", f) for f in files],
                           [os.path.join(EXAMPLES, "after", f) for f in files], os.path.join(work, "files"), temp)
    if by_folder and by_file:
        strip = lambda s: sorted((p["target_lang"], p["total"], p["edited"], p["edit_distance"]) for p in s["pairs"])
        check(strip(by_folder) == strip(by_file), "folders: same pairs as the files (%s / %s)" %
              (strip(by_folder), strip(by_file)))
    # Without -q the operation lines and the success line are there; with -q stderr is empty.
    check("Comparison report has been successfully created:" in err, "without -q: the success line")
    code, quiet, err = run("quiet", [SMALL_SRC], [SMALL_ED], os.path.join(work, "quiet"), temp, ["-q"])
    check(code == 0 and quiet and len(quiet["reports"]) == 1, "-q: the report is written")
    check(err == "", "-q: stderr is empty on success (%r)" % err)


def main():
    if not all(os.path.isfile(b) for b in BIG):
        print("FAIL: the shared corpus is missing at", CORPUS)
        return 1
    work = tempfile.mkdtemp(prefix="lexmora_failures_e2e_")
    try:
        full_disk(work, "html")
        full_disk(work, "xlsx")
        mixed_sources(work)
        folders_and_quiet(work)
    finally:
        for root, dirs, _ in os.walk(work):
            for d in dirs:
                os.chmod(os.path.join(root, d), stat.S_IRWXU)
        shutil.rmtree(work, ignore_errors=True)
    return close_checks()


if __name__ == "__main__":
    sys.exit(main())
