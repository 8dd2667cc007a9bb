"""Small show sets for the Wine tests and the player bench: flat-coloured
cells (no pictures), so the colour at any point of a shown cell is known.
Shows are written by the cross-built `lumavine-tool show-make` into the
folder the player runs in ("intro", "slyde0", "slyde1" ...).

    make_set(folder, {"intro": show([cell(RED), cell(GREEN)]), "slyde0": show([cell(BLUE)], further_shows=1)})
"""
import json
import os
import subprocess
import time

from harness import run_tool, session_env, windows_path

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
YELLOW, MAGENTA, CYAN = (255, 255, 0), (255, 0, 255), (0, 255, 255)
BLACK = (0, 0, 0)


def cell(colour, display_ms=1200, transition=1, transition_ms=0):
    return {"has_image": 0, "background": 1, "background_colour": "#%02X%02X%02X" % colour,
            "display_ms": display_ms, "transition": transition, "transition_ms": transition_ms}


def show(cells, **fields):
    return dict(fields, cells=cells)


def make_set(folder, shows):
    """Writes each show (file name -> show object) as a show file in the folder."""
    sources = os.path.join(folder, "show-sources")
    os.makedirs(sources, exist_ok=True)
    for name, content in shows.items():
        source = os.path.join(sources, name + ".json")
        with open(source, "w") as f:
            json.dump(content, f)
        result = run_tool("show-make", windows_path(source), windows_path(os.path.join(folder, name)))
        assert result.returncode == 0, f"show-make {name}: {result.stderr}"


def colours_on_screen(folder, points):
    """The colours at the points of a screenshot of the whole session display."""
    path = os.path.join(folder, f"shot-{time.monotonic_ns()}.png")
    subprocess.run(["/usr/bin/import", "-window", "root", path], env=session_env(), check=True, timeout=30)
    try:
        return pixels(path, points)
    finally:
        os.remove(path)


def pixels(path, points):
    """The colours of the screenshot at the points, read by Pillow's Python."""
    script = ("import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGB'); "
              "pts = [tuple(map(int, p.split(','))) for p in sys.argv[2:]]; "
              "print(' '.join('%d,%d,%d' % im.getpixel(p) for p in pts))")
    out = subprocess.run(["/usr/bin/python3", "-c", script, path] + [f"{x},{y}" for x, y in points],
                         capture_output=True, text=True, check=True, timeout=60)
    return [tuple(int(v) for v in p.split(",")) for p in out.stdout.split()]


def near(colour, expected, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def distinct(colours):
    """The colours with repeats in a row collapsed."""
    out = []
    for c in colours:
        if not out or out[-1] != c:
            out.append(c)
    return out
