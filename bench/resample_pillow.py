#!/usr/bin/python3
"""Compares the icon resampler with Pillow's LANCZOS resize.

Makes three 1024 x 1024 test pictures (photo-like shading with noise, a
coloured disc on a transparent ground, black line art on white), resizes
each with Pillow and with resample_bench's raw converter to every icon size,
and prints the mean absolute difference per channel (0..255).

  /usr/bin/python3 bench/resample_pillow.py [RESAMPLE_BENCH] [MODE...]

RESAMPLE_BENCH defaults to build/host/bench/resample_bench; MODE is one of
the converter's modes (quality by default), so kernels can be compared.
"""
import math
import os
import random
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw

SIDE = 1024
SIZES = [16, 20, 24, 32, 40, 48, 64, 256]


def photo():
    rng = random.Random(7)
    data = bytearray()
    for y in range(SIDE):
        for x in range(SIDE):
            n = rng.randrange(-24, 25)
            r = 128 + 100 * math.sin(x / 97.0) * math.cos(y / 131.0) + n
            g = (x + y) * 255 / (2 * SIDE) + n
            b = 255 - y * 255 / SIDE + n / 2
            data += bytes(max(0, min(255, int(v))) for v in (r, g, b)) + b"\xff"
    return Image.frombytes("RGBA", (SIDE, SIDE), bytes(data))


def disc():
    im = Image.new("RGBA", (SIDE, SIDE), (0, 0, 0, 0))
    draw = ImageDraw.Draw(im)
    draw.ellipse((112, 112, 912, 912), fill=(230, 120, 20, 255))
    draw.ellipse((362, 362, 662, 662), fill=(40, 90, 220, 160))
    return im


def line_art():
    im = Image.new("RGBA", (SIDE, SIDE), (255, 255, 255, 255))
    draw = ImageDraw.Draw(im)
    for i in range(0, SIDE, 64):
        draw.line((i, 0, SIDE - 1 - i, SIDE - 1), fill=(0, 0, 0, 255), width=3)
    draw.rectangle((200, 200, 823, 823), outline=(0, 0, 0, 255), width=8)
    draw.ellipse((300, 300, 723, 723), outline=(200, 0, 0, 255), width=4)
    return im


def ours(tool, folder, im, size, mode):
    src = os.path.join(folder, "in.rgba")
    dst = os.path.join(folder, "out.rgba")
    with open(src, "wb") as f:
        f.write(im.tobytes())
    subprocess.run([tool, "convert", src, str(SIDE), str(SIDE), dst, str(size), str(size), mode], check=True)
    with open(dst, "rb") as f:
        return f.read()


def mean_diff(a, b):
    """Straight RGBA, then R G B weighted by alpha (premultiplied): the
    second is what shows on screen, where the first also counts colour
    differences in nearly transparent pixels (Pillow premultiplies in 8 bits,
    so its colours there are coarse)."""
    sums = [0.0] * 7
    for i in range(0, len(a), 4):
        for k in range(4):
            sums[k] += abs(a[i + k] - b[i + k])
        for k in range(3):
            sums[4 + k] += abs(a[i + k] * a[i + 3] - b[i + k] * b[i + 3]) / 255.0
    return [s / (len(a) // 4) for s in sums]


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else "build/host/bench/resample_bench"
    modes = sys.argv[2:] or ["quality"]
    pictures = [("photo", photo()), ("disc", disc()), ("line art", line_art())]
    with tempfile.TemporaryDirectory() as folder:
        for mode in modes:
            print(f"mode {mode}: mean |ours - Pillow LANCZOS| per channel: R G B A straight | R G B premultiplied")
            for name, im in pictures:
                for size in SIZES:
                    theirs = im.resize((size, size), Image.LANCZOS).tobytes()
                    d = mean_diff(ours(tool, folder, im, size, mode), theirs)
                    print(f"  {name:9s} {size:4d}  " + " ".join(f"{v:5.2f}" for v in d[:4]) + " | " + " ".join(f"{v:5.2f}" for v in d[4:]))


if __name__ == "__main__":
    main()
