#!/usr/bin/python3
"""glyphicon make against ImageMagick's convert: speed and quality.

Makes a 1024 x 1024 RGBA picture (photo-like shading inside a disc with a
half-transparent centre, on a transparent ground), then, alternating the
two so that both see the same machine, runs N times each

  glyphicon make OUT.ico IN.png
  convert IN.png -define icon:auto-resize=256,64,48,40,32,24,20,16 OUT.ico

and prints the mean wall time of each and their ratio on one line. Then it
reads every size of both icon files with Pillow and prints, per size, the
mean difference per channel from Pillow's LANCZOS resize of the picture
(R G B weighted by alpha, then alpha): lower is closer.

  /usr/bin/python3 bench/make_imagemagick.py [GLYPHICON] [RUNS]

GLYPHICON defaults to build/release/tools/glyphicon/glyphicon: a native
release build (cmake --preset release && cmake --build --preset release).
"""
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from resample_pillow import SIZES, disc, photo  # noqa: E402


def picture():
    im = photo()
    im.putalpha(disc().getchannel("A"))
    return im


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def difference(a, b):
    """Mean |a - b| per channel: R G B premultiplied by alpha, and alpha."""
    pa, pb = a.tobytes(), b.tobytes()
    sums = [0.0] * 4
    for i in range(0, len(pa), 4):
        for k in range(3):
            sums[k] += abs(pa[i + k] * pa[i + 3] - pb[i + k] * pb[i + 3]) / 255.0
        sums[3] += abs(pa[i + 3] - pb[i + 3])
    return [s / (len(pa) // 4) for s in sums]


def sizes_of(path):
    ico = Image.open(path)
    return {size: ico.ico.getimage((size, size)).convert("RGBA") for size in SIZES}


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else "build/release/tools/glyphicon/glyphicon"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    im = picture()
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in.png")
        im.save(source)
        ours_path = os.path.join(folder, "ours.ico")
        theirs_path = os.path.join(folder, "magick.ico")
        ours_cmd = [tool, "make", ours_path, source]
        theirs_cmd = ["convert", source, "-define", "icon:auto-resize=256,64,48,40,32,24,20,16", theirs_path]
        ours_time = theirs_time = 0.0
        for _ in range(runs):
            ours_time += timed(ours_cmd)
            theirs_time += timed(theirs_cmd)
        ours_ms, theirs_ms = 1000 * ours_time / runs, 1000 * theirs_time / runs
        print(f"make 8 sizes from 1024x1024, {runs} runs each: glyphicon {ours_ms:.1f} ms, "
              f"convert {theirs_ms:.1f} ms, glyphicon is {theirs_ms / ours_ms:.2f}x faster")
        print("mean |icon - Pillow LANCZOS| per channel (R G B premultiplied, A): glyphicon | convert")
        ours, theirs = sizes_of(ours_path), sizes_of(theirs_path)
        totals = [0.0, 0.0]
        for size in SIZES:
            reference = im.resize((size, size), Image.LANCZOS)
            a, b = difference(ours[size], reference), difference(theirs[size], reference)
            totals[0] += sum(a) / 4
            totals[1] += sum(b) / 4
            print(f"  {size:4d}  " + " ".join(f"{v:5.2f}" for v in a) + "  |  " + " ".join(f"{v:5.2f}" for v in b))
        print(f"  mean  {totals[0] / len(SIZES):5.2f}  |  {totals[1] / len(SIZES):5.2f}")


if __name__ == "__main__":
    main()
