#!/usr/bin/env python3
"""The page's reports against the native tool's, run by run.

Usage: same_reports.py RUNS_DIR
Each RUNS_DIR/<run>/ holds the inputs in source/ and edited/ (the page's engine has them as /source
and /edited), the native tool's reports in out/ and the page's in page/. Both are stored in the
comparable form of corpus_reports (time stamps out, workbooks unzipped), the native ones with the
run's folder taken out of the paths they show, and the two trees compared. A path shown in a
workbook row is longer natively, which may give the row another height: those heights are left out.
Exit status 1 when any file differs or a report is missing on one side.
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cli"))
import corpus_reports  # noqa: E402


def store(runs, which, dest, host_paths_of):
    for run in sorted(os.listdir(runs)):
        folder = os.path.join(runs, run, which)
        target = os.path.join(dest, run)
        os.makedirs(target)
        for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
            tmp = os.path.join(runs, run)
            corpus_reports.store_report(os.path.join(folder, name), target, tmp, host_paths_of(tmp),
                                        path_row_heights=False)


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    runs = argv[1]
    with tempfile.TemporaryDirectory(prefix="lexmora-same-reports-") as tmp:
        store(runs, "out", os.path.join(tmp, "native"), lambda run: lambda data: data.replace(run.encode(), b""))
        store(runs, "page", os.path.join(tmp, "page"), lambda run: corpus_reports.as_is)
        return corpus_reports.compare(os.path.join(tmp, "native"), os.path.join(tmp, "page"))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
