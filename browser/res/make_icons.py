#!/usr/bin/env python3
"""Draws the three button icons of the "Choose Icon" dialog (OK, Cancel,
Scan subfolders) and writes them as 16x16 + 32x32 32-bit icon files."""
import struct


def canvas(size):
    return [[(0, 0, 0, 0)] * size for _ in range(size)]


def dot(px, x, y, rgba, r):
    n = len(px)
    for yy in range(int(y - r), int(y + r) + 1):
        for xx in range(int(x - r), int(x + r) + 1):
            if 0 <= xx < n and 0 <= yy < n and (xx - x) ** 2 + (yy - y) ** 2 <= r * r + 0.25:
                px[yy][xx] = rgba


def line(px, a, b, rgba, width):
    steps = int(max(abs(b[0] - a[0]), abs(b[1] - a[1])) * 2) + 1
    for i in range(steps + 1):
        t = i / steps
        dot(px, a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, rgba, width / 2)


def rect(px, x0, y0, x1, y1, fill, edge):
    for y in range(int(y0), int(y1) + 1):
        for x in range(int(x0), int(x1) + 1):
            border = y in (int(y0), int(y1)) or x in (int(x0), int(x1))
            px[y][x] = edge if border else fill


def ring(px, cx, cy, r, rgba, width):
    n = len(px)
    for y in range(n):
        for x in range(n):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if abs(d - r) <= width / 2:
                px[y][x] = rgba


def ok(px, k):
    line(px, (3 * k, 8 * k), (6.5 * k, 11.5 * k), (40, 150, 50, 255), 2 * k)
    line(px, (6.5 * k, 11.5 * k), (13 * k, 4 * k), (40, 150, 50, 255), 2 * k)


def cancel(px, k):
    line(px, (4 * k, 4 * k), (12 * k, 12 * k), (200, 40, 40, 255), 2 * k)
    line(px, (12 * k, 4 * k), (4 * k, 12 * k), (200, 40, 40, 255), 2 * k)


def scan(px, k):
    rect(px, 1 * k, 2 * k, 8 * k, 7 * k, (230, 190, 80, 255), (150, 110, 30, 255))
    rect(px, 3 * k, 5 * k, 10 * k, 11 * k, (245, 210, 100, 255), (150, 110, 30, 255))
    ring(px, 10.5 * k, 9.5 * k, 2.6 * k, (40, 60, 150, 255), 1.2 * k)
    line(px, (12.5 * k, 11.5 * k), (15 * k, 14.5 * k), (40, 60, 150, 255), 2 * k)


def image(draw, size):
    px = canvas(size)
    draw(px, size / 16)
    xor = b"".join(struct.pack("<4B", b, g, r, a) for row in reversed(px) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(px):
        bits = 0
        out = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write(name, draw):
    sizes = (16, 32)
    blobs = [image(draw, s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for s, blob in zip(sizes, blobs):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(name, "wb") as f:
        f.write(out + b"".join(blobs))


write("ok.ico", ok)
write("cancel.ico", cancel)
write("scan.ico", scan)
