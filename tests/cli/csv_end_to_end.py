#!/usr/bin/env python3
"""The per-segment CSV export (--csv) read back with Python's csv module.

Usage: csv_end_to_end.py BINARY EXAMPLES_DIR
Texts with quotes, commas, line breaks and characters beyond ASCII come back as they were written;
the file is UTF-8 with a byte-order mark and CRLF records, one record per segment of the pair, in
the report's order, with the report's row numbers and the JSON's figures.
"""
import csv
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

from checks import check, close_checks

BINARY, EXAMPLES = sys.argv[1], sys.argv[2]
COLUMNS = ["row", "document", "unit_id", "segment_id", "source_lang", "target_lang", "match", "locked", "ed_percent",
           "word_ed_percent", "ter", "chrf", "source_words", "source_characters", "band", "source_text",
           "translated_text", "edited_text"]
UNITS = [  # unit id, source, translated, edited
    ("u1", 'Say "hello", then go.', 'Sag "hallo", dann geh.', 'Sag „hallo“, und dann geh.'),
    ("u2", "Two\nlines", "Zwei\nZeilen", "Zwei\nZeilen, \"neu\""),
    ("u3", "Unchanged", "Unverändert", "Unverändert"),
    ("u4", "日本語のテキスト", "日本語の文章です", "日本語の文章"),
]


def sdlxliff(path, texts):
    body = "".join(
        '<trans-unit id="%s"><source>%s</source><seg-source><mrk mtype="seg" mid="1">%s</mrk></seg-source>'
        '<target><mrk mtype="seg" mid="1">%s</mrk></target>'
        '<sdl:seg-defs><sdl:seg id="1" conf="Translated" origin="interactive"/></sdl:seg-defs></trans-unit>\n'
        % (u, escape(s), escape(s), escape(t)) for u, s, t in texts)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<xliff xmlns:sdl="http://sdl.com/FileTypes/SdlXliff/1.0" '
                'xmlns="urn:oasis:names:tc:xliff:document:1.2" version="1.2" sdl:version="1.0">\n'
                '<file original="a.docx" datatype="x-sdlfilterframework2" source-language="en-US" '
                'target-language="ja-JP">\n<header/><body>\n%s</body></file></xliff>\n' % body)


def run(args, out):
    proc = subprocess.run([BINARY, "-q", "--json", "--csv", "-o", out] + args, capture_output=True, timeout=240,
                          stdin=subprocess.DEVNULL)
    check(proc.returncode == 0, "exit 0: %r" % proc.stderr[-300:])
    return json.loads(proc.stdout.decode("utf-8"))


def read_csv(path):
    with open(path, "rb") as f:
        raw = f.read()
    check(raw.startswith(b"\xef\xbb\xbf"), "%s: starts with the byte-order mark" % path)
    check(raw.endswith(b"\r\n") and raw.split(b"\r\n")[0].decode("utf-8-sig") == ",".join(COLUMNS),
          "%s: the column names, ended by CRLF" % path)
    rows = list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline="")))
    check(rows and rows[0] == COLUMNS, "%s: header %r" % (path, rows[:1]))
    return [dict(zip(COLUMNS, r)) for r in rows[1:]]


def main():
    work = tempfile.mkdtemp(prefix="lexmora-csv-")
    try:
        src, ed = os.path.join(work, "before"), os.path.join(work, "after")
        os.makedirs(src)
        os.makedirs(ed)
        sdlxliff(os.path.join(src, "t.sdlxliff"), [(u, s, t) for u, s, t, _ in UNITS])
        sdlxliff(os.path.join(ed, "t.sdlxliff"), [(u, s, e) for u, s, _, e in UNITS])
        summary = run(["-s", src, "-e", ed], os.path.join(work, "out"))
        pair = summary["pairs"][0]
        want = os.path.splitext(pair["report"])[0] + ".csv"
        check(pair.get("csv") == want and os.path.isfile(want), "the JSON names the file beside the report")
        records = read_csv(want)
        check(len(records) == len(UNITS) == pair["total"], "one record per segment: %d" % len(records))
        for (unit, source, translated, edited), r in zip(UNITS, records):
            check((r["unit_id"], r["source_text"], r["translated_text"], r["edited_text"]) ==
                  (unit, source, translated, edited), "%s: texts read back as written: %r" % (unit, r))
            check(r["source_lang"] == "en-US" and r["target_lang"] == "ja-JP" and r["locked"] == "0",
                  "%s: languages and lock" % unit)
            for key in ("ed_percent", "word_ed_percent", "ter", "chrf"):
                float(r[key])  # a number written with "." whatever the locale
        # The unchanged segment is not shown in the report: no row number, but measured.
        check([r["row"] for r in records] == ["1", "2", "", "3"], "row numbers: %r" % [r["row"] for r in records])
        unchanged = records[2]
        check(unchanged["ter"] == "0" and unchanged["chrf"] == "100" and unchanged["word_ed_percent"] == "100"
              and unchanged["band"] == "100", "an unchanged segment measures no edits: %r" % unchanged)
        check(sum(int(r["source_words"]) for r in records) == sum(b["words"] for b in pair["bands"]),
              "source words add up to the analysis")

        # Documents with tags: the tags as text, never as the symbols the comparison uses inside.
        summary = run(["-s", os.path.join(EXAMPLES, "before"), "-e", os.path.join(EXAMPLES, "after"), "--tags", "none"],
                      os.path.join(work, "examples"))
        for pair in summary["pairs"]:
            records = read_csv(pair["csv"])
            check(len(records) == pair["total"], "%s: one record per segment" % pair["target_lang"])
            texts = "".join(r["source_text"] + r["translated_text"] + r["edited_text"] for r in records)
            check(not any(0x0A85 <= ord(c) <= 0x10FF or 0xFE70 <= ord(c) <= 0xFEFF for c in texts), "%s: no tag symbols" % pair["target_lang"])
            check("<" in texts, "%s: the tags' display texts are there" % pair["target_lang"])
            bands = {b["band"]: b["segments"] for b in pair["bands"]}
            for band, count in bands.items():
                check(sum(r["band"] == band for r in records) == count, "%s: band %s" % (pair["target_lang"], band))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return close_checks()


if __name__ == "__main__":
    sys.exit(main())
