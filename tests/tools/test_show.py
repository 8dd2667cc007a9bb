"""lumavine-tool show and show-make, natively: the JSON round trip through a
written show file, rendering with timing, and refusals."""
import json
import os
import shutil
import sys
import unittest

import tooltest
from tooltest import png_size, run

JPEG = None  # a JPEG picture for the cells

SHOW = {
    "title": "Tool test",
    "sound_on": 1,
    "background_colour": "#204060",
    "further_shows": 2,
    "banner": 1,
    "banner_text": "Banner",
    "mask_folder": "masks\\",
    "band_timing": 1,
    "sounds": [{"file": "music.mp3", "volume": 80, "delay_ms": -2000, "file_seconds": 61.25}],
    "captions": [{"x": 100, "text": "show-wide"}],
    "cells": [
        {"has_image": 1, "image": "pic.jpg", "fit": 1, "display_ms": 3000, "transition": 171, "transition_ms": 800,
         "tint": 1, "tint_colour": "#808080",
         "captions": [{"x": 5000, "y": 8000, "align": 2, "colour": "#FFFF00", "text": "Caf\u00e9 caption",
                       "font": {"height": 1500, "weight": 700, "face": "Arial"}, "outline": 1, "shadow": 1,
                       "shadow_opacity": 128}]},
        {"has_image": 1, "image": "missing.jpg", "background": 1, "background_colour": "#0000FF",
         "display_ms": 2000, "transition": 1, "transition_ms": 0, "sound": {"file": "voice.wav", "start_with_cell": 1}},
        {"has_image": 0, "display_ms": 1500, "transition": 42, "transition_ms": 300, "rotation": 90, "zoom": 0},
    ],
}


class ShowToolTest(tooltest.ToolTest):
    def setUp(self):
        super().setUp()
        shutil.copy(JPEG, self.path("pic.jpg"))
        self.source = self.write("show.json", json.dumps(SHOW))
        self.ok("show-make", self.source, self.path("slyde0"))

    def dump(self, number="0"):
        return self.ok("show", self.root, "--dump", number).stdout

    def test_dump_of_a_made_show_makes_the_same_file(self):
        first = self.dump()
        data = json.loads(first)
        self.assertEqual(data["title"], "Tool test")
        self.assertEqual(data["cells"][0]["captions"][0]["text"], "Caf\u00e9 caption")
        self.assertEqual(data["sounds"][0]["file_seconds"], 61.25)
        self.assertEqual(len(data["cells"]), 3)
        self.ok("show-make", self.write("dumped.json", first), self.path("slyde1"))
        self.assertEqual(self.dump("1"), first)
        self.assertEqual(self.read("slyde0"), self.read("slyde1"))
        self.ok("show-make", self.source, self.path("intro"))  # found by its name
        self.assertIn(b'"Tool test"', self.dump("intro"))
        self.assertEqual(run("show", self.root, "--dump", "4").returncode, 1)

    def test_render_writes_every_cell_and_the_timing(self):
        self.ok("show", self.root, "--render", "0", self.path("out"), "--size", "320x200")
        with open(self.path("out", "timing.tsv")) as f:
            self.assertEqual(f.read(), "0\t3000\t171\t800\n1\t2000\t1\t0\n2\t1500\t42\t300\n")
        for i in range(3):
            self.assertEqual(png_size(self.path("out", "cell-%03d.png" % i)), (320, 200))
        self.assertFalse(os.path.exists(self.path("out", "cell-003.png")))
        self.ok("show", self.root, "--render", "0", self.path("default"))
        self.assertEqual(png_size(self.path("default", "cell-000.png")), (1024, 768))

    def test_refusals(self):
        data = bytearray(self.read("slyde0"))
        data[0] = 1
        self.write("slyde2", bytes(data))
        self.assertEqual(run("show", self.root, "--dump", "2").returncode, 1)
        r = run("show-make", self.write("bad.json", '{"title": "x", "unknown": 1}'), self.path("slyde3"))
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"unknown", r.stderr)
        self.assertFalse(os.path.exists(self.path("slyde3")))
        self.assertEqual(run("show", self.root, "--dump", "x").returncode, 2)
        self.assertEqual(run("show", self.root, "--render", "0").returncode, 2)

    def test_make_to_standard_output(self):
        r = self.ok("show-make", self.source, "-")
        self.assertEqual(r.stdout[0], 0)
        self.assertGreater(len(r.stdout), 55522)


if __name__ == "__main__":
    tooltest.TOOL = sys.argv.pop(1)
    JPEG = sys.argv.pop(1)
    unittest.main()
