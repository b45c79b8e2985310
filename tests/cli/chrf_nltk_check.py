#!/usr/bin/env python3
"""Cross-checks our character n-gram F-score against NLTK's chrf_score on the shared corpus.

Usage: chrf_nltk_check.py METRICS_DUMP CORPUS_DIR
Exit 77 (skipped) when NLTK is missing (Debian package python3-nltk).

Where the two coincide: NLTK averages the F-score of each order (1 to 6 characters, white space
removed with the same white-space set) and gives an order without n-grams or without matches an
F-score of 1e-16. That is the epsilon-smoothed variant of our score with NLTK's beta of 3, which is
what metrics_dump prints, so every segment's score must agree. Our default instead forms one F-score
from the precision and recall averaged over the orders both sides have, and a corpus's from summed
counts, which NLTK does not do; for those the per-order counts are compared, which both build on.
"""
import json
import os
import subprocess
import sys

try:
    from nltk.translate.chrf_score import chrf_precision_recall_fscore_support, sentence_chrf
    from nltk.util import ngrams
except ImportError:
    print("skipped: NLTK is missing (install the Debian package python3-nltk)")
    sys.exit(77)

# Translated files and their edited counterparts in the corpus.
PAIRS = [
    ("translate5-Translate1804Test_02-sdlxliff-en-de.sdlxliff",
     "translate5-Translate1804Test_export-02-sdlxliff-en-de.sdlxliff"),
    ("translate5-SegmentCommentRoundtripTest_01-sdlxliff-en-de.sdlxliff",
     "translate5-SegmentCommentRoundtripTest_export-assert.sdlxliff"),
    ("translate5-Translate3966Test_FileForTest_fr-FR_en-GB.sdlxliff", "translate5-Translate3966Test_expectedResult.sdlxliff"),
    ("translate5-Translate682Test_testsamples.sdlxliff", "translate5-Translate682Test_expectedResult.sdlxliff"),
]


def main():
    dump, corpus = sys.argv[1], os.path.join(sys.argv[2], "sdlxliff")
    runs = [[os.path.join(corpus, a), os.path.join(corpus, b)] for a, b in PAIRS]
    # Every document's target against its source: many more pairs, in several scripts.
    runs += [[os.path.join(corpus, name)] for name in sorted(os.listdir(corpus)) if name.endswith(".sdlxliff")]
    checked = failures = 0
    for files in runs:
        out = subprocess.run([dump] + files, capture_output=True, text=True, encoding="utf-8", check=True).stdout
        for line in out.splitlines():
            row = json.loads(line)
            hyp = "".join(row["hyp"].split())
            ref = "".join(row["ref"].split())
            expected = 100 * sentence_chrf(row["ref"], row["hyp"], beta=3)
            problems = []
            if abs(expected - row["score"]) > 1e-9:
                problems.append("score %r, NLTK %r" % (row["score"], expected))
            for n in range(1, 7):
                ours = row["stats"][3 * (n - 1): 3 * n]
                ref_count = len(list(ngrams(ref, n)))
                hyp_count = len(list(ngrams(hyp, n))) if ref_count else 0
                matches = chrf_precision_recall_fscore_support(ref, hyp, n)[3]
                if ours != [hyp_count, ref_count, matches]:
                    problems.append("order %d: %r, NLTK %r" % (n, ours, [hyp_count, ref_count, matches]))
            checked += 1
            if problems:
                failures += 1
                print("%s: %r / %r: %s" % (os.path.basename(files[-1]), row["hyp"], row["ref"], "; ".join(problems)))
    print("%d segment pairs checked, %d differ" % (checked, failures))
    if checked < 200:
        print("too few segment pairs: the corpus was not read")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
