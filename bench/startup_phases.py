"""Median start-up phases of glyphsmith.exe over traced runs.

Each argument is a trace written by the program (skin/StartupTrace.h) with
the launcher's "start end" nanoseconds in NAME.launch beside it. A phase is
named by the mark that ends it and lasts from the previous mark; the first
phase runs from the launch to WinMain, the last from the first paint to the
moment the launcher saw the window (negative when the paint came later).
"""
import statistics
import sys


def phases(trace_path):
    with open(trace_path + ".launch") as f:
        start_ns, end_ns = (int(v) for v in f.read().split())
    with open(trace_path) as f:
        lines = f.read().splitlines()
    wall_ms = float(lines[0].split()[1])
    marks = []
    for line in lines[1:]:
        ms, _, label = line.partition(" ")
        marks.append((float(ms), label))
    out = [("launch -> WinMain", wall_ms - start_ns / 1e6)]
    previous = 0.0
    for ms, label in marks[1:]:
        out.append((label, ms - previous))
        previous = ms
    out.append(("window seen - first paint", end_ns / 1e6 - (wall_ms + previous)))
    return out


def main(paths):
    runs = []
    for p in paths:
        try:
            runs.append(phases(p))
        except (OSError, ValueError, IndexError):
            pass  # an untraced or cut-short run
    if not runs:
        print("no start-up traces")
        return
    # Phases in the order of the longest run; a label that repeats (a
    # picture read twice) keeps its occurrences apart.
    def keyed(run):
        seen = {}
        out = []
        for label, ms in run:
            seen[label] = seen.get(label, 0) + 1
            out.append(((label, seen[label]), ms))
        return out
    keyed_runs = [keyed(r) for r in runs]
    order = max(keyed_runs, key=len)
    print(f"phases (median ms over {len(runs)} traced runs):")
    total = 0.0
    for key, _ in order:
        values = [ms for r in keyed_runs for k, ms in r if k == key]
        m = statistics.median(values)
        if key[0] != "window seen - first paint":
            total += m
        name = key[0] + (f" (#{key[1]})" if key[1] > 1 else "")
        print(f"  {m:8.1f}  {name}")
    print(f"  {total:8.1f}  sum, launch -> first paint")


if __name__ == "__main__":
    main(sys.argv[1:])
