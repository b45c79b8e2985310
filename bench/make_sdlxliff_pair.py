#!/usr/bin/env python3
"""Writes a large synthetic SDLXLIFF pair: a translation before editing and the same after editing.

Usage: make_sdlxliff_pair.py OUT_DIR [SEGMENTS] [SEED]
Gives OUT_DIR/before/synthetic_<n>.sdlxliff and OUT_DIR/after/synthetic_<n>.sdlxliff (en-US > de-DE).
Segments carry paired and standalone tags, match values and locks; about a third of the targets
are edited (words replaced, inserted or deleted, tags moved, no-break spaces), the rest unchanged.
"""
import os
import random
import sys

WORDS = ("die Maschine das Wasser den Tank bitte nicht immer wieder sofort langsam schnell sicher "
         "Einstellung Anzeige Fehler Kaffee Bohnen Mahlwerk Temperatur Druck Reinigung Wartung Filter "
         "Taste Menü Programm Stufe Sekunden Minuten Liter Tasse Becher Milch Schaum heiß kalt warm").split()
SRC_WORDS = ("the machine water tank please do not always again immediately slowly quickly safely setting "
             "display error coffee beans grinder temperature pressure cleaning maintenance filter button menu "
             "program level seconds minutes litre cup mug milk foam hot cold warm").split()

HEAD = """\ufeff<?xml version="1.0" encoding="utf-8"?>
<xliff xmlns:sdl="http://sdl.com/FileTypes/SdlXliff/1.0" xmlns="urn:oasis:names:tc:xliff:document:1.2" version="1.2" sdl:version="1.0">
<file original="C:\\Bench\\synthetic.docx" datatype="x-sdlfilterframework2" source-language="en-US" target-language="de-DE">
<header>
<tag-defs xmlns="http://sdl.com/FileTypes/SdlXliff/1.0">
<tag id="pt1"><bpt name="cf">&lt;cf bold="True"&gt;</bpt><ept name="cf">&lt;/cf&gt;</ept></tag>
<tag id="pt2"><bpt name="cf">&lt;cf italic="True"&gt;</bpt><ept name="cf">&lt;/cf&gt;</ept></tag>
<tag id="pt3"><ph name="br">&lt;br/&gt;</ph></tag>
<tag id="pt4"><ph name="tab">&lt;tab/&gt;</ph></tag>
</tag-defs>
</header>
<body>
"""
TAIL = "</body>\n</file>\n</xliff>\n"


def sentence(rng, words, n):
    ws = [rng.choice(words) for _ in range(n)]
    ws[0] = ws[0].capitalize()
    return ws


def with_tags(rng, ws):
    """Wraps a word run in a paired tag and puts a standalone tag somewhere."""
    ws = list(ws)
    if len(ws) > 4 and rng.random() < 0.6:
        i = rng.randrange(len(ws) - 2)
        tag = rng.choice(("pt1", "pt2"))
        ws[i] = '<g id="%s">%s' % (tag, ws[i])
        ws[i + 1] = ws[i + 1] + "</g>"
    if rng.random() < 0.3:
        ws.insert(rng.randrange(len(ws)), '<x id="%s"/>' % rng.choice(("pt3", "pt4")))
    return " ".join(ws) + "."


def edit(rng, ws):
    ws = list(ws)
    for _ in range(rng.randint(1, 3)):
        op = rng.random()
        i = rng.randrange(len(ws))
        if op < 0.4:
            ws[i] = rng.choice(WORDS)
        elif op < 0.6:
            ws.insert(i, rng.choice(WORDS))
        elif op < 0.8 and len(ws) > 3:
            del ws[i]
        else:
            ws[i] = ws[i] + "\u00a0" + rng.choice(WORDS)
    return ws


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 50000
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261209)
    name = "synthetic_%d.sdlxliff" % count
    os.makedirs(os.path.join(out, "before"), exist_ok=True)
    os.makedirs(os.path.join(out, "after"), exist_ok=True)
    with open(os.path.join(out, "before", name), "w", encoding="utf-8") as before, \
            open(os.path.join(out, "after", name), "w", encoding="utf-8") as after:
        before.write(HEAD)
        after.write(HEAD)
        for n in range(1, count + 1):
            length = rng.randint(4, 30)
            src_ws = sentence(rng, SRC_WORDS, length)
            tr_ws = sentence(rng, WORDS, length)
            ed_ws = edit(rng, tr_ws) if rng.random() < 0.35 else tr_ws
            tag_rng = random.Random(n)
            src = with_tags(random.Random(n), src_ws)
            tr = with_tags(tag_rng, tr_ws)
            ed = with_tags(random.Random(n), ed_ws)
            percent = rng.choice((None, None, "100", "95", "80"))
            locked = ' locked="true"' if rng.random() < 0.05 else ""
            seg = '<sdl:seg id="1" conf="Translated"%s%s/>' % (' percent="%s"' % percent if percent else "", locked)
            for f, text in ((before, tr), (after, ed)):
                f.write('<trans-unit id="u%d">\n<source>%s</source>\n'
                        '<seg-source><mrk mtype="seg" mid="1">%s</mrk></seg-source>\n'
                        '<target><mrk mtype="seg" mid="1">%s</mrk></target>\n'
                        '<sdl:seg-defs>%s</sdl:seg-defs>\n</trans-unit>\n' % (n, src, src, text, seg))
        before.write(TAIL)
        after.write(TAIL)
    print(os.path.join(out, "before", name))
    print(os.path.join(out, "after", name))


if __name__ == "__main__":
    main()
