#!/usr/bin/env python3
"""Packs the program icon's committed PNG sizes into shell/resources/lexmora-ct.ico, the icon of
LexmoraCT.exe and of its installer. Windows (Vista on) reads PNG images inside an .ico as they are,
so no image library is needed. Run after scripts/make-app-icon.sh."""
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "shell", "resources")
SIZES = (256, 128, 64, 48)

images = [open(os.path.join(RES, f"lexmora-ct-{s}.png"), "rb").read() for s in SIZES]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in zip(SIZES, images):
    # A dimension of 256 is written as 0.
    out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
with open(os.path.join(RES, "lexmora-ct.ico"), "wb") as f:
    f.write(out + b"".join(images))
