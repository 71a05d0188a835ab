#!/usr/bin/env bash
# Regenerates the .bmp samples that the image tests read: the same 5 x 3
# picture written by Pillow and by ImageMagick at every depth they offer,
# plus a top-down copy of each, and expected.txt with the colours Pillow
# decodes from every file ("name r,g,b r,g,b ..." in row order, top first).
set -euo pipefail
cd "$(dirname "$0")"
rm -f *.bmp expected.txt
/usr/bin/python3 - <<'PY'
from PIL import Image
im = Image.new('RGB', (5, 3))
cols = [(255,0,0),(0,255,0),(0,0,255),(255,255,255),(0,0,0),(192,192,192),(10,20,30),(200,100,50)]
for y in range(3):
    for x in range(5):
        im.putpixel((x, y), cols[(x + 2 * y) % len(cols)])
im.save('/tmp/glyph-bmp-src.png')
im.convert('1').save('pil_1.bmp')
im.convert('P', palette=Image.ADAPTIVE, colors=200).save('pil_8.bmp')
im.save('pil_24.bmp')
im.convert('RGBA').save('pil_32.bmp')
PY
src=/tmp/glyph-bmp-src.png
convert-im6.q16 "$src" -colors 2 -type bilevel BMP3:im_1.bmp
convert-im6.q16 "$src" -type Palette BMP3:im_4.bmp
convert-im6.q16 "$src" -type truecolor BMP3:im_24.bmp
convert-im6.q16 "$src" -type TrueColorAlpha BMP:im_32.bmp
/usr/bin/python3 - <<'PY'
import glob, struct
from PIL import Image
# Top-down copies: negative height, rows reversed.
for name in sorted(glob.glob('*.bmp')):
    d = bytearray(open(name, 'rb').read())
    off = struct.unpack_from('<I', d, 10)[0]
    w, h = struct.unpack_from('<ii', d, 18)
    bpp = struct.unpack_from('<H', d, 28)[0]
    row = ((bpp * w + 31) // 32) * 4
    rows = [d[off + i * row: off + (i + 1) * row] for i in range(h)]
    struct.pack_into('<i', d, 22, -h)
    d[off:off + row * h] = b''.join(reversed(rows))
    open(name.replace('.bmp', '_topdown.bmp'), 'wb').write(d)
with open('expected.txt', 'w') as out:
    for name in sorted(glob.glob('*.bmp')):
        im = Image.open(name).convert('RGB')
        px = ' '.join('%d,%d,%d' % im.getpixel((x, y)) for y in range(im.height) for x in range(im.width))
        out.write('%s %s\n' % (name, px))
PY
