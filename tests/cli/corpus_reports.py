#!/usr/bin/env python3
"""Every report of the shared corpus and the examples, written in a comparable form.

Usage:
  corpus_reports.py write BINARY CORPUS_DIR EXAMPLES_DIR OUT_DIR [--quick]
  corpus_reports.py compare REFERENCE_DIR CANDIDATE_DIR
  corpus_reports.py twice BINARY CORPUS_DIR EXAMPLES_DIR [--quick]

"write" runs BINARY on every job (each corpus document against itself, the before/after pairs of
the corpus, the examples as `make run` compares them, folders as inputs) with every combination of
format and options (--quick: a covering set of ten), and stores per job and combination the JSON
summary and exit status, the error lines, and each report: HTML as it is, XLSX unzipped (entry
names in archive order and each part's bytes). Only what differs from run to run is made equal:
the name of the private working folder, the report file names' time stamp and the workbook's
creation time.
"compare" says which stored files differ between two such trees (exit status 1 when any does).
"twice" writes twice with the same binary and compares: a report must not depend on thread timing.

Comparing the trees of a build before a change and of one after it shows that the change kept
every byte of every report; the input paths must be the same in both runs (they are in the reports).
"""
import concurrent.futures
import filecmp
import itertools
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

# The before/after pairs the corpus describes (relative to the corpus folder).
CORPUS_PAIRS = [
    ("sdlxliff/translate5-BasicSegmentEditingTest_install-unix.apache2.html.sdlxliff",
     "sdlxliff/translate5-BasicSegmentEditingTest_export-assert.sdlxliff"),
    ("sdlxliff/translate5-SegmentCommentRoundtripTest_01-sdlxliff-en-de.sdlxliff",
     "sdlxliff/translate5-SegmentCommentRoundtripTest_export-assert.sdlxliff"),
    ("sdlxliff/translate5-Translate1804Test_02-sdlxliff-en-de.sdlxliff",
     "sdlxliff/translate5-Translate1804Test_export-02-sdlxliff-en-de.sdlxliff"),
    ("sdlxliff/translate5-Translate682Test_testsamples.sdlxliff",
     "sdlxliff/translate5-Translate682Test_expectedResult.sdlxliff"),
    ("sdlxliff/translate5-Translate3966Test_FileForTest_fr-FR_en-GB.sdlxliff",
     "sdlxliff/translate5-Translate3966Test_expectedResult.sdlxliff"),
    ("mqxliff/translate5-SegmentCommentRoundtripTest_02-memoq-de-en.mqxliff",
     "mqxliff/translate5-SegmentCommentRoundtripTest_export-assert.mqxliff"),
]

FORMATS = ["html", "xlsx"]
TAGS = ["none", "short", "id", "full"]
FLAGS = ["--show-identical", "--ignore-nbsp", "--no-highlight"]
LANGS = ["en", "ru"]
# Analysis bands other than the default ones (the option that takes a value).
BANDS = ("--bands", "100,90,60,0")

WORK_FOLDER = re.compile(rb"lexmora-compare-[A-Za-z0-9]{6}")
CORE_TIME = re.compile(rb"(<dcterms:(?:created|modified)[^>]*>)[^<]*(</dcterms:)")
STAMP = re.compile(r"^Result_\d{8}_\d{6}(?:-\d+)?_")


def combinations(quick):
    full = []
    for fmt, tags, lang in itertools.product(FORMATS, TAGS, LANGS):
        for n in range(len(FLAGS) + 1):
            for flags in itertools.combinations(FLAGS, n):
                full.append((fmt, tags, lang, flags))
    if not quick:
        # The bands change the analysis only: each format and language once, with and without
        # the identical segments.
        for fmt, lang in itertools.product(FORMATS, LANGS):
            full.append((fmt, "short", lang, BANDS))
            full.append((fmt, "full", lang, BANDS + ("--show-identical",)))
        return full
    # Each format with each tag mode, each flag on and off and both languages at least once.
    return [
        ("html", "short", "en", ()),
        ("html", "full", "en", ("--show-identical", "--no-highlight")),
        ("html", "id", "ru", ("--ignore-nbsp",)),
        ("html", "none", "en", ("--show-identical", "--ignore-nbsp")),
        ("xlsx", "short", "en", ()),
        ("xlsx", "full", "ru", ("--show-identical", "--ignore-nbsp")),
        ("xlsx", "id", "en", ("--no-highlight",)),
        ("xlsx", "none", "en", ("--show-identical", "--ignore-nbsp", "--no-highlight")),
        ("html", "short", "ru", BANDS),
        ("xlsx", "short", "en", BANDS + ("--show-identical",)),
    ]


def combo_name(combo):
    fmt, tags, lang, flags = combo
    return "_".join([fmt, tags, lang] + [f.lstrip("-").replace(",", "-") for f in flags])


def jobs(corpus, examples):
    found = []
    for folder, _, files in sorted(os.walk(corpus)):
        for name in sorted(files):
            if name != "SOURCES.md":
                found.append(os.path.join(folder, name))
    result = [("self_" + os.path.relpath(p, corpus).replace("/", "__"), [p], [p]) for p in found]
    for n, (before, after) in enumerate(CORPUS_PAIRS):
        result.append(("pair_%d" % n, [os.path.join(corpus, before)], [os.path.join(corpus, after)]))

    def side(which):
        paths = [os.path.join(examples, which, n) for n in os.listdir(os.path.join(examples, which))
                 if n.endswith(".sdlxliff")]
        for group in sorted(os.listdir(examples)):
            sub = os.path.join(examples, group, which)
            if os.path.isdir(sub):
                paths += [os.path.join(sub, n) for n in os.listdir(sub)]
        return sorted(paths)

    result.append(("examples", side("before"), side("after")))
    # Folders as inputs: the documents found below them, on both sides.
    result.append(("folders_examples", [os.path.join(examples, "before")], [os.path.join(examples, "after")]))
    projects = os.path.join(corpus, "sdl-packages")
    for name in sorted(os.listdir(projects)):
        if os.path.isdir(os.path.join(projects, name)):
            folder = os.path.join(projects, name)
            result.append(("folder_" + re.sub(r"[^A-Za-z0-9]+", "_", name), [folder], [folder]))
    return result


def normalise(data, tmp):
    # The run's own folder is new for every run (its name has a fixed length, so the cut of long
    # cell texts does not move).
    return WORK_FOLDER.sub(b"lexmora-compare-XXXXXX", data.replace(tmp.encode(), b"/tmp/corpus-reports-TMP"))


def as_is(data):
    return data


PATH_STRING = re.compile(rb"<si>\s*<t(?: [^>]*)?>/")
ROW = re.compile(rb"(<row [^>]*?)( ht=\"[^\"]*\" customHeight=\"1\")([^>]*>)(.*?</row>)", re.S)
SHARED_CELL = re.compile(rb't="s"[^>]*>\s*<v>(\d+)</v>')


def without_path_row_heights(sheet, shared_strings):
    """SHEET with the height left out of each row that shows a path: a path on another system is
    longer (a drive letter), which may add a line to the height the row is given."""
    items = re.findall(rb"<si>.*?</si>", shared_strings, re.S)
    paths = {str(i).encode() for i, item in enumerate(items) if PATH_STRING.match(item)}

    def drop(m):
        shows_path = any(v in paths for v in SHARED_CELL.findall(m.group(4)))
        return m.group(1) + (b"" if shows_path else m.group(2)) + m.group(3) + m.group(4)

    return ROW.sub(drop, sheet)


def store_report(path, dest, tmp, host_paths=as_is, path_row_heights=True):
    name = STAMP.sub("", os.path.basename(path))
    with open(path, "rb") as f:
        data = host_paths(f.read())
    if not name.endswith(".xlsx"):
        with open(os.path.join(dest, name), "wb") as f:
            f.write(normalise(data, tmp))
        return
    folder = os.path.join(dest, name + ".parts")
    os.makedirs(folder)
    with zipfile.ZipFile(path) as z:
        names = z.namelist()
        with open(os.path.join(folder, "ENTRIES"), "w") as f:
            f.write("\n".join(names) + "\n")
        shared = host_paths(z.read("xl/sharedStrings.xml")) if "xl/sharedStrings.xml" in names else b""
        for n, entry in enumerate(names):
            part = host_paths(z.read(entry))
            if not path_row_heights and entry.startswith("xl/worksheets/sheet"):
                part = without_path_row_heights(part, shared)
            if entry == "docProps/core.xml":
                part = CORE_TIME.sub(rb"\1TIME\2", part)
            with open(os.path.join(folder, "%02d_%s" % (n, entry.replace("/", "__"))), "wb") as f:
                f.write(normalise(part, tmp))


# The exit statuses the tool itself gives; any other is a crash.
TOOL_EXITS = (0, 1, 2, 3, 4)


def run_one(binary, job, combo, out_dir, launcher=(), host_paths=as_is, path_row_heights=True, on_crash=None):
    """Runs one job with one combination and stores what it gave below OUT_DIR/job/combination.

    LAUNCHER comes before BINARY on the command line (an emulator); HOST_PATHS turns the paths
    the binary writes (str or bytes) into this system's form, before anything else is looked at.
    PATH_ROW_HEIGHTS False leaves out the heights of worksheet rows that show a path.
    ON_CRASH, when given, is told of a run that ended with a status the tool never gives
    (job name, combination, the finished process), and the run is made once more.
    """
    name, sources, edited = job
    fmt, tags, lang, flags = combo
    dest = os.path.join(out_dir, name, combo_name(combo))
    os.makedirs(dest)
    with tempfile.TemporaryDirectory(prefix="corpus-reports-", dir="/tmp") as tmp:
        args = list(launcher) + [binary, "-q", "--json", "-f", fmt, "--tags", tags, "--lang", lang, "-o",
                                 os.path.join(tmp, "out"), "--temp-dir", tmp] + list(flags)
        for p in sources:
            args += ["-s", p]
        for p in edited:
            args += ["-e", p]
        proc = subprocess.run(args, capture_output=True, timeout=300, stdin=subprocess.DEVNULL)
        if on_crash and proc.returncode not in TOOL_EXITS:
            on_crash(name, combo, proc)
            shutil.rmtree(os.path.join(tmp, "out"), ignore_errors=True)
            proc = subprocess.run(args, capture_output=True, timeout=300, stdin=subprocess.DEVNULL)
        try:
            summary = json.loads(proc.stdout.decode("utf-8"))
        except ValueError:
            summary = {"unreadable stdout": proc.stdout.decode("utf-8", "replace")}
        summary = host_paths(summary)
        reports = summary.get("reports", [])
        for r in reports:
            store_report(r, dest, tmp, host_paths, path_row_heights)
        text = json.dumps({"exit": proc.returncode, "summary": summary}, indent=1, sort_keys=True,
                          ensure_ascii=False)
        text = re.sub(r"Result_\d{8}_\d{6}(?:-\d+)?_", "Result_STAMP_", text)
        with open(os.path.join(dest, "run.json"), "wb") as f:
            f.write(normalise(text.encode("utf-8"), tmp))
    return name


def write(binary, corpus, examples, out_dir, quick):
    if os.path.exists(out_dir):
        shutil.rmtree(out_dir)
    os.makedirs(out_dir)
    tasks = [(job, combo) for job in jobs(corpus, examples) for combo in combinations(quick)]
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for f in [pool.submit(run_one, binary, job, combo, out_dir) for job, combo in tasks]:
            f.result()
    print("wrote %d runs of %d jobs into %s" % (len(tasks), len(tasks) // len(combinations(quick)), out_dir))


def compare(ref, cand):
    differ = []

    def walk(cmp, rel):
        for n in cmp.left_only + cmp.right_only:
            differ.append(os.path.join(rel, n) + " (only in one tree)")
        for n in cmp.diff_files + cmp.funny_files:
            differ.append(os.path.join(rel, n))
        for n, sub in sorted(cmp.subdirs.items()):
            walk(sub, os.path.join(rel, n))

    filecmp.clear_cache()
    cmp = filecmp.dircmp(ref, cand, ignore=[])
    # dircmp compares by stat signature first; compare contents for certain.
    def deep(cmp, rel):
        for n in cmp.common_files:
            if not filecmp.cmp(os.path.join(cmp.left, n), os.path.join(cmp.right, n), shallow=False) \
                    and n not in cmp.diff_files:
                differ.append(os.path.join(rel, n))
        for n, sub in sorted(cmp.subdirs.items()):
            deep(sub, os.path.join(rel, n))

    walk(cmp, "")
    deep(cmp, "")
    count = sum(len(files) for _, _, files in os.walk(ref))
    for d in differ[:50]:
        print("DIFFERS:", d)
    print("%d files compared, %d differ" % (count, len(differ)))
    return 1 if differ or count == 0 else 0


def main(argv):
    if len(argv) >= 6 and argv[1] == "write":
        write(argv[2], argv[3], argv[4], argv[5], "--quick" in argv[6:])
        return 0
    if len(argv) == 4 and argv[1] == "compare":
        return compare(argv[2], argv[3])
    if len(argv) >= 5 and argv[1] == "twice":
        quick = "--quick" in argv[5:]
        with tempfile.TemporaryDirectory(prefix="corpus-reports-twice-") as tmp:
            write(argv[2], argv[3], argv[4], os.path.join(tmp, "a"), quick)
            write(argv[2], argv[3], argv[4], os.path.join(tmp, "b"), quick)
            return compare(os.path.join(tmp, "a"), os.path.join(tmp, "b"))
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
