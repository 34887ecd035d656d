#!/usr/bin/python3
"""Writes the loader's sample files into a folder, each with the pixels it must
decode to (8-bit RGB rows, top first) beside it as <name>.rgb.

The pictures are written by Pillow and ImageMagick, one metafile by pstoedit, the
other metafiles, the RLE4 bitmap and the bombs byte by byte here. Lossless samples
are checked against the pattern they were made from, the JPEG against Pillow's
decode.

usage: make_samples.py FOLDER
"""
import io
import os
import struct
import subprocess
import sys
import zlib

from PIL import Image, ImageOps

out = sys.argv[1]
W, H = 37, 23
COLOURS = [(230, 25, 75), (60, 180, 75), (255, 225, 25), (0, 130, 200), (245, 130, 48),
           (145, 30, 180), (70, 240, 240), (240, 50, 230), (210, 245, 60), (0, 0, 0),
           (255, 255, 255), (128, 128, 128)]


def path(name):
    return os.path.join(out, name)


def save_rgb(name, image):
    with open(path(name + ".rgb"), "wb") as f:
        f.write(image.convert("RGB").tobytes())


pattern = Image.new("RGB", (W, H))
pattern.putdata([COLOURS[(x // 3 + y // 2) % len(COLOURS)] for y in range(H) for x in range(W)])
for name, kwargs in [("rgb.png", {}), ("rgb24.bmp", {}), ("lzw.tiff", {"compression": "tiff_lzw"})]:
    pattern.save(path(name), **kwargs)
    save_rgb(name, pattern)
pattern.convert("P", palette=Image.Palette.ADAPTIVE).save(path("palette.gif"))
save_rgb("palette.gif", pattern)
# Interlaced: one that the program's own PNG decoder leaves to Qt's reader.
subprocess.run(["convert", path("rgb.png"), "-interlace", "PNG", path("interlaced.png")],
               check=True)
subprocess.run(["convert", path("rgb.png"), "-type", "Palette", "-compress", "RLE",
                "bmp3:" + path("rle8.rle")],
               check=True)
save_rgb("rle8.rle", pattern)

photo = Image.new("RGB", (W, H))
photo.putdata([(x * 7 % 256, y * 11 % 256, (x * y) % 256) for y in range(H) for x in range(W)])
photo.save(path("photo.jpeg"), quality=90)
save_rgb("photo.jpeg", Image.open(path("photo.jpeg")))

# Photos stored on their side with the orientation that stands them upright (6: turn a
# quarter clockwise), in the EXIF of a JPEG and the tag of a TIFF.
exif = Image.Exif()
exif[0x0112] = 6
photo.save(path("upright.jpeg"), quality=90, exif=exif)
save_rgb("upright.jpeg", ImageOps.exif_transpose(Image.open(path("upright.jpeg"))))
pattern.save(path("upright.tiff"), tiffinfo={274: 6})
save_rgb("upright.tiff", pattern.transpose(Image.Transpose.ROTATE_270))

# Whole pictures that their readers merely warn about: junk before the JPEG's end marker,
# a GIF without its trailer.
jpeg = open(path("photo.jpeg"), "rb").read()
open(path("junk-before-end.jpeg"), "wb").write(jpeg[:-2] + b"\x55\x55" + jpeg[-2:])
save_rgb("junk-before-end.jpeg", Image.open(path("photo.jpeg")))
open(path("no-trailer.gif"), "wb").write(open(path("palette.gif"), "rb").read()[:-1])
save_rgb("no-trailer.gif", pattern)

# Transparency: alpha falls with x; over black a pixel keeps colour * alpha / 255.
rgba = Image.new("RGBA", (W, H))
rgba.putdata([COLOURS[(x // 3 + y // 2) % len(COLOURS)] + (x * 255 // (W - 1),)
              for y in range(H) for x in range(W)])
rgba.save(path("alpha.png"))
save_rgb("alpha.png", Image.frombytes("RGB", (W, H), bytes(
    (c * a + 127) // 255 for r, g, b, a in rgba.getdata() for c in (r, g, b))))

square = pattern.resize((32, 32), Image.Resampling.NEAREST)
square.save(path("square.png"))
subprocess.run(["convert", path("square.png"), "ico:" + path("icon.ico")], check=True)
save_rgb("icon.ico", square)
cursor = bytearray(open(path("icon.ico"), "rb").read())
cursor[2] = 2  # the directory's type: a cursor
open(path("cursor.cur"), "wb").write(cursor)
save_rgb("cursor.cur", square)

# RLE4: 8 x 2 pixels, bottom row first; a run, an absolute run, end of line, end.
rle4 = bytes([4, 0x12, 0, 4, 0x34, 0x56, 0, 0,   # row 1: 1 2 1 2 | 3 4 5 6
              8, 0x77, 0, 1])                    # row 0: 7 x 8, end of bitmap
palette4 = [COLOURS[i % len(COLOURS)] for i in range(16)]
info = struct.pack("<IiiHHIIiiII", 40, 8, 2, 1, 4, 2, len(rle4), 2835, 2835, 16, 0)
colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette4)
offset = 14 + len(info) + len(colours)
open(path("rle4.bmp"), "wb").write(
    b"BM" + struct.pack("<IHHI", offset + len(rle4), 0, 0, offset) + info + colours + rle4)
with open(path("rle4.bmp.rgb"), "wb") as f:
    f.write(bytes(c for i in [7] * 8 + [1, 2, 1, 2, 3, 4, 5, 6] for c in palette4[i]))


def wmf(name, box, inch, records, largest=None):
    """A placeable metafile: the placeable header, the plain header (naming the largest
    record, or `largest` words), the records."""
    params = [(fn, p if isinstance(p, bytes) else struct.pack("<%dh" % len(p), *p))
              for fn, p in records + [(0, ())]]
    body = b"".join(struct.pack("<IH", 3 + len(p) // 2, fn) + p for fn, p in params)
    largest = largest or max(3 + len(p) // 2 for _, p in params)
    plain = struct.pack("<HHHIHIH", 1, 9, 0x300, 9 + len(body) // 2, 2, largest, 0)
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, *box, inch, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", head):
        checksum ^= word
    open(path(name), "wb").write(head + struct.pack("<H", checksum) + plain + body)


RED_BRUSH = (0x02FC, (0, 0x00FF, 0, 0))  # solid, colour 0x000000FF
NULL_PEN = (0x02FA, (5, 0, 0, 0, 0))
SELECT = [(0x012D, (0,)), (0x012D, (1,))]


def rectangle(left, top, right, bottom):
    return (0x041B, (bottom, right, top, left))


# One inch by two thirds (96 x 64 pixels), a red rectangle over 24..48 x 16..32.
wmf("rect.wmf", (0, 0, 1440, 960), 1440,
    [RED_BRUSH, SELECT[0], NULL_PEN, SELECT[1], rectangle(360, 240, 720, 480)])
# The same picture in a logical window of its own.
wmf("window.wmf", (0, 0, 1440, 960), 1440,
    [(0x020B, (0, 0)), (0x020C, (64, 100)), RED_BRUSH, SELECT[0], NULL_PEN, SELECT[1],
     rectangle(25, 16, 50, 32)])
# The same picture in a window whose y grows upwards.
wmf("flipped.wmf", (0, 0, 1440, 960), 1440,
    [(0x020B, (64, 0)), (0x020C, (-64, 100)), RED_BRUSH, SELECT[0], NULL_PEN, SELECT[1],
     rectangle(25, 48, 50, 32)])
# 30 m square at one unit per inch: 113386 pixels a side.
wmf("bomb.wmf", (0, 0, 1181, 1181), 1, [RED_BRUSH, SELECT[0], rectangle(0, 0, 1181, 1181)])
# A small picture with a bitmap whose header claims 20000 x 20000 in a few bytes of RLE8.
dib = struct.pack("<IiiHHIIiiII", 40, 20000, 20000, 1, 8, 1, 2, 0, 0, 2, 0) + bytes(8) + b"\0\1"
wmf("bitmap-bomb.wmf", (0, 0, 1440, 960), 1440,
    [(0x0F43, struct.pack("<IH8h", 0x00CC0020, 0, 20000, 20000, 0, 0, 960, 1440, 0, 0) + dib)])
# The same bitmap after a long end record, which the metafile reader reads past.
wmf("bitmap-after-end.wmf", (0, 0, 1440, 960), 1440,
    [(0, (0, 0)), (0x0F43, struct.pack("<IH8h", 0x00CC0020, 0, 20000, 20000, 0, 0, 960, 1440, 0, 0)
                   + dib)])
# A bitmap of 2^31 x 2^31 pixels, whose bytes do not fit in 64 bits.
dib = struct.pack("<IiiHHIIiiII", 40, -2**31, -2**31, 1, 24, 0, 0, 0, 0, 0, 0) + bytes(4)
wmf("bitmap-overflow.wmf", (0, 0, 1440, 960), 1440,
    [(0x0B41, struct.pack("<I8h", 0x00CC0020, 2, 2, 0, 0, 960, 1440, 0, 0) + dib)])
# A 2 x 2 bitmap stretched over 11000 x 11552 pixels, most of them outside the picture.
dib = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0) + bytes(16)
wmf("stretch-bomb.wmf", (0, 0, 160, 120), 192,
    [(0x0B41, struct.pack("<I8h", 0x00CC0020, 2, 2, 0, 0, -23105, 22001, 0, 40) + dib)])
# The same bitmap mirrored (negative extents) into a small destination: the metafile
# reader would spin on it for a minute.
wmf("mirrored-bitmap.wmf", (0, 0, 160, 120), 192,
    [(0x0B41, struct.pack("<I8h", 0x00CC0020, 2, 2, 0, 0, -50, -81, -31, -41) + dib)])
# Found by fuzzing: records after which the metafile reader asks for 2 GB for a 2 x 2 bitmap.
open(path("reader-bomb.wmf"), "wb").write(bytes.fromhex(
    "d7cdc69a000000000000a0007800c003000000000954010009000003510000000100290000000000050000002c02"
    "0000140029000000410b2000cc0002000200000000003c0050001e0028002800000002000000020000000100"
    "1800000000001000000000000000000000000000002c0000000000ff0000ff000000ffffff00ffff0000030000"
    "000000"))
# Found by fuzzing: a header whose description has no length, which the converter reads
# up to a terminator the file does not hold.
open(path("description-unbounded.emf"), "wb").write(bytes.fromhex(
    "010000006c00000000000000000000000b00000000006b0000000000000000003d010000ed00000020454d46"
    "00000100580200000400000001000000000000003d010000ed00000020454d46000001005802000004000000"
    "010000000000000000000000000000008007000038040000fc0100001d0100000000000031000000000000c3"
    "60c00700365c04004f000000bc01000000000000000000000b17186f6e20bf28e2d428e2e90020454d460000"
    "01005802000004000000010000000000000000000000000000008007000038040000fc0100001d0100000000"
    "000031000000000000c360c00700365c04004f000000bc01000000000000000000000b17186f6e20bf28e2d4"
    "28e2e928c60028c61528c62a28c63f28c65528c66a28dddd28c60028c61528c62a28c63f28c65528c66a28dd"
    "dddddddddddddddddddddddddddddddddddddd0b00ffd8ffe000104a46494600010101006000600000ffdb00"
    "43000503040404030c1111dddd"))
# A bitmap whose header gives its own size as 0, on which the metafile reader spins.
dib = struct.pack("<IiiHHIIiiII", 0, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0) + bytes(16)
wmf("bitmap-header-zero.wmf", (0, 0, 1440, 960), 1440,
    [(0x0B41, struct.pack("<I8h", 0x00CC0020, 2, 2, 0, 0, 960, 1440, 0, 0) + dib)])
# A plain header naming a record of 4 GB, which the metafile reader would make room for.
wmf("record-bomb.wmf", (0, 0, 1440, 960), 1440, [RED_BRUSH, SELECT[0]], largest=0x7A000029)


def emf(name, size, records, frame=None):
    """An enhanced metafile of `size` pixels (or in `frame`, 0.01 mm: left, top, right,
    bottom) holding `records` and the end record, at 96 dpi."""
    w, h = size
    hmm = lambda pixels: (pixels * 2540 + 48) // 96
    end = struct.pack("<IIIII", 14, 20, 0, 16, 20)
    head = struct.pack("<II4i4iIIIIHHIII2i2iIII2i", 1, 108, 0, 0, w - 1, h - 1,
                       *(frame or (0, 0, hmm(w) - 1, hmm(h) - 1)), 0x464D4520, 0x10000,
                       108 + sum(map(len, records)) + len(end), len(records) + 2, 1, 0, 0, 0,
                       0, 1920, 1080, 508, 285, 0, 0, 0, 508000, 285750)
    open(path(name), "wb").write(head + b"".join(records) + end)


def stretch_dib(size, bits, dib_size=None, bpp=24, colours=()):
    """A stretch-DIB record drawing a bitmap of `size` (whose header may claim
    `dib_size`) over a picture of that size."""
    w, h = size
    dib = struct.pack("<IiiHHIIiiII", 40, *(dib_size or size), 1, bpp, 0, len(bits), 3780, 3780,
                      len(colours), 0) + b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    return struct.pack("<II4i4i2iIIIIII2i", 81, 80 + len(dib) + len(bits), 0, 0, w - 1, h - 1,
                       0, 0, 0, 0, w, h, 80, len(dib), 80 + len(dib), len(bits), 0,
                       0x00CC0020, w, h) + dib + bits


def emf_of(name, image, frame=None, dib_size=None):
    """An enhanced metafile with one stretch-DIB record of the picture, drawn at its size
    (or in `frame`); `dib_size` overrides what the bitmap's header claims."""
    w, h = image.size
    stride = (w * 3 + 3) // 4 * 4
    bits = b"".join(image.crop((0, y, w, y + 1)).tobytes("raw", "BGR").ljust(stride, b"\0")
                    for y in range(h - 1, -1, -1))
    emf(name, image.size, [stretch_dib(image.size, bits, dib_size)], frame)
    if not (frame or dib_size):
        save_rgb(name, image)


emf_of("picture.emf", pattern)
# pstoedit's metafiles set the anisotropic mapping mode and never its extents: a page of
# 72 x 48 points filled red.
subprocess.run(["pstoedit", "-q", "-f", "emf:-OO", "-", path("pstoedit.emf")], check=True,
               input=b"%!PS\n%%BoundingBox: 0 0 72 48\n1 0 0 setrgbcolor 0 0 72 48 rectfill\n")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


# A PNG whose header claims 60000 x 60000; its data would fill 500 rows, 120 MB decoded.
squash, row, data = zlib.compressobj(9), bytes(1 + 60000 * 3), []
for _ in range(500):
    data.append(squash.compress(row))
data.append(squash.flush(zlib.Z_SYNC_FLUSH))
open(path("bomb.png"), "wb").write(
    b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", 60000, 60000, 8, 2, 0, 0, 0))
    + png_chunk(b"IDAT", b"".join(data)))


# --- Headers claiming enormous sizes over a few bytes of data (huge-*), and one at the
# caller's limit (limit-*: 16384 pixels wide, as many rows as the decode limit holds), each
# named by what it claims.
def png_claiming(name, width, height):
    open(path(name), "wb").write(
        b"\x89PNG\r\n\x1a\n"
        + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
        + png_chunk(b"IDAT", zlib.compress(bytes(64))) + png_chunk(b"IEND", b""))


png_claiming("huge-2147483647x1.png", 2**31 - 1, 1)
png_claiming("huge-2147483647-square.png", 2**31 - 1, 2**31 - 1)
png_claiming("huge-1000000-square.png", 1000000, 1000000)
png_claiming("huge-16000-square.png", 16000, 16000)
png_claiming("limit-16384x4096.png", 16384, 4096)


def bmp_claiming(name, width, height, bits=24, compression=0):
    """A negative height is a bitmap stored top-down."""
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, 0, 2835, 2835,
                       0, 0)
    palette = bytes(4 * 256) if bits == 8 else b""
    data = bytes([2, 1, 0, 0, 0, 1]) if compression else bytes(64)
    offset = 14 + len(info) + len(palette)
    open(path(name), "wb").write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
                                 + info + palette + data)


bmp_claiming("huge-topdown-8000.bmp", 8000, -8000)
bmp_claiming("huge-topdown-16384.bmp", 16384, -16384)
bmp_claiming("huge-topdown-100000.bmp", 100000, -100000)
bmp_claiming("huge-topdown-int-min.bmp", 2000, -2**31)
bmp_claiming("huge-2147483647-wide.bmp", 2**31 - 1, 1)
bmp_claiming("huge-rle8-30000.rle", 30000, 30000, bits=8, compression=1)
bmp_claiming("limit-topdown-16384x4096.bmp", 16384, -4096)


def gif_claiming(name, screen, frame):
    """A two-colour GIF: its logical screen, one frame of one pixel's worth of data."""
    open(path(name), "wb").write(
        b"GIF89a" + struct.pack("<HHBBB", *screen, 0x80, 0, 0) + bytes(3) + b"\xff" * 3
        + b"," + struct.pack("<HHHHB", 0, 0, *frame, 0) + bytes([2, 2, 0x44, 1, 0]) + b";")


gif_claiming("huge-65535-square.gif", (65535, 65535), (65535, 65535))
gif_claiming("huge-frame-on-small-screen.gif", (16, 16), (65535, 65535))
gif_claiming("limit-16384x4096.gif", (16384, 4096), (16384, 4096))


def jpeg_claiming(name, width, height):
    """photo.jpeg with its frame header claiming another size."""
    jpeg = bytearray(open(path("photo.jpeg"), "rb").read())
    sof = jpeg.index(b"\xff\xc0")
    jpeg[sof + 5:sof + 9] = struct.pack(">HH", height, width)
    open(path(name), "wb").write(jpeg)


jpeg_claiming("huge-65500-square.jpeg", 65500, 65500)
jpeg_claiming("limit-16384x4096.jpg", 16384, 4096)


def tiff_claiming(name, width, height):
    """An uncompressed 8-bit grey TIFF of one strip holding 64 bytes."""
    strip = 8 + 2 + 12 * 9 + 4  # behind the header and the directory of nine tags
    tags = [(256, 4, width), (257, 4, height), (258, 3, 8), (259, 3, 1), (262, 3, 1),
            (273, 4, strip), (277, 3, 1), (278, 4, height), (279, 4, 64)]
    ifd = struct.pack("<H", len(tags)) + b"".join(
        struct.pack("<HHI", tag, kind, 1)
        + (struct.pack("<I", value) if kind == 4 else struct.pack("<HH", value, 0))
        for tag, kind, value in tags) + struct.pack("<I", 0)
    open(path(name), "wb").write(b"II*\0" + struct.pack("<I", 8) + ifd + bytes(64))


tiff_claiming("huge-100000-square.tiff", 100000, 100000)
tiff_claiming("huge-4294967295-square.tif", 2**32 - 1, 2**32 - 1)
tiff_claiming("huge-2147483648x1.tif", 2**31, 1)

# Metafiles whose frames are kilometres wide: 65535 inches (1.7 km) at one unit per inch,
# and 21 km (2^31 hundredths of a millimetre), and 43 km from the most negative edge.
wmf("huge-1.7km.wmf", (-32768, -32768, 32767, 32767), 1, [RED_BRUSH, SELECT[0],
                                                          rectangle(0, 0, 100, 100)])
emf_of("huge-21km.emf", pattern, frame=(0, 0, 2**31 - 1, 2**31 - 1))
emf_of("huge-43km.emf", pattern, frame=(-2**31, -2**31, 2**31 - 1, 2**31 - 1))
# An ordinary frame around a bitmap whose header claims 20000 x 20000 in 37 x 23's bytes.
emf_of("huge-bitmap-20000.emf", pattern, dib_size=(20000, 20000))

# Metafiles that libemf2svg and QSvgRenderer would take gigabytes for (about ten bytes
# a bitmap pixel, a hundred a drawing record's byte): eight bitmaps of 4000 x 4000
# pixels (16 MB), 5 MB of line records, 12 MB of polylines.
side = 4000
mono = stretch_dib((37, 23), bytes((side + 31) // 32 * 4 * side), (side, side), 1,
                   [(0, 0, 0), (255, 255, 255)])
emf("bitmaps-8x4000.emf", (37, 23), [mono] * 8)
emf("lines-5mb.emf", (37, 23), [struct.pack("<II2i", 54, 16, 5, 5)] * (5000000 // 16))
points = b"".join(struct.pack("<hh", i % 37, i * 7 % 23) for i in range(1000))
emf("polylines-12mb.emf", (37, 23),
    [struct.pack("<II4iI", 87, 28 + len(points), 0, 0, 36, 22, 1000) + points] * 3000)

# A progressive JPEG, and one whose last scan comes 2000 times more: the decoder goes
# over the whole picture once a scan, for seconds.
photo.save(path("progressive.jpeg"), quality=90, progressive=True)
save_rgb("progressive.jpeg", Image.open(path("progressive.jpeg")))
jpeg = io.BytesIO()
Image.new("L", (2184, 2184), 128).save(jpeg, "JPEG", progressive=True)
jpeg = jpeg.getvalue()
last_scan = jpeg[jpeg.rindex(b"\xff\xda"):-2]
open(path("scan-bomb.jpeg"), "wb").write(jpeg[:-2] + last_scan * 2000 + b"\xff\xd9")
