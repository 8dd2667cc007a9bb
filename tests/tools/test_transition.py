#!/usr/bin/env python3
"""lumavine-tool transition end to end: the catalogue listing, a push rendered
frame by frame whose last frame is the incoming picture, a contact sheet, and
a random choice that replays with its seed."""
import atexit
import os
import shutil
import subprocess
import sys
import tempfile

tool, data = sys.argv[1], sys.argv[2]
a, b = os.path.join(data, "s420.jpg"), os.path.join(data, "rgb.jpg")
work = tempfile.mkdtemp(prefix="lv-transition-")
atexit.register(shutil.rmtree, work, ignore_errors=True)


def run(*args):
    return subprocess.run([tool, *args], capture_output=True, text=True, timeout=120)


def frames(folder):
    names = sorted(n for n in os.listdir(folder) if n.startswith("frame-"))
    assert names == ["frame-%03d.png" % i for i in range(len(names))], names
    return [open(os.path.join(folder, n), "rb").read() for n in names]


listing = run("transition", "--list")
assert listing.returncode == 0, listing.stderr
rows = [line.split("\t") for line in listing.stdout.splitlines()]
assert len(rows) == 189, len(rows)
assert rows[0] == ["171", "ssBlend", "ssFades", "50", "1500", "ready"], rows[0]
assert rows[1] == ["1", "ssNone", "ssFades", "1", "1", "ready"], rows[1]
assert all(r[5] in ("ready", "not built") for r in rows)

expected = os.path.join(work, "b.png")
assert run("jpeg-decode", b, expected).returncode == 0
incoming = open(expected, "rb").read()

push = os.path.join(work, "push")
os.mkdir(push)
sheet = os.path.join(work, "sheet.png")
result = run("transition", "ssPushLR", a, b, push, "--refresh", "30", "--duration", "1000", "--sheet", sheet)
assert result.returncode == 0, result.stderr
shown = frames(push)
assert len(shown) >= 20, len(shown)
assert shown[-1] == incoming, "the last frame is not the incoming picture"
assert len(set(shown)) > 10, "the push does not move"
assert open(sheet, "rb").read(8) == b"\x89PNG\r\n\x1a\n"

# An unknown number leads to random choice; the seed replays it exactly.
# The output folder is made when missing, and without --sheet every frame
# still gets a file of its own.
runs = []
for attempt in range(2):
    folder = os.path.join(work, "random%d" % attempt, "frames")
    result = run("transition", "9999", a, b, folder, "--seed", "7", "--size", "90x60")
    assert result.returncode == 0, result.stderr
    runs.append((result.stderr, frames(folder)))
assert len(runs[0][1]) > 1, "frames written over one another"
assert runs[0] == runs[1]

assert run("transition", "ssPushLR", a).returncode == 2
assert run("transition", "ssPushLR", a, b, push, "--size", "0x5").returncode == 2
print("ok")
