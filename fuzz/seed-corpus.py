#!/usr/bin/env python3
"""Fills fuzzing corpus folders, one per fuzz target, outside the repository.

Every folder starts with the project's own seeds (fuzz/seeds/<target>/) and then gets inputs made
from the shared corpus of real files, in the form each target reads: documents as they are, memoQ
and Memsource documents behind their selector byte, segment elements cut out of SDLXLIFF documents,
packages as they are and the unpacked project folder zipped. The corpus files are only read; the
folders written are the fuzzer's working corpora, never part of the repository.

    fuzz/seed-corpus.py OUT_DIR [--corpus DIR]
"""
import argparse
import hashlib
import io
import pathlib
import re
import shutil
import sys
import zipfile

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent

# Target name -> the folder of its own seeds below fuzz/seeds/.
TARGETS = {
    "fuzz_sdlxliff_reader": "sdlxliff_reader",
    "fuzz_segment_rereading": "segment_rereading",
    "fuzz_memoq_memsource_readers": "memoq_memsource_readers",
    "fuzz_archive_extract": "archive_extract",
    "fuzz_tag_markup": "tag_markup",
    "fuzz_xlsx_cells": "xlsx_cells",
    "fuzz_xliff_reader": "xliff_reader",
    "fuzz_sliced_reading": "sliced_reading",
}

MEMOQ_SELECTOR = b"0"      # even first byte: the memoQ reader
MEMSOURCE_SELECTOR = b"1"  # odd first byte: the Memsource reader
# fuzz_sliced_reading: bits 0-1 pick the reader, the higher bits the slice size.
SLICED_SDL_SELECTORS = (b"\x00", b"\x43")
SLICED_MEMOQ_SELECTOR = b"\x01"
SLICED_MEMSOURCE_SELECTOR = b"\x02"
PLAIN_XLIFF_SELECTOR = b"0"  # fuzz_xliff_reader: even first byte, the plain XLIFF reader
SMALL_DOCUMENT = 65536
SEGMENTS_PER_DOCUMENT = 40
SEGMENT_ELEMENT = re.compile(rb"<(seg-source|target)\b[^>]*>.*?</\1>", re.S)
TAG = re.compile(rb"<[^>]*>")


def find_corpus(given):
    if given:
        return pathlib.Path(given)
    # The corpus lies beside the repository, or one level further up for a worktree.
    for candidate in (REPO.parent / "shared" / "corpus", REPO.parent.parent / "shared" / "corpus"):
        if candidate.is_dir():
            return candidate
    return None


class Sink:
    """One target's folder; inputs are named by content so reruns add nothing twice."""

    def __init__(self, folder):
        self.folder = folder
        self.folder.mkdir(parents=True, exist_ok=True)
        self.added = 0

    def add(self, data, hint):
        name = re.sub(r"[^A-Za-z0-9._-]+", "_", hint)[:60] + "-" + hashlib.sha1(data).hexdigest()[:12]
        path = self.folder / name
        if not path.exists():
            path.write_bytes(data)
            self.added += 1


def files(corpus, pattern):
    return sorted(p for p in corpus.rglob(pattern) if p.is_file())


def zipped_folder(folder):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for path in sorted(folder.rglob("*")):
            if path.is_file():
                archive.write(path, path.relative_to(folder).as_posix())
    return buffer.getvalue()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out_dir")
    parser.add_argument("--corpus", help="the shared corpus folder (default: found beside the repository)")
    args = parser.parse_args()
    out = pathlib.Path(args.out_dir).resolve()
    if out == REPO or REPO in out.parents:
        sys.exit("seed-corpus: the output folder must lie outside the repository")
    corpus = find_corpus(args.corpus)
    if corpus is None or not corpus.is_dir():
        sys.exit("seed-corpus: the shared corpus folder was not found; name it with --corpus")

    sinks = {target: Sink(out / target) for target in TARGETS}
    for target, own in TARGETS.items():
        for seed in sorted((HERE / "seeds" / own).iterdir()):
            shutil.copyfile(seed, sinks[target].folder / seed.name)

    for doc in files(corpus, "*.sdlxliff"):
        data = doc.read_bytes()
        sinks["fuzz_sdlxliff_reader"].add(data, doc.name)
        if len(data) <= SMALL_DOCUMENT:
            for selector in SLICED_SDL_SELECTORS:
                sinks["fuzz_sliced_reading"].add(selector + data, doc.name)
        for index, match in enumerate(SEGMENT_ELEMENT.finditer(data)):
            if index >= SEGMENTS_PER_DOCUMENT:
                break
            element = match.group(0)
            sinks["fuzz_segment_rereading"].add(element, doc.stem)
            text = TAG.sub(b"", element).strip()
            if text:
                # First byte: the cut length the target checks; the rest: characters to write.
                sinks["fuzz_xlsx_cells"].add(bytes([len(text) % 40]) + text, doc.stem)
    for doc in files(corpus / "mqxliff", "*"):
        sinks["fuzz_memoq_memsource_readers"].add(MEMOQ_SELECTOR + doc.read_bytes(), doc.name)
        sinks["fuzz_sliced_reading"].add(SLICED_MEMOQ_SELECTOR + doc.read_bytes(), doc.name)
    for doc in files(corpus / "mxliff", "*.mxliff"):
        sinks["fuzz_memoq_memsource_readers"].add(MEMSOURCE_SELECTOR + doc.read_bytes(), doc.name)
        sinks["fuzz_sliced_reading"].add(SLICED_MEMSOURCE_SELECTOR + doc.read_bytes(), doc.name)
    # The plain XLIFF reader gets every small document (dialects are read by their own rules) and
    # the Memsource documents once more for its XLIFF 2 branch.
    for doc in files(corpus / "sdlxliff", "*") + files(corpus / "mqxliff", "*") + files(corpus / "mxliff", "*"):
        data = doc.read_bytes()
        if len(data) <= SMALL_DOCUMENT:
            sinks["fuzz_xliff_reader"].add(PLAIN_XLIFF_SELECTOR + data, doc.name)
    for doc in files(corpus / "mxliff", "*.mxliff"):
        sinks["fuzz_xliff_reader"].add(MEMSOURCE_SELECTOR + doc.read_bytes(), doc.name)
    for package in files(corpus, "*.sdlppx") + files(corpus, "*.sdlrpx") + files(corpus, "*.mqxlz"):
        sinks["fuzz_archive_extract"].add(package.read_bytes(), package.name)
    for project in files(corpus, "*.sdlproj"):
        sinks["fuzz_archive_extract"].add(zipped_folder(project.parent), project.parent.name)

    for target, sink in sinks.items():
        total = sum(1 for _ in sink.folder.iterdir())
        print(f"{target}: {total} inputs ({sink.added} from the corpus) in {sink.folder}")


if __name__ == "__main__":
    main()
