#!/usr/bin/python3
"""Renders Glyphsmith's default skin.

Writes main.jpg, over.jpg, down.jpg (480 x 408), mask.bmp (480 x 408, black
inside the window's shape, pure white outside), horslider.bmp and
horslider_over.bmp (20 x 12, 24-bit) and skin.ini into the output folder
(default: ../default beside this script). The pictures are written again at
1.5 and 2 times that size for displays scaled to 150 % and 200 %, named
with "@1.5x" and "@2x" before the extension (main@2x.jpg: 960 x 816);
skin.ini keeps to the 1x pixels, which the program scales.

Everything is drawn four times larger and scaled down, so edges and glyphs
are anti-aliased. The control rectangles below are the ones skin.ini gives
the program; the canvas, colour wells, preview and size strip frames are
drawn where the main window places those controls (the template's dialog
units x 1.5 horizontally and x 1.625 vertically, the standard base units
of MS Sans Serif 8).

    /usr/bin/python3 skin/art/render_skin.py [output folder]
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

W, H = 480, 408
S = 4  # supersampling factor
# The display scales drawn for, and the suffix of each one's pictures.
SCALES = [(1, ""), (1.5, "@1.5x"), (2, "@2x")]

FONT_DIR = "/usr/share/fonts/truetype"
FONT_BOLD = FONT_DIR + "/dejavu/DejaVuSans-Bold.ttf"
FONT_CONDENSED = FONT_DIR + "/dejavu/DejaVuSansCondensed-Bold.ttf"
FONT_SERIF = FONT_DIR + "/dejavu/DejaVuSerif-Bold.ttf"

# Colours.
OUTSIDE = (18, 20, 26)
RIM_DARK = (12, 14, 19)
RIM_LIGHT = (120, 134, 166)
BODY_TOP = (64, 73, 94)
BODY_BOTTOM = (38, 44, 58)
CONSOLE = (42, 48, 63)
GROOVE = (22, 25, 33)
LABEL = (150, 164, 190)
TITLE = (226, 232, 242)
ACCENT = (245, 170, 60)    # amber: pressed and latched
HOVER = (86, 200, 214)     # teal: mouse over

# Control rectangles (x, y, width, height): exactly those of skin.ini.
BUTTONS = [
    ("BUTTON_EXIT", (442, 11, 24, 20), "Exit program", "FALSE", "exit"),
    ("BUTTON_MINIMIZE", (409, 11, 24, 20), "Minimize", "FALSE", "minimize"),
    ("BUTTON_HELP", (375, 11, 25, 20), "Help", "FALSE", "help"),
    ("BUTTON_LOAD", (13, 40, 73, 33), "Load icon", "FALSE", "load"),
    ("QaS", (13, 74, 73, 30), "Save icon", "FALSE", "save"),
    ("TOOL_UNDO", (13, 103, 36, 34), "Undo", "FALSE", "undo"),
    ("TOOL_PHOTO", (49, 103, 36, 34), "Camera", "FALSE", "camera"),
    ("TOOL_PEN", (13, 137, 36, 34), "Pen", "TRUE", "pen"),
    ("TOOL_LINE", (49, 137, 36, 34), "Line", "TRUE", "line"),
    ("TOOL_RECT", (13, 171, 36, 35), "Rectangle", "TRUE", "rect"),
    ("TOOL_ELLIPSE", (49, 171, 36, 35), "Ellipse", "TRUE", "ellipse"),
    ("TOOL_FILL_RECT", (13, 206, 36, 34), "Fill rectangle", "TRUE", "fill_rect"),
    ("TOOL_FILL_ELLIPSE", (49, 206, 36, 34), "Fill ellipse", "TRUE", "fill_ellipse"),
    ("TOOL_FILL", (13, 241, 36, 35), "Fill", "TRUE", "bucket"),
    ("TOOL_PICK", (49, 241, 36, 35), "Get color from image", "TRUE", "pick"),
    ("TOOL_TEXT", (13, 276, 36, 35), "Text", "TRUE", "text"),
    ("TOOL_BLUR", (49, 276, 36, 35), "Blur", "TRUE", "blur"),
    ("TOOL_CLEAR", (13, 311, 36, 35), "Clear icon", "FALSE", "clear"),
    ("TOOL_BLUR_ALL", (49, 311, 36, 35), "Blur icon", "FALSE", "blur_all"),
    # The sizes column, under the size strip: a row for the document's
    # sizes, one for the view's zoom, one for the rest.
    ("SIZE_ADD", (399, 290, 23, 32), "Add size", "FALSE", "plus"),
    ("SIZE_REMOVE", (422, 290, 23, 32), "Remove size", "FALSE", "minus"),
    ("SIZES_MAKE", (445, 290, 23, 32), "Make all sizes", "FALSE", "stack"),
    ("ZOOM_IN", (399, 326, 23, 32), "Zoom in", "FALSE", "zoom_in"),
    ("ZOOM_OUT", (422, 326, 23, 32), "Zoom out", "FALSE", "zoom_out"),
    ("ZOOM_FIT", (445, 326, 23, 32), "Fit", "FALSE", "zoom_fit"),
    ("TOOL_ERASER", (399, 362, 23, 32), "Eraser", "TRUE", "eraser"),
    ("SHOW_CHECKER", (422, 362, 23, 32), "Checkerboard", "TRUE", "checker"),
    ("PREVIEW_SIZES", (445, 362, 23, 32), "Preview all sizes", "FALSE", "sizes"),
]
TEXTS = [
    ("BRUSH_COLOR", (202, 332, 90, 65)),
    ("TRANSP_COLOR", (300, 332, 90, 65)),
    ("PREVIEW_COLOR", (11, 355, 75, 38)),
]
TRACKBARS = [
    ("TRACKBAR_TRANSP", (97, 350, 90, 12), 0, 256, "Opacity 100 %"),
    ("TRACKBAR_SIZE", (97, 383, 90, 12), 0, 13, "1 pixel"),
]
THUMB_W, THUMB_H = 20, 12

# Main window controls from dialog template 102, in pixels (x, y, w, h).
CANVAS = (99, 41, 288, 288)
BRUSH_WELL = (204, 351, 83, 44)
TRANSP_WELL = (305, 351, 81, 44)
PREVIEW = (12, 356, 74, 39)
SIZE_STRIP = (402, 49, 63, 232)  # 8 entries of 29 px
COLUMN_MIDDLE = SIZE_STRIP[0] + SIZE_STRIP[2] / 2


def s(v):
    return int(round(v * S))


def box(x0, y0, x1, y1):
    return [s(x0), s(y0), s(x1), s(y1)]


def font(path, size):
    return ImageFont.truetype(path, s(size))


def gradient(size, top, bottom):
    """A vertical gradient image of the given (supersampled) size."""
    w, h = size
    g = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        g.putpixel((0, y), tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)))
    return g.resize((w, h))


def paste_rounded(img, rect, radius, top, bottom):
    """Fills a rounded rectangle (1x coordinates) with a vertical gradient."""
    x0, y0, x1, y1 = box(*rect)
    m = Image.new("L", (x1 - x0, y1 - y0), 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, x1 - x0 - 1, y1 - y0 - 1], s(radius), fill=255)
    img.paste(gradient((x1 - x0, y1 - y0), top, bottom), (x0, y0), m)


def shape_mask():
    """The window's outline, supersampled: 255 inside."""
    m = Image.new("L", (W * S, H * S), 0)
    d = ImageDraw.Draw(m)
    d.rounded_rectangle(box(2, 26, 98, 406), s(18), fill=255)   # tool pod
    d.rounded_rectangle(box(88, 2, W - 2, 406), s(20), fill=255)  # main panel
    # Concave fillet where the pod's top meets the panel's left edge.
    r = 10
    d.rectangle(box(88 - r, 26 - r, 89, 27), fill=255)
    d.ellipse(box(88 - 2 * r, 26 - 2 * r, 88, 26), fill=0)
    d.rounded_rectangle(box(2, 26, 98, 406), s(18), fill=255)
    d.rounded_rectangle(box(88, 2, W - 2, 406), s(20), fill=255)
    return m


# ---------------------------------------------------------------- glyphs
# Each glyph draws centred on (cx, cy), in 1x coordinates, in colour c;
# `bg` is the tile colour for cut-outs.

def rot(points, cx, cy, deg):
    a = math.radians(deg)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca) for x, y in points]


def poly(d, points, c):
    d.polygon([(s(x), s(y)) for x, y in points], fill=c)


def line(d, points, c, width):
    d.line([(s(x), s(y)) for x, y in points], fill=c, width=s(width), joint="curve")
    for x, y in (points[0], points[-1]):
        d.ellipse(box(x - width / 2, y - width / 2, x + width / 2, y + width / 2), fill=c)


def g_exit(d, cx, cy, c, bg):
    line(d, [(cx - 5, cy - 5), (cx + 5, cy + 5)], c, 2.4)
    line(d, [(cx - 5, cy + 5), (cx + 5, cy - 5)], c, 2.4)


def g_minimize(d, cx, cy, c, bg):
    line(d, [(cx - 5.5, cy + 4), (cx + 5.5, cy + 4)], c, 2.6)


def g_help(d, cx, cy, c, bg):
    f = font(FONT_BOLD, 14)
    d.text((s(cx), s(cy + 0.5)), "?", font=f, fill=c, anchor="mm")


def g_folder(d, cx, cy, c, bg):
    poly(d, [(cx - 9, cy - 6), (cx - 3, cy - 6), (cx - 1, cy - 4), (cx + 9, cy - 4), (cx + 9, cy + 7),
             (cx - 9, cy + 7)], c)
    poly(d, [(cx - 7, cy - 1), (cx + 11, cy - 1), (cx + 8, cy + 7), (cx - 10, cy + 7)], bg)
    poly(d, [(cx - 6, cy), (cx + 10, cy), (cx + 7.5, cy + 6.2), (cx - 8.5, cy + 6.2)], c)


def g_disk(d, cx, cy, c, bg):
    d.rounded_rectangle(box(cx - 8, cy - 8, cx + 8, cy + 8), s(2), fill=c)
    d.rectangle(box(cx - 4.5, cy - 8, cx + 4, cy - 3), fill=bg)
    d.rectangle(box(cx + 1, cy - 7, cx + 3, cy - 4), fill=c)
    d.rectangle(box(cx - 5.5, cy + 1, cx + 5.5, cy + 8), fill=bg)
    d.rectangle(box(cx - 4, cy + 3, cx + 4, cy + 4), fill=c)
    d.rectangle(box(cx - 4, cy + 5.5, cx + 4, cy + 6.5), fill=c)


def labelled(glyph, text):
    def draw(d, cx, cy, c, bg):
        glyph(d, cx - 21, cy, c, bg)
        d.text((s(cx + 9), s(cy + 0.5)), text, font=font(FONT_BOLD, 11.5), fill=c, anchor="mm")
    return draw


def g_undo(d, cx, cy, c, bg):
    d.arc(box(cx - 8, cy - 7, cx + 8, cy + 9), 185, 440, fill=c, width=s(2.6))
    poly(d, [(cx - 12.5, cy - 1), (cx - 3.5, cy - 1), (cx - 8, cy + 5.5)], c)


def g_camera(d, cx, cy, c, bg):
    d.rounded_rectangle(box(cx - 11, cy - 6, cx + 11, cy + 9), s(2.5), fill=c)
    d.rounded_rectangle(box(cx - 4.5, cy - 9.5, cx + 4.5, cy - 4), s(1.5), fill=c)
    d.ellipse(box(cx - 6, cy - 4, cx + 6, cy + 8), fill=bg)
    d.ellipse(box(cx - 3.8, cy - 1.8, cx + 3.8, cy + 5.8), fill=c)
    d.ellipse(box(cx - 1.6, cy + 0.4, cx + 1.6, cy + 3.6), fill=bg)
    d.rectangle(box(cx + 6.5, cy - 4, cx + 9, cy - 2.5), fill=bg)


def g_pen(d, cx, cy, c, bg):
    body = [(cx - 5, cy - 2.6), (cx + 9, cy - 2.6), (cx + 9, cy + 2.6), (cx - 5, cy + 2.6)]
    tip = [(cx - 5, cy - 2.6), (cx - 5, cy + 2.6), (cx - 11, cy)]
    cap = [(cx + 9.8, cy - 2.6), (cx + 12, cy - 2.6), (cx + 12, cy + 2.6), (cx + 9.8, cy + 2.6)]
    poly(d, rot(body, cx, cy, -45), c)
    poly(d, rot(tip, cx, cy, -45), c)
    poly(d, rot(cap, cx, cy, -45), c)
    poly(d, rot([(cx - 11, cy), (cx - 8.5, cy - 1.1), (cx - 8.5, cy + 1.1)], cx, cy, -45), bg)


def g_line(d, cx, cy, c, bg):
    line(d, [(cx - 8, cy + 7), (cx + 8, cy - 7)], c, 2.2)
    for x, y in ((cx - 8, cy + 7), (cx + 8, cy - 7)):
        d.ellipse(box(x - 2.8, y - 2.8, x + 2.8, y + 2.8), fill=c)


def g_rect(d, cx, cy, c, bg):
    d.rectangle(box(cx - 9, cy - 7, cx + 9, cy + 7), outline=c, width=s(2.2))


def g_ellipse(d, cx, cy, c, bg):
    d.ellipse(box(cx - 10, cy - 7.5, cx + 10, cy + 7.5), outline=c, width=s(2.2))


def g_fill_rect(d, cx, cy, c, bg):
    d.rectangle(box(cx - 9, cy - 7, cx + 9, cy + 7), fill=c)


def g_fill_ellipse(d, cx, cy, c, bg):
    d.ellipse(box(cx - 10, cy - 7.5, cx + 10, cy + 7.5), fill=c)


def g_bucket(d, cx, cy, c, bg):
    x, y = cx - 2, cy + 1
    bucket = [(x - 7, y - 5), (x + 7, y - 5), (x + 5.5, y + 8), (x - 5.5, y + 8)]
    poly(d, rot(bucket, x, y, -30), c)
    inner = [(x - 5.2, y - 5), (x + 5.2, y - 5), (x + 4.8, y - 2.2), (x - 4.8, y - 2.2)]
    poly(d, rot(inner, x, y, -30), bg)
    handle = rot([(x - 6, y - 5), (x - 3, y - 11), (x + 3, y - 11), (x + 6, y - 5)], x, y, -30)
    line(d, handle, c, 1.6)
    # paint pouring out of the lip
    dx, dy = cx + 9, cy + 4
    d.ellipse(box(dx - 3, dy - 1, dx + 3, dy + 5), fill=c)
    poly(d, [(dx - 2.6, dy + 1), (dx + 2.6, dy + 1), (dx, dy - 5)], c)


def g_pick(d, cx, cy, c, bg):
    line(d, [(cx - 9, cy + 9), (cx + 2, cy - 2)], c, 2.8)
    line(d, [(cx - 1.5, cy - 5.5), (cx + 5.5, cy + 1.5)], c, 2.6)
    d.ellipse(box(cx + 2, cy - 11, cx + 11, cy - 2), fill=c)
    d.ellipse(box(cx - 10.6, cy + 7.4, cx - 7.4, cy + 10.6), fill=c)


def g_text(d, cx, cy, c, bg):
    d.text((s(cx), s(cy + 1)), "A", font=font(FONT_SERIF, 21), fill=c, anchor="mm")


def drop(d, cx, cy, r, c):
    d.ellipse(box(cx - r, cy - r * 0.2, cx + r, cy + r * 1.8), fill=c)
    poly(d, [(cx - r * 0.92, cy + r * 0.5), (cx + r * 0.92, cy + r * 0.5), (cx, cy - r * 1.6)], c)


def g_blur(d, cx, cy, c, bg):
    drop(d, cx, cy - 2, 6.5, c)
    d.arc(box(cx - 4, cy, cx + 2, cy + 8), 100, 180, fill=bg, width=s(1.4))


def g_clear(d, cx, cy, c, bg):
    x, y = cx, cy - 1
    outer = [(x - 9, y - 4.5), (x + 9, y - 4.5), (x + 9, y + 4.5), (x - 9, y + 4.5)]
    poly(d, rot(outer, x, y, -35), c)
    inner = [(x - 7.4, y - 3), (x - 1, y - 3), (x - 1, y + 3), (x - 7.4, y + 3)]
    poly(d, rot(inner, x, y, -35), bg)
    line(d, [(cx - 10, cy + 10), (cx + 10, cy + 10)], c, 1.4)


def g_blur_all(d, cx, cy, c, bg):
    for i in range(4):  # corner brackets: the whole image
        sx = -1 if i % 2 == 0 else 1
        sy = -1 if i < 2 else 1
        x0, y0 = cx + sx * 11, cy + sy * 10
        line(d, [(x0, y0 - sy * 4), (x0, y0), (x0 - sx * 4, y0)], c, 1.6)
    drop(d, cx, cy - 1.5, 4.8, c)


# The sizes column's glyphs are smaller: three of its buttons share a row.

def g_plus(d, cx, cy, c, bg):
    line(d, [(cx - 5.5, cy), (cx + 5.5, cy)], c, 2.4)
    line(d, [(cx, cy - 5.5), (cx, cy + 5.5)], c, 2.4)


def g_minus(d, cx, cy, c, bg):
    line(d, [(cx - 5.5, cy), (cx + 5.5, cy)], c, 2.4)


def g_stack(d, cx, cy, c, bg):
    # Three sizes of one square, sharing the lower-left corner.
    x0, y1 = cx - 7, cy + 7
    for side in (14, 9.5):
        d.rectangle(box(x0, y1 - side, x0 + side, y1), outline=c, width=s(1.3))
    d.rectangle(box(x0, y1 - 5, x0 + 5, y1), fill=c)


def magnifier(d, cx, cy, c):
    x, y = cx - 1.5, cy - 1.5
    d.ellipse(box(x - 5.5, y - 5.5, x + 5.5, y + 5.5), outline=c, width=s(1.8))
    line(d, [(x + 4.2, y + 4.2), (x + 8, y + 8)], c, 2.6)
    return x, y


def g_zoom_in(d, cx, cy, c, bg):
    x, y = magnifier(d, cx, cy, c)
    line(d, [(x - 2.6, y), (x + 2.6, y)], c, 1.5)
    line(d, [(x, y - 2.6), (x, y + 2.6)], c, 1.5)


def g_zoom_out(d, cx, cy, c, bg):
    x, y = magnifier(d, cx, cy, c)
    line(d, [(x - 2.6, y), (x + 2.6, y)], c, 1.5)


def g_zoom_fit(d, cx, cy, c, bg):
    for i in range(4):  # the frame's corners, the picture filling it
        sx = -1 if i % 2 == 0 else 1
        sy = -1 if i < 2 else 1
        x0, y0 = cx + sx * 7.5, cy + sy * 7.5
        line(d, [(x0, y0 - sy * 3.5), (x0, y0), (x0 - sx * 3.5, y0)], c, 1.4)
    d.rectangle(box(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5), fill=c)


def g_eraser(d, cx, cy, c, bg):
    # An eraser leaving see-through squares behind it.
    x, y = cx + 1.5, cy - 2
    block = [(x - 6, y - 3), (x + 6, y - 3), (x + 6, y + 3), (x - 6, y + 3)]
    poly(d, rot(block, x, y, -45), c)
    tip = [(x - 4.8, y - 1.8), (x - 0.6, y - 1.8), (x - 0.6, y + 1.8), (x - 4.8, y + 1.8)]
    poly(d, rot(tip, x, y, -45), bg)
    for i, j in ((0, 0), (1, 1)):
        d.rectangle(box(cx - 8 + i * 3, cy + 4 + j * 3, cx - 5 + i * 3, cy + 7 + j * 3), fill=c)


def g_checker(d, cx, cy, c, bg):
    cell = 3.5
    for j in range(4):
        for i in range(4):
            if (i + j) % 2 == 0:
                x, y = cx - 2 * cell + i * cell, cy - 2 * cell + j * cell
                d.rectangle(box(x, y, x + cell, y + cell), fill=c)
    d.rectangle(box(cx - 2 * cell, cy - 2 * cell, cx + 2 * cell, cy + 2 * cell), outline=c, width=s(1))


def g_sizes(d, cx, cy, c, bg):
    # The same picture at three sizes, side by side on one baseline.
    sides, gap = (2.5, 4.5, 6.5), 1.3
    x, base = cx - (sum(sides) + gap * (len(sides) - 1)) / 2, cy + 4.5
    for side in sides:
        d.rectangle(box(x, base - side, x + side, base), fill=c)
        x += side + gap
    line(d, [(cx - 7, base + 2.5), (cx + 7, base + 2.5)], c, 1)


GLYPHS = {
    "exit": g_exit, "minimize": g_minimize, "help": g_help,
    "load": labelled(g_folder, "Load"), "save": labelled(g_disk, "Save"),
    "undo": g_undo, "camera": g_camera, "pen": g_pen, "line": g_line, "rect": g_rect,
    "ellipse": g_ellipse, "fill_rect": g_fill_rect, "fill_ellipse": g_fill_ellipse,
    "bucket": g_bucket, "pick": g_pick, "text": g_text, "blur": g_blur, "clear": g_clear,
    "blur_all": g_blur_all, "plus": g_plus, "minus": g_minus, "stack": g_stack, "zoom_in": g_zoom_in,
    "zoom_out": g_zoom_out, "zoom_fit": g_zoom_fit, "eraser": g_eraser, "checker": g_checker, "sizes": g_sizes,
}

# ---------------------------------------------------------------- pieces

TILE = {
    #        fill top         fill bottom      glyph            edge light       edge dark
    "normal": ((78, 89, 113), (54, 62, 80), (214, 221, 234), (118, 131, 160), (24, 28, 37)),
    "over": ((98, 112, 142), (68, 80, 104), (238, 252, 255), HOVER, (24, 28, 37)),
    "down": ((30, 35, 46), (46, 54, 70), ACCENT, (20, 23, 30), (96, 108, 134)),
}


def draw_button(img, rect, glyph, state):
    x, y, w, h = rect
    top, bottom, glyph_colour, light, dark = TILE[state]
    inset = 1.5
    outer = (x + inset, y + inset, x + w - inset, y + h - inset)
    radius = 5 if w < 60 else 7
    # Edge: a light upper-left and a dark lower-right bevel (reversed when pressed).
    paste_rounded(img, (outer[0], outer[1], outer[2], outer[3]), radius, dark, dark)
    paste_rounded(img, (outer[0], outer[1], outer[2] - 1, outer[3] - 1), radius, light, light)
    paste_rounded(img, (outer[0] + 1, outer[1] + 1, outer[2] - 1, outer[3] - 1), radius - 1, top, bottom)
    if state == "over":
        d = ImageDraw.Draw(img)
        d.rounded_rectangle(box(*outer), s(radius), outline=HOVER, width=s(1.2))
    d = ImageDraw.Draw(img)
    shift = 1 if state == "down" else 0
    cx, cy = x + w / 2 + shift, y + h / 2 + shift
    mid = tuple((top[i] + bottom[i]) // 2 for i in range(3))
    GLYPHS[glyph](d, cx, cy, glyph_colour, mid)


def recess(img, rect, depth=3):
    """A sunken frame around rect (x, y, w, h): the control sits inside it."""
    x, y, w, h = rect
    d = ImageDraw.Draw(img)
    for i in range(depth, 0, -1):
        t = i / depth
        dark = tuple(int(RIM_DARK[k] + (BODY_BOTTOM[k] - RIM_DARK[k]) * (1 - t) * 0.5) for k in range(3))
        d.rectangle(box(x - i, y - i, x + w + i, y + h + i), fill=dark)
    # light lower-right lip
    d.line([(s(x - depth), s(y + h + depth)), (s(x + w + depth), s(y + h + depth)),
            (s(x + w + depth), s(y - depth))], fill=RIM_LIGHT, width=s(1))


def label(d, text, cx, y, size=8.5):
    d.text((s(cx), s(y)), text, font=font(FONT_CONDENSED, size), fill=LABEL, anchor="mt")


def checker(img, rect, cell, a, b):
    x, y, w, h = rect
    d = ImageDraw.Draw(img)
    for j in range(0, h, cell):
        for i in range(0, w, cell):
            colour = a if ((i // cell) + (j // cell)) % 2 == 0 else b
            d.rectangle(box(x + i, y + j, x + min(w, i + cell), y + min(h, j + cell)), fill=colour)


def slider_track(img, rect, maximum, ticks):
    x, y, w, h = rect
    d = ImageDraw.Draw(img)
    d.rectangle(box(x, y, x + w, y + h), fill=CONSOLE)
    travel0, travel1 = x + THUMB_W / 2, x + w - THUMB_W / 2
    cy = y + h / 2
    d.rounded_rectangle(box(travel0 - 4, cy - 2, travel1 + 4, cy + 2), s(2), fill=GROOVE)
    d.line([(s(travel0 - 3), s(cy + 2)), (s(travel1 + 3), s(cy + 2))], fill=(84, 94, 118), width=s(0.8))
    for p in ticks:
        tx = travel0 + (travel1 - travel0) * p / maximum
        d.line([(s(tx), s(y + h + 1.5)), (s(tx), s(y + h + 4))], fill=LABEL, width=s(1))


def thumb(state, k=1):
    img = Image.new("RGB", (THUMB_W * S, THUMB_H * S), CONSOLE)
    if state == "normal":
        top, bottom, ridge = (206, 213, 226), (130, 140, 160), (92, 102, 124)
    else:
        top, bottom, ridge = (255, 214, 150), (232, 150, 44), (160, 96, 20)
    paste_rounded(img, (0, 0, THUMB_W, THUMB_H), 3.5, (20, 22, 30), (20, 22, 30))
    paste_rounded(img, (0.8, 0.8, THUMB_W - 0.8, THUMB_H - 0.8), 3, top, bottom)
    d = ImageDraw.Draw(img)
    for dx in (-3, 0, 3):
        cx = THUMB_W / 2 + dx
        d.line([(s(cx), s(3)), (s(cx), s(THUMB_H - 3))], fill=ridge, width=s(1))
    return img.resize(scaled(THUMB_W, THUMB_H, k), Image.LANCZOS)


# ---------------------------------------------------------------- the screens


def base():
    img = Image.new("RGB", (W * S, H * S), OUTSIDE)
    shape = shape_mask()
    # Body: rim, then the gradient panel a little inside it.
    body = gradient((W * S, H * S), BODY_TOP, BODY_BOTTOM)
    rim = Image.new("RGB", (W * S, H * S), RIM_DARK)
    img.paste(rim, (0, 0), shape)
    inner = shape.filter(ImageFilter.MinFilter(2 * S + 1))
    light = Image.new("RGB", (W * S, H * S), RIM_LIGHT)
    img.paste(light, (0, 0), inner)
    inner2 = inner.filter(ImageFilter.MinFilter(S + 1))
    # the highlight shows on the upper-left edges only: shift the body down-right
    inner2 = inner2.transform(inner2.size, Image.AFFINE, (1, 0, -S, 0, 1, -S))
    img.paste(body, (0, 0), Image.composite(inner2, Image.new("L", inner2.size, 0), inner))

    d = ImageDraw.Draw(img)
    # Title strip with the program's name and a tiny icon grid.
    # The strip reaches the window buttons, which keep to the right edge.
    bay = (W - 108, 8, W - 11, 34)
    d.rounded_rectangle(box(100, 7, bay[0] - 6, 34), s(8), fill=(46, 53, 69))
    for i in range(3):
        for j in range(3):
            colours = [(235, 92, 80), (245, 170, 60), (240, 220, 90), (110, 200, 110), (86, 200, 214),
                       (90, 140, 235), (170, 110, 220), (214, 221, 234), (130, 140, 160)]
            cx0, cy0 = 108 + i * 6, 12 + j * 6
            d.rectangle(box(cx0, cy0, cx0 + 5, cy0 + 5), fill=colours[i * 3 + j])
    d.text((s(134), s(21)), "Glyphsmith", font=font(FONT_BOLD, 14), fill=TITLE, anchor="lm")
    d.text((s(226), s(22)), "icon editor", font=font(FONT_CONDENSED, 8.5), fill=LABEL, anchor="lm")
    # Window buttons sit in a small recessed bay.
    d.rounded_rectangle(box(*bay), s(6), fill=(34, 39, 51))

    # Tool pod: a darker inlay behind the tools.
    d.rounded_rectangle(box(9, 36, 90, 350), s(9), fill=(44, 50, 66))
    d.line([(s(14), s(105.5)), (s(84), s(105.5))], fill=(34, 39, 51), width=s(1))

    # Canvas: a deep frame with a pixel grid inside (the canvas control covers it).
    recess(img, CANVAS, 4)
    checker(img, CANVAS, 9, (206, 206, 206), (190, 190, 190))

    # Sizes column: an inlay like the tool pod's, the size strip's frame
    # (the strip control covers its inside) and rules between the rows of
    # buttons.
    d.rounded_rectangle(box(395, 36, 472, 399), s(9), fill=(44, 50, 66))
    label(d, "SIZES", COLUMN_MIDDLE, 38)
    recess(img, SIZE_STRIP, 3)
    x, y, w, h = SIZE_STRIP
    d.rectangle(box(x, y, x + w, y + h), fill=(28, 32, 42))
    for rule in (324, 360):
        d.line([(s(401), s(rule)), (s(466), s(rule))], fill=(34, 39, 51), width=s(1))

    # Console: colour fields and sliders along the bottom.
    d.rounded_rectangle(box(93, 333, 394, 401), s(10), fill=CONSOLE)
    d.rounded_rectangle(box(7, 351, 91, 399), s(8), fill=CONSOLE)
    label(d, "BRUSH", BRUSH_WELL[0] + BRUSH_WELL[2] / 2, 337)
    label(d, "TRANSPARENT", TRANSP_WELL[0] + TRANSP_WELL[2] / 2, 337)
    label(d, "PREVIEW", 49, 347.5, 7.5)
    label(d, "OPACITY", 142, 337)
    label(d, "SIZE", 142, 370)
    recess(img, BRUSH_WELL, 2)
    d.rectangle(box(BRUSH_WELL[0], BRUSH_WELL[1], BRUSH_WELL[0] + BRUSH_WELL[2], BRUSH_WELL[1] + BRUSH_WELL[3]),
                fill=(0, 0, 0))
    recess(img, TRANSP_WELL, 2)
    d.rectangle(box(TRANSP_WELL[0], TRANSP_WELL[1], TRANSP_WELL[0] + TRANSP_WELL[2],
                    TRANSP_WELL[1] + TRANSP_WELL[3]), fill=(192, 192, 192))
    recess(img, PREVIEW, 2)
    d.rectangle(box(PREVIEW[0], PREVIEW[1], PREVIEW[0] + PREVIEW[2], PREVIEW[1] + PREVIEW[3]), fill=(255, 255, 255))
    slider_track(img, TRACKBARS[0][1], 256, [0, 64, 128, 192, 256])
    slider_track(img, TRACKBARS[1][1], 13, list(range(14)))
    return img


def scaled(w, h, k):
    """The size of a w x h picture at scale k, rounded as the program rounds."""
    return int(math.floor(w * k + 0.5)), int(math.floor(h * k + 0.5))


def screen(img, state, k):
    """One screen at scale k from the supersampled base."""
    img = img.copy()
    for name, rect, tip, flag, glyph in BUTTONS:
        draw_button(img, rect, glyph, state)
    size = scaled(W, H, k)
    out = img.resize(size, Image.LANCZOS)
    # Outside the shape: one flat colour, so nothing rings at the edge.
    mask = shape_mask().resize(size, Image.BOX).point(lambda v: 255 if v >= 128 else 0)
    flat = Image.new("RGB", size, OUTSIDE)
    return Image.composite(out, flat, mask), mask


def skin_ini():
    lines = ["[Screen]", "Mask=mask.bmp", "Main=main.jpg", "Down=down.jpg", "Over=over.jpg",
             "Disabled=main.jpg", "", "[BUTTONINFO]"]
    for i, (name, (x, y, w, h), tip, flag, _) in enumerate(BUTTONS, 1):
        lines.append(f"{i}={name},{x},{y},{w},{h},{tip},{flag}")
    lines += ["", "[TEXTINFO]"]
    for i, (name, (x, y, w, h)) in enumerate(TEXTS, 1):
        lines.append(f"{i}={name},Verdana,F,F,-14,0xFFDDAA,-1,{x},{y},{w},{h},")
    lines += ["", "[TRACKBARINFO]"]
    for i, (name, (x, y, w, h), pos, maximum, tip) in enumerate(TRACKBARS, 1):
        lines.append(f"{i}={name},horslider.bmp,horslider_over.bmp,{x},{y},{w},{h},H,{pos},{maximum},{tip}")
    return "\r\n".join(lines) + "\r\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "default")
    os.makedirs(out, exist_ok=True)
    plain = base()
    for k, suffix in SCALES:
        def path(name):
            stem, ext = os.path.splitext(name)
            return os.path.join(out, stem + suffix + ext)
        for state, name in (("normal", "main.jpg"), ("over", "over.jpg"), ("down", "down.jpg")):
            img, mask = screen(plain, state, k)
            img.save(path(name), "JPEG", quality=94, subsampling=0, optimize=True)
        # Two colours: black inside the shape, pure white outside.
        mask.point(lambda v: 0 if v else 255).convert("1").save(path("mask.bmp"))
        thumb("normal", k).save(path("horslider.bmp"))
        thumb("over", k).save(path("horslider_over.bmp"))
    with open(os.path.join(out, "skin.ini"), "wb") as f:
        f.write(skin_ini().encode("ascii"))


if __name__ == "__main__":
    main()
