#!/usr/bin/python3
"""The native glyphicon and the Windows glyphicon.exe make the same icons,
and other readers (Pillow, icotool) read them as glyphicon says.

  check_make_interop.py WORK NATIVE_GLYPHICON WINDOWS_RUNNER...

WINDOWS_RUNNER is the command that runs the Windows tool (the emulator and
the .exe). For each set of options both tools make an icon from the same
pictures; then the two files must have the same directory (sizes, bits,
colour counts) and byte-identical BMP entries, their PNG entries must
decode to the same pixels, `glyphicon info` must agree (but for PNG byte
counts), Pillow and icotool must see the sizes and bits info lists, and
export must write the same names and pixels from both.
"""
import io
import os
import shutil
import struct
import subprocess
import sys

from PIL import Image, ImageDraw


def pictures(work):
    big = Image.new("RGBA", (300, 200), (0, 0, 0, 0))
    draw = ImageDraw.Draw(big)
    draw.ellipse((20, 10, 280, 190), fill=(230, 120, 20, 255))
    draw.rectangle((120, 60, 180, 140), fill=(40, 90, 220, 128))
    for x in range(0, 300, 7):
        draw.line((x, 0, 299 - x, 199), fill=(x % 256, 200, 90, 255))
    big.save(os.path.join(work, "big.png"))
    hand = Image.new("RGBA", (16, 16), (255, 255, 255, 0))
    ImageDraw.Draw(hand).rectangle((3, 3, 12, 12), fill=(200, 0, 0, 255))
    hand.save(os.path.join(work, "hand16.png"))
    big.convert("RGB").resize((64, 64)).save(os.path.join(work, "flat64.bmp"))


OPTIONS = {
    "default": ["big.png", "hand16.png"],
    "palette": ["big.png", "--bits", "8", "--png-from", "48"],
    "sixteen": ["flat64.bmp", "--bits", "4", "--sizes", "16,24,32,64", "--sharp"],
}


def entries(data):
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1, "not an icon file"
    out = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        out.append(((w, h, colours, planes, bits), data[offset:offset + size]))
    return out


def run(command, work):
    done = subprocess.run(command, cwd=work, capture_output=True)
    if done.returncode != 0:
        sys.exit(f"{command} failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
    return done.stdout.decode().replace("\r\n", "\n")


def info_rows(text):
    rows = []
    for line in text.splitlines()[1:]:
        cells = line.split("\t")
        rows.append(cells[:-1] + (["png"] if cells[5] == "PNG" else [cells[-1]]))
    return rows


def main():
    work, native, windows = sys.argv[1], sys.argv[2], sys.argv[3:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    pictures(work)
    for name, args in OPTIONS.items():
        made = {}
        for tool, command in (("native", [native]), ("windows", windows)):
            out = f"{name}-{tool}.ico"
            run(command + ["make", out] + args, work)
            with open(os.path.join(work, out), "rb") as f:
                made[tool] = f.read()
            made[tool + "-info"] = info_rows(run(command + ["info", out], work))
            made[tool + "-export"] = run(command + ["export", out, "-o", f"{name}-{tool}"], work).split()
        a, b = entries(made["native"]), entries(made["windows"])
        assert [e[0] for e in a] == [e[0] for e in b], f"{name}: directories differ"
        for (fields, x), (_, y) in zip(a, b):
            if x[:8] == b"\x89PNG\r\n\x1a\n":
                same = Image.open(io.BytesIO(x)).convert("RGBA").tobytes() == Image.open(io.BytesIO(y)).convert("RGBA").tobytes()
                assert same, f"{name}: PNG entry {fields} decodes differently"
            else:
                assert x == y, f"{name}: BMP entry {fields} differs"
        assert made["native-info"] == made["windows-info"], f"{name}: info differs"
        assert made["native-export"] == made["windows-export"], f"{name}: export names differ"
        for png in made["native-export"]:
            p = [Image.open(os.path.join(work, f"{name}-{t}", png)).convert("RGBA").tobytes() for t in ("native", "windows")]
            assert p[0] == p[1], f"{name}: exported {png} differs"
        # Other readers see what info says.
        path = os.path.join(work, f"{name}-native.ico")
        listed = sorted((int(r[3].split("x")[0]), int(r[4])) for r in made["native-info"])
        icotool = subprocess.run(["icotool", "-l", path], capture_output=True, text=True, check=True).stdout
        seen = sorted((int(line.split("--width=")[1].split()[0]), int(line.split("--bit-depth=")[1].split()[0]))
                      for line in icotool.splitlines())
        assert seen == listed, f"{name}: icotool lists {seen}, info {listed}"
        ico = Image.open(path)
        assert sorted(s[0] for s in ico.info["sizes"]) == sorted(s for s, _ in listed), f"{name}: Pillow sizes"
        for (w, _), png in zip(sorted(listed), sorted(made["native-export"], key=lambda n: int(n.split("x")[0]))):
            pillow = ico.ico.getimage((w, w)).convert("RGBA").tobytes()
            exported = Image.open(os.path.join(work, f"{name}-native", png)).convert("RGBA").tobytes()
            assert pillow == exported, f"{name}: Pillow reads the {w} image otherwise than export"
        print(f"{name}: {len(a)} entries agree")


if __name__ == "__main__":
    main()
