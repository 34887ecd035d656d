"""Checks that a screenshot shows, somewhere inside a box, exactly the given
rectangle of the tiled root pattern (the canvas shows a region capture 1:1).
Usage: find_crop.py SHOT PATTERN BOX_X BOX_Y BOX_W BOX_H LEFT TOP RIGHT BOTTOM
where LEFT..BOTTOM is the expected crop in root pixels, right and bottom exclusive.
With an empty crop (RIGHT <= LEFT) it checks that no pattern pixels are in the box."""
import sys

import numpy as np
from PIL import Image

shot = np.asarray(Image.open(sys.argv[1]).convert("RGB")).astype(np.int16)
tile = np.asarray(Image.open(sys.argv[2]).convert("RGB")).astype(np.int16)
bx, by, bw, bh, left, top, right, bottom = map(int, sys.argv[3:11])
box = shot[by:by + bh, bx:bx + bw]

if right <= left:
    colours = {tuple(c) for c in box.reshape(-1, 3)}
    patt = {tuple(c) for c in tile.reshape(-1, 3)}
    common = colours & patt
    print("pattern colours in the empty canvas area:", len(common))
    sys.exit(1 if common else 0)

ys = (np.arange(top, bottom) % tile.shape[0])[:, None]
xs = (np.arange(left, right) % tile.shape[1])[None, :]
want = tile[ys, xs]
h, w = want.shape[:2]
for y in range(0, bh - h + 1):
    row = box[y]
    # candidates where the first pixel matches, then a full compare
    cand = np.where((row[: bw - w + 1] == want[0, 0]).all(axis=1))[0]
    for x in cand:
        if np.array_equal(box[y:y + h, x:x + w], want):
            print(f"crop {w}x{h} found at {bx + x},{by + y}")
            sys.exit(0)
print(f"crop {w}x{h} not found")
sys.exit(1)
