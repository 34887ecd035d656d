#!/usr/bin/python3
"""Writes the decoder process's hard cases into a folder:

- slow.wmf: a placeable metafile of five million short lines, over which libwmf
  takes seconds;
- coefficient-bomb.jpeg: a progressive CMYK JPEG of 8000 x 8000 pixels, whose
  picture passes the decode limit's check but whose decoder keeps every scan's
  coefficients (twice the picture's bytes) besides.

usage: make_slow_samples.py FOLDER
"""
import os
import struct
import sys

from PIL import Image

out = sys.argv[1]

lines = 5000000
line_to = struct.pack("<IHhh", 5, 0x0213, 10, 20)
body = line_to * lines + struct.pack("<IH", 3, 0)
plain = struct.pack("<HHHIHIH", 1, 9, 0x300, 9 + len(body) // 2, 0, 5, 0)
head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 1440, 960, 1440, 0)
checksum = 0
for (word,) in struct.iter_unpack("<H", head):
    checksum ^= word
with open(os.path.join(out, "slow.wmf"), "wb") as f:
    f.write(head + struct.pack("<H", checksum) + plain + body)

Image.new("CMYK", (8000, 8000), (10, 20, 30, 40)).save(
    os.path.join(out, "coefficient-bomb.jpeg"), progressive=True, subsampling=0, quality=90)
