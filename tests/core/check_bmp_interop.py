#!/usr/bin/python3
"""Reads the .bmp that the image tests wrote with Pillow and ImageMagick and
checks both see the pixels the test meant."""
import subprocess
import sys

from PIL import Image

bmp, txt = sys.argv[1], sys.argv[2]
expected = [tuple(int(c) for c in px.split(',')) for line in open(txt) for px in line.split()]

im = Image.open(bmp).convert('RGB')
assert im.size == (32, 32), im.size
pil = [im.getpixel((x, y)) for y in range(32) for x in range(32)]
assert pil == expected, 'Pillow reads other pixels'

# ImageMagick's plain-text dump: "x,y: (r,g,b) ..." one line per pixel.
out = subprocess.run(['convert-im6.q16', bmp, '-depth', '8', 'txt:-'], check=True,
                     capture_output=True, text=True).stdout
magick = {}
for line in out.splitlines()[1:]:
    pos, rest = line.split(':', 1)
    x, y = (int(v) for v in pos.split(','))
    values = rest.split('(')[1].split(')')[0].split(',')
    magick[(x, y)] = tuple(int(round(float(v))) for v in values[:3])
assert [magick[(x, y)] for y in range(32) for x in range(32)] == expected, 'ImageMagick reads other pixels'
print('Pillow and ImageMagick read the 32 x 32 file as written')
