#!/usr/bin/python3
"""Reads the editor's export files with other programs' readers.

The true-colour icon, the 16-colour icon and the bitmap written by the
Windows export test must give, in Pillow, ImageMagick and icotool, the
pixels the test expected (R, G, B, A per pixel; A = 0 for a transparent
pixel), and the 16-colour icon at most 16 colours.
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

SIDE = 32
CONVERT = "convert-im6.q16"


def expected(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        data = f.read()
    assert len(data) == SIDE * SIDE * 4, name
    return [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]


def normalise(pixels):
    # A transparent pixel's colour does not matter to a reader.
    return [(0, 0, 0, 0) if p[3] == 0 else p for p in pixels]


def compare(what, got, want):
    got, want = normalise(got), normalise(want)
    bad = [i for i in range(len(want)) if got[i] != want[i]]
    if bad:
        i = bad[0]
        raise AssertionError("%s: %d pixels differ, first at (%d, %d): %r != %r"
                             % (what, len(bad), i % SIDE, i // SIDE, got[i], want[i]))
    print("ok   %s" % what)


def pillow(path):
    with Image.open(path) as im:
        if path.endswith(".ico"):
            im.size = (SIDE, SIDE)
        im = im.convert("RGBA")
        assert im.size == (SIDE, SIDE), im.size
        return list(im.getdata())


def imagemagick(path):
    raw = subprocess.run([CONVERT, path, "-depth", "8", "rgba:-"], check=True,
                         stdout=subprocess.PIPE).stdout
    assert len(raw) == SIDE * SIDE * 4, len(raw)
    return [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]


def icotool(path, depth):
    listing = subprocess.run(["icotool", "-l", path], check=True, stdout=subprocess.PIPE,
                             text=True).stdout
    assert "--width=32" in listing and "--height=32" in listing, listing
    assert "--bit-depth=%d" % depth in listing, listing
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "x.png")
        subprocess.run(["icotool", "-x", "-o", out, path], check=True)
        return pillow(out)


def colours(pixels):
    return {p[:3] for p in pixels if p[3] != 0}


def main(folder):
    truecolor = os.path.join(folder, "truecolor.ico")
    sixteen = os.path.join(folder, "16color.ico")
    bitmap = os.path.join(folder, "bitmap.bmp")
    assert os.path.getsize(truecolor) == 3262
    assert os.path.getsize(bitmap) == 4150

    want = expected(folder, "truecolor.rgba")
    assert any(p[3] == 0 for p in want) and len(colours(want)) > 4
    compare("true-colour icon, Pillow", pillow(truecolor), want)
    compare("true-colour icon, ImageMagick", imagemagick(truecolor), want)
    compare("true-colour icon, icotool", icotool(truecolor, 24), want)

    want = expected(folder, "16color.rgba")
    for reader, got in (("Pillow", pillow(sixteen)), ("ImageMagick", imagemagick(sixteen)),
                        ("icotool", icotool(sixteen, 4))):
        compare("16-colour icon, " + reader, got, want)
        assert len(colours(got)) <= 16, reader

    want = expected(folder, "bitmap.rgba")
    compare("bitmap, Pillow", pillow(bitmap), want)
    compare("bitmap, ImageMagick", imagemagick(bitmap), want)
    print("all export files read the same in every reader")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
