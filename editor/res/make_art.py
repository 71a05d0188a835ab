#!/usr/bin/python3
"""Draws the program's cursors and icons and writes them as .cur and .ico.

Run from the repository root:  /usr/bin/python3 editor/res/make_art.py
Outputs (committed): editor/res/*.cur, editor/res/*.ico.

The build draws the program's own icon:
  make_art.py --program-pictures DIR SIDE...
writes DIR/program-SIDE.png for each side, which `glyphicon make` turns
into the icon file the program carries.

Every picture is drawn at 8 times its size with Pillow and scaled down, so
edges are smooth; the files hold 32-bit images (alpha) with the 1-bit mask
plane that older readers use, rows bottom-up, as the icon format wants.
"""
import os
import struct
import sys

from PIL import Image, ImageDraw

SCALE = 8
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

OUTLINE = (32, 32, 40, 255)
WHITE = (255, 255, 255, 255)


class Canvas:
    """A drawing surface in the picture's own pixel units."""

    def __init__(self, side):
        self.side = side
        self.image = Image.new("RGBA", (side * SCALE, side * SCALE), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    def _pts(self, points):
        return [(x * SCALE, y * SCALE) for x, y in points]

    def polygon(self, points, fill, outline=None, width=1.0):
        self.draw.polygon(self._pts(points), fill=fill)
        if outline:
            pts = self._pts(points)
            self.draw.line(pts + [pts[0]], fill=outline, width=int(width * SCALE), joint="curve")

    def line(self, points, fill, width=1.0):
        self.draw.line(self._pts(points), fill=fill, width=int(width * SCALE), joint="curve")

    def ellipse(self, box, fill=None, outline=None, width=1.0):
        x0, y0, x1, y1 = box
        self.draw.ellipse([x0 * SCALE, y0 * SCALE, x1 * SCALE, y1 * SCALE], fill=fill,
                          outline=outline, width=int(width * SCALE) if outline else 0)

    def rect(self, box, fill=None, outline=None, width=1.0):
        x0, y0, x1, y1 = box
        self.draw.rectangle([x0 * SCALE, y0 * SCALE, x1 * SCALE, y1 * SCALE], fill=fill,
                            outline=outline, width=int(width * SCALE) if outline else 0)

    def result(self):
        return self.image.resize((self.side, self.side), Image.LANCZOS)


def along(p, q, t):
    return (p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t)


def offset(p, d, n):
    """p moved by n along the unit normal d."""
    return (p[0] + d[0] * n, p[1] + d[1] * n)


def diagonal_tool(c, tip, end, half, parts):
    """A tool lying from `tip` (lower left) to `end` (upper right), built of
    (t0, t1, colour, half-width scale) segments along its axis."""
    ax, ay = end[0] - tip[0], end[1] - tip[1]
    length = (ax * ax + ay * ay) ** 0.5
    nx, ny = -ay / length, ax / length
    for t0, t1, colour, w0, w1 in parts:
        a, b = along(tip, end, t0), along(tip, end, t1)
        quad = [offset(a, (nx, ny), half * w0), offset(b, (nx, ny), half * w1),
                offset(b, (nx, ny), -half * w1), offset(a, (nx, ny), -half * w0)]
        c.polygon(quad, colour, OUTLINE, 0.9)


def pencil():
    c = Canvas(32)
    tip, end = (1.5, 30.5), (27.5, 4.5)
    diagonal_tool(c, tip, end, 3.6, [
        (0.16, 0.74, (246, 196, 48, 255), 1, 1),      # painted body
        (0.74, 0.84, (176, 180, 190, 255), 1, 1),     # metal ferrule
        (0.84, 1.0, (232, 120, 140, 255), 1, 1),      # eraser
        (0.0, 0.16, (236, 206, 160, 255), 0.05, 1),   # sharpened wood
    ])
    diagonal_tool(c, tip, end, 3.6, [(0.0, 0.06, (40, 40, 48, 255), 0.02, 0.38)])  # graphite
    c.line([along(tip, end, 0.2), along(tip, end, 0.7)], (255, 230, 140, 255), 0.9)
    return c.result(), (1, 30)


def eyedropper():
    c = Canvas(32)
    tip, end = (1.5, 30.5), (28.5, 3.5)
    diagonal_tool(c, tip, end, 2.6, [
        (0.0, 0.12, (120, 170, 220, 255), 0.25, 0.7),   # glass nozzle
        (0.12, 0.55, (170, 210, 240, 255), 0.7, 0.7),   # glass tube
        (0.55, 0.62, (90, 90, 100, 255), 1.3, 1.3),     # collar
        (0.62, 1.0, (190, 40, 50, 255), 1.1, 1.6),      # rubber bulb
    ])
    c.line([along(tip, end, 0.08), along(tip, end, 0.4)], (40, 90, 200, 255), 1.4)  # liquid
    return c.result(), (1, 30)


def bucket():
    c = Canvas(32)
    # A tilted bucket pouring to the lower left.
    body = [(11, 6), (27, 12), (23, 26), (8, 21)]
    c.polygon(body, (150, 160, 175, 255), OUTLINE, 1.0)
    c.polygon([(11, 6), (27, 12), (26, 15), (10, 9)], (200, 205, 215, 255), OUTLINE, 0.8)
    c.line([(12, 4), (20, 1.5), (28, 9)], OUTLINE, 1.0)                 # handle
    c.polygon([(10, 9), (8, 21), (4, 22), (3, 27), (1, 29.5), (2.5, 24), (6, 13)],
              (40, 110, 220, 255), OUTLINE, 0.8)                        # paint pouring out
    c.ellipse((0.5, 27.5, 3.5, 31), (40, 110, 220, 255), OUTLINE, 0.7)  # the drop
    return c.result(), (2, 30)


def crosshair(glyph):
    c = Canvas(32)
    centre = 8
    blue = (30, 80, 200, 255)
    box = (15, 17, 30, 29)
    if glyph == "ellipse":
        c.ellipse(box, None, WHITE, 3.2)
        c.ellipse(box, None, blue, 1.6)
    elif glyph == "rect":
        c.rect(box, None, WHITE, 3.2)
        c.rect(box, None, blue, 1.6)
    else:
        c.line([(15, 29), (30, 17)], WHITE, 3.6)
        c.line([(15, 29), (30, 17)], blue, 1.8)
        for p in ((15, 29), (30, 17)):
            c.ellipse((p[0] - 1.6, p[1] - 1.6, p[0] + 1.6, p[1] + 1.6), blue, WHITE, 0.6)
    img = c.result()
    # The cross is drawn pixel-exact, black with a white rim; the centre
    # pixel stays clear so the aimed cell can be seen.
    d = ImageDraw.Draw(img)
    arms = [((centre, 0), (centre, 5)), ((centre, 11), (centre, 16)),
            ((0, centre), (5, centre)), ((11, centre), (16, centre))]
    for (x0, y0), (x1, y1) in arms:
        d.rectangle([min(x0, x1) - 1, min(y0, y1) - 1, max(x0, x1) + 1, max(y0, y1) + 1], fill=WHITE)
    for a, b in arms:
        d.line([a, b], fill=OUTLINE, width=1)
    return img, (centre, centre)


def font_icon():
    c = Canvas(16)
    c.polygon([(1.5, 13.5), (6, 1.5), (8, 1.5), (12.5, 13.5), (10, 13.5), (9, 10.5), (5, 10.5),
               (4, 13.5)], (30, 30, 40, 255))
    c.polygon([(5.7, 8.5), (7, 4.5), (8.3, 8.5)], (0, 0, 0, 0))
    c.line([(9.5, 14.8), (15, 14.8)], (30, 90, 210, 255), 1.4)
    c.ellipse((11, 6, 15.5, 12.5), None, (30, 90, 210, 255), 1.3)
    return c.result()


def cancel_icon():
    c = Canvas(16)
    c.ellipse((0.5, 0.5, 15.5, 15.5), (210, 45, 45, 255), (140, 20, 20, 255), 1.0)
    c.line([(5, 5), (11, 11)], WHITE, 2.2)
    c.line([(11, 5), (5, 11)], WHITE, 2.2)
    return c.result()


def ok_icon():
    c = Canvas(16)
    c.ellipse((0.5, 0.5, 15.5, 15.5), (50, 160, 70, 255), (25, 100, 40, 255), 1.0)
    c.line([(4, 8.5), (7, 11.5), (12, 4.5)], WHITE, 2.2)
    return c.result()


def program_icon(side):
    c = Canvas(side)
    u = side / 32.0
    # A magnified 4 x 4 patch of an icon being edited, on a grid.
    colours = [(230, 70, 60), (250, 200, 60), (70, 170, 90), (60, 120, 220)]
    c.rect((1 * u, 1 * u, 27 * u, 27 * u), (235, 238, 242, 255), (90, 96, 110, 255), 1.2 * u)
    cell = 6.5 * u
    for y in range(4):
        for x in range(4):
            if (x + y) % 3 == 2:
                continue
            colour = colours[(x + 2 * y) % 4] + (255,)
            x0, y0 = 1.6 * u + x * cell, 1.6 * u + y * cell
            c.rect((x0 + 0.5 * u, y0 + 0.5 * u, x0 + cell - 0.5 * u, y0 + cell - 0.5 * u), colour)
    # The smith's pen across the corner.
    tip, end = (14 * u, 18 * u), (31 * u, 1 * u)
    diagonal_tool(c, (12 * u, 20 * u), (31 * u, 1 * u), 2.8 * u, [
        (0.18, 0.8, (246, 196, 48, 255), 1, 1),
        (0.8, 1.0, (176, 180, 190, 255), 1, 1),
        (0.0, 0.18, (236, 206, 160, 255), 0.05, 1),
    ])
    del tip, end
    return c.result()


def dib_entry(image):
    """BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the 1-bit mask."""
    w, h = image.size
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    px = image.load()
    colour = bytearray()
    mask = bytearray()
    mask_row = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a < 128:
                row[x // 8] |= 0x80 >> (x % 8)
            if a == 0:
                r = g = b = 0
            colour += bytes((b, g, r, a))
        mask += row
    return header + bytes(colour) + bytes(mask)


def write_container(path, kind, images):
    """kind 1: icon (entries carry planes and bit count); kind 2: cursor
    (entries carry the hot spot)."""
    data = [dib_entry(img) for img, _ in images]
    out = struct.pack("<HHH", 0, kind, len(images))
    at = 6 + 16 * len(images)
    for (img, extra), blob in zip(images, data):
        w, h = img.size
        if kind == 1:
            f1, f2 = 1, 32
        else:
            f1, f2 = extra
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, f1, f2, len(blob), at)
        at += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(data))


def program_pictures(folder, sides):
    """The program icon drawn at each side, so that lines keep their weight
    at every size instead of thinning as a shrunk picture would."""
    os.makedirs(folder, exist_ok=True)
    for side in sides:
        program_icon(side).save(os.path.join(folder, "program-%d.png" % side))


def main():
    if len(sys.argv) > 2 and sys.argv[1] == "--program-pictures":
        program_pictures(sys.argv[2], [int(side) for side in sys.argv[3:]])
        return
    editor_res = os.path.join(ROOT, "editor", "res")
    cursors = {
        "fill.cur": bucket(), "pick.cur": eyedropper(), "pen.cur": pencil(),
        "ellipse.cur": crosshair("ellipse"), "rect.cur": crosshair("rect"),
        "line.cur": crosshair("line"),
    }
    for name, (img, hotspot) in cursors.items():
        write_container(os.path.join(editor_res, name), 2, [(img, hotspot)])
    for name, img in (("font.ico", font_icon()), ("cancel.ico", cancel_icon()), ("ok.ico", ok_icon())):
        write_container(os.path.join(editor_res, name), 1, [(img, None)])
    # A contact sheet for looking at the art (not committed).
    sheet = Image.new("RGBA", (8 * 40, 48), (255, 255, 255, 255))
    pics = [c[0] for c in cursors.values()] + [font_icon(), cancel_icon(), ok_icon(), program_icon(32)]
    for i, p in enumerate(pics):
        sheet.alpha_composite(p, (4 + (i % 8) * 40, 4 + (i // 8) * 0))
    sheet = Image.new("RGBA", (len(pics) * 36 + 4, 40), (200, 200, 200, 255))
    for i, p in enumerate(pics):
        sheet.alpha_composite(p, (4 + i * 36, 4))
    sheet.resize((sheet.width * 3, sheet.height * 3), Image.NEAREST).save("/tmp/glyph_art_sheet.png")


if __name__ == "__main__":
    main()
