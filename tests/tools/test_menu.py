"""lumavine-tool menu and menu-make, natively: a set of five shows with a
menu of four places, its pages drawn to PNG, clicks, and refusals."""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

TOOL = None  # set from the command line
JPEG = None  # the menu background

ITEM = {"face": "Arial", "style": "%n. %t", "font_height": 20, "horizontal": 1, "text_colour": "#FFFFFF"}
MENU = {
    "title": "Menu", "background": "back.jpg", "design_width": 400, "design_height": 300,
    "title_item": dict(ITEM, label=[0, 0, 400, 30], anchor=[200, 15], style=""),
    "loop_all": dict(ITEM, label=[10, 260, 190, 290], anchor=[100, 275]),
    "play_all": dict(ITEM, label=[210, 260, 390, 290], anchor=[300, 275]),
    "items": [dict(ITEM, thumb=[10 + 100 * k, 40, 90 + 100 * k, 100], label=[10 + 100 * k, 105, 90 + 100 * k, 125],
                   anchor=[50 + 100 * k, 115]) for k in range(4)],
}
SHOW = {"title": "First", "further_shows": 4, "menu_brightness": 0,
        "cells": [{"has_image": 0, "background": 1, "background_colour": "#FF0000", "display_ms": 1000}]}


def run(*args):
    return subprocess.run([TOOL, *map(str, args)], capture_output=True, timeout=120)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", head
    return struct.unpack(">II", head[16:24])


class MenuToolTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="lumavine-menu-")
        shutil.copy(JPEG, self.path("back.jpg"))
        self.write_json("menu.json", MENU)
        self.write_json("show.json", SHOW)
        for n in range(5):
            r = run("show-make", self.path("show.json"), self.path("slyde%d" % n))
            self.assertEqual(r.returncode, 0, r.stderr)

    def tearDown(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.root, name)

    def write_json(self, name, value):
        with open(self.path(name), "w") as f:
            json.dump(value, f)

    def make_menu(self):
        r = run("menu-make", self.path("menu.json"), self.path("menudef"))
        self.assertEqual(r.returncode, 0, r.stderr)

    def hit(self, page, x, y):
        r = run("menu", self.root, "--hit", page, x, y)
        self.assertEqual(r.returncode, 0, r.stderr)
        choice, rect = r.stdout.decode().strip().split("\t")
        return int(choice), [int(v) for v in rect.split()]

    def test_made_file_has_its_layout(self):
        self.make_menu()
        self.assertEqual(os.path.getsize(self.path("menudef")), 1 + 1367 + 4 * 189)

    def test_pages_render_at_the_players_size(self):
        self.make_menu()
        for page in (0, 1):
            out = self.path("page%d.png" % page)
            r = run("menu", self.root, "--render", page, out)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(png_size(out), (800, 600))

    def test_clicks_choose_shows_and_extra_items(self):
        self.make_menu()
        self.assertEqual(self.hit(0, 250, 100), (1, [220, 80, 380, 200]))  # second thumbnail, scaled x2
        self.assertEqual(self.hit(1, 40, 100)[0], 4)      # page 1: the fifth show
        self.assertEqual(self.hit(1, 250, 100)[0], -1)    # nothing in its second place
        self.assertEqual(self.hit(0, 40, 540)[0], 5)      # "Loop All"
        self.assertEqual(self.hit(0, 440, 540)[0], 6)     # "Play All"
        self.assertEqual(self.hit(0, 799, 599)[0], -1)

    def test_refusals(self):
        r = run("menu", self.root, "--render", 0, self.path("x.png"))
        self.assertEqual(r.returncode, 1)  # no menudef yet
        self.assertIn(b"no menu", r.stderr)
        with open(self.path("menudef"), "wb") as f:
            f.write(b"\0" * 100)
        self.assertEqual(run("menu", self.root, "--hit", 0, 1, 1).returncode, 1)
        self.assertEqual(run("menu", self.root, "--render", "x", "out.png").returncode, 2)
        self.write_json("bad.json", dict(MENU, design_width=0))
        r = run("menu-make", self.path("bad.json"), self.path("menudef"))
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"design_width", r.stderr)


if __name__ == "__main__":
    TOOL, JPEG = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1])
