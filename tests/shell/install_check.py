#!/usr/bin/env python3
"""Installs the build into a fresh prefix and checks the menu entry, the icons and the programs.

usage: install_check.py <cmake> <build dir> <expect LexmoraCT: 0|1> <examples dir>
"""
import configparser
import os
import shutil
import struct
import subprocess
import sys
import tempfile


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is no PNG")
    return struct.unpack(">II", head[16:24])


def main():
    cmake, build, expect_gui, examples = sys.argv[1], sys.argv[2], sys.argv[3] == "1", sys.argv[4]
    failures = []
    prefix = tempfile.mkdtemp(prefix="lexmora-install-")
    try:
        subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        desktop = os.path.join(prefix, "share/applications/lexmora-ct.desktop")
        entry = configparser.RawConfigParser(strict=True)
        entry.optionxform = str
        with open(desktop, encoding="utf-8") as f:
            entry.read_file(f)
        d = entry["Desktop Entry"]
        for key, want in {"Type": "Application", "Exec": "LexmoraCT", "Icon": "lexmora-ct",
                          "Terminal": "false", "StartupWMClass": "LexmoraCT"}.items():
            if d.get(key) != want:
                failures.append(f"{key}={d.get(key)!r}, expected {want!r}")
        if not d.get("Categories", "").endswith(";") or "Office" not in d["Categories"].split(";"):
            failures.append("Categories must list Office and end with ';': " + d.get("Categories", ""))
        for size in (48, 64, 128, 256):
            png = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/lexmora-ct.png")
            if not os.path.isfile(png) or png_size(png) != (size, size):
                failures.append(f"icon {size}x{size} missing or of another size")
        svg = os.path.join(prefix, "share/icons/hicolor/scalable/apps/lexmora-ct.svg")
        if not os.path.isfile(svg) or b"<svg" not in open(svg, "rb").read():
            failures.append("scalable icon missing")
        programs = ["lexmora-compare"] + (["LexmoraCT"] if expect_gui else [])
        for program in programs:
            path = os.path.join(prefix, "bin", program)
            if not os.access(path, os.X_OK):
                failures.append(program + " not installed as an executable")
        # The installed command-line tool keeps its files in the user's folders, not in the prefix.
        home = os.path.join(prefix, "home")
        os.makedirs(home)
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"))
        name = "Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff"
        broken = os.path.join(home, "broken.sdlxliff")  # its reader logs why it is refused
        with open(broken, "w") as f:
            f.write("<xliff")
        subprocess.run([os.path.join(prefix, "bin/lexmora-compare"), "-q", "-s", broken, "-s",
                        os.path.join(examples, "before", name),
                        "-e", os.path.join(examples, "after", name), "-o", os.path.join(home, "out")],
                       check=True, env=env, stdout=subprocess.DEVNULL)
        if not os.path.isfile(os.path.join(home, "data/LexmoraCT/Logs/lexmora-compare.log")):
            failures.append("the installed tool's log is not in the user's data folder")
        stray = [n for n in os.listdir(os.path.join(prefix, "bin")) if n not in programs]
        if stray:
            failures.append("written beside the installed programs: " + ", ".join(stray))
    finally:
        shutil.rmtree(prefix, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    print("install check:", "ok" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
