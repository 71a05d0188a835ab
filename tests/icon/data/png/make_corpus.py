#!/usr/bin/env python3
"""Writes the PNG decoding corpus and its expected-pixels table.

Every file is encoded here by hand (zlib and struct only), so the expected
RGBA comes from the samples we chose, not from another decoder's reading:
every colour type at every bit depth it allows, each plain and Adam7
interlaced, tRNS on palette, grey and RGB, rows cycling through all five
filters, a file whose IDAT is split in three, and one with a gAMA chunk that
decoders must not apply.

expected.txt holds one line per file: name, width, height and the FNV-1a 64
hash of the decoded straight 8-bit RGBA rows (top-down). A 16-bit sample
becomes its high byte (v >> 8), as both codecs make it.

Run from anywhere: python3 tests/icon/data/png/make_corpus.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 13, 9  # odd sizes: partial bytes and every Adam7 pass

GREY, RGB, PALETTE, GREY_ALPHA, RGBA = 0, 2, 3, 4, 6
CHANNELS = {GREY: 1, RGB: 3, PALETTE: 1, GREY_ALPHA: 2, RGBA: 4}
DEPTHS = {GREY: (1, 2, 4, 8, 16), RGB: (8, 16), PALETTE: (1, 2, 4, 8),
          GREY_ALPHA: (8, 16), RGBA: (8, 16)}
ADAM7 = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4),
         (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2))


def sample(x, y, c, depth):
    if depth == 16:  # spread over both bytes so high-byte and rounding differ
        return (x * 7919 + y * 104729 + c * 31337 + x * y * 1237) & 0xFFFF
    return (x * 3 + y * 5 + c * 7 + x * y) % (1 << depth)


def to8(v, depth):
    if depth == 16:
        return v >> 8
    return v * 255 // ((1 << depth) - 1)


def palette_for(depth):
    count = min(1 << depth, 200)  # a short palette at 8 bits
    return [((i * 37) & 255, (i * 91 + 17) & 255, (255 - i * 13) & 255) for i in range(count)]


def pixels(ctype, depth):
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            if ctype == PALETTE:
                row.append((sample(x, y, 0, depth) % len(palette_for(depth)),))
            else:
                row.append(tuple(sample(x, y, c, depth) for c in range(CHANNELS[ctype])))
        rows.append(row)
    return rows


def pack_row(row, depth):
    if depth >= 8:
        fmt = ">H" if depth == 16 else "B"
        return b"".join(struct.pack(fmt, v) for px in row for v in px)
    out, acc, bits = bytearray(), 0, 0
    for px in row:
        for v in px:
            acc, bits = (acc << depth) | v, bits + depth
            if bits == 8:
                out.append(acc)
                acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_rows(rows, bpp):
    """Each row gets the next of the five filters in turn."""
    out, prior = bytearray(), bytes(len(rows[0])) if rows else b""
    for i, raw in enumerate(rows):
        kind = i % 5
        line = bytearray([kind])
        for j, v in enumerate(raw):
            a = raw[j - bpp] if j >= bpp else 0
            b = prior[j]
            c = prior[j - bpp] if j >= bpp else 0
            pred = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            line.append((v - pred) & 255)
        out += line
        prior = raw
    return bytes(out)


def image_data(rows, ctype, depth, interlaced):
    bpp = max(1, CHANNELS[ctype] * depth // 8)
    if not interlaced:
        return filter_rows([pack_row(r, depth) for r in rows], bpp)
    out = b""
    for x0, y0, dx, dy in ADAM7:
        sub = [[rows[y][x] for x in range(x0, WIDTH, dx)] for y in range(y0, HEIGHT, dy)]
        if sub and sub[0]:
            out += filter_rows([pack_row(r, depth) for r in sub], bpp)
    return out


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def encode(ctype, depth, interlaced, rows, trns=None, split=1, gamma=None):
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, depth, ctype, 0, 0, int(interlaced)))
    if gamma is not None:
        out += chunk(b"gAMA", struct.pack(">I", gamma))
    if ctype == PALETTE:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette_for(depth)))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    z = zlib.compress(image_data(rows, ctype, depth, interlaced), 9)
    step = -(-len(z) // split)
    for i in range(0, len(z), step):
        out += chunk(b"IDAT", z[i:i + step])
    return out + chunk(b"IEND", b"")


def expected_rgba(ctype, depth, rows, key=None, alphas=None):
    out = bytearray()
    for row in rows:
        for px in row:
            if ctype == PALETTE:
                r, g, b = palette_for(depth)[px[0]]
                a = alphas[px[0]] if alphas and px[0] < len(alphas) else 255
                out += bytes((r, g, b, a))
                continue
            c = [to8(v, depth) for v in px]
            if ctype == GREY:
                out += bytes((c[0], c[0], c[0], 0 if px == key else 255))
            elif ctype == GREY_ALPHA:
                out += bytes((c[0], c[0], c[0], c[1]))
            elif ctype == RGB:
                out += bytes((c[0], c[1], c[2], 0 if px == key else 255))
            else:
                out += bytes(c)
    return bytes(out)


def fnv1a64(data):
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def cases():
    names = {GREY: "grey", RGB: "rgb", PALETTE: "palette", GREY_ALPHA: "greyalpha", RGBA: "rgba"}
    for ctype, depths in DEPTHS.items():
        for depth in depths:
            rows = pixels(ctype, depth)
            for interlaced in (False, True):
                name = f"{names[ctype]}{depth}{'_adam7' if interlaced else ''}.png"
                yield name, encode(ctype, depth, interlaced, rows), expected_rgba(ctype, depth, rows)
            if ctype in (GREY, RGB):
                key = rows[1][2]  # a colour that occurs in the picture
                trns = b"".join(struct.pack(">H", v) for v in key)
                yield (f"{names[ctype]}{depth}_trns.png", encode(ctype, depth, False, rows, trns),
                       expected_rgba(ctype, depth, rows, key=key))
            if ctype == PALETTE:
                count = len(palette_for(depth))
                alphas = [(i * 85) & 255 for i in range(max(1, count - 1))]  # one short
                yield (f"palette{depth}_trns.png", encode(ctype, depth, False, rows, bytes(alphas)),
                       expected_rgba(ctype, depth, rows, alphas=alphas))
    rows = pixels(RGBA, 8)
    yield "rgba8_split_idat.png", encode(RGBA, 8, False, rows, split=3), expected_rgba(RGBA, 8, rows)
    yield ("rgba8_gamma.png", encode(RGBA, 8, True, rows, gamma=100000),
           expected_rgba(RGBA, 8, rows))


def main():
    lines = []
    for name, data, rgba in cases():
        assert len(rgba) == WIDTH * HEIGHT * 4
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        lines.append(f"{name} {WIDTH} {HEIGHT} {fnv1a64(rgba):016x}\n")
    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("# name width height fnv1a64-of-rgba (written by make_corpus.py)\n")
        f.writelines(lines)


if __name__ == "__main__":
    main()
