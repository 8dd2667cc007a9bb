"""lumavine-tool menu and menu-make, natively: a set of five shows with a
menu of four places, its pages drawn to PNG, clicks, and refusals."""
import json
import os
import shutil
import sys
import unittest

import tooltest
from tooltest import png_size, run

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


class MenuToolTest(tooltest.ToolTest):
    def setUp(self):
        super().setUp()
        shutil.copy(JPEG, self.path("back.jpg"))
        self.write("menu.json", json.dumps(MENU))
        self.write("show.json", json.dumps(SHOW))
        for n in range(5):
            self.ok("show-make", self.path("show.json"), self.path("slyde%d" % n))

    def make_menu(self):
        self.ok("menu-make", self.path("menu.json"), self.path("menudef"))

    def hit(self, page, x, y):
        choice, rect = self.ok("menu", self.root, "--hit", page, x, y).stdout.decode().strip().split("\t")
        return int(choice), [int(v) for v in rect.split()]

    def test_made_file_has_its_layout_and_pages_render_at_the_players_size(self):
        self.make_menu()
        self.assertEqual(os.path.getsize(self.path("menudef")), 1 + 1367 + 4 * 189)
        for page in (0, 1):
            self.ok("menu", self.root, "--render", page, self.path("page%d.png" % page))
            self.assertEqual(png_size(self.path("page%d.png" % page)), (800, 600))

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
        self.write("menudef", b"\0" * 100)
        self.assertEqual(run("menu", self.root, "--hit", 0, 1, 1).returncode, 1)
        self.assertEqual(run("menu", self.root, "--render", "x", "out.png").returncode, 2)
        r = run("menu-make", self.write("bad.json", json.dumps(dict(MENU, design_width=0))), self.path("menudef"))
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"design_width", r.stderr)


if __name__ == "__main__":
    tooltest.TOOL, JPEG = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1])
