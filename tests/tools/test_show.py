"""lumavine-tool show and show-make, natively: the JSON round trip through a
written show file, rendering with timing, and refusals."""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

TOOL = None  # set from the command line
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


def run(*args):
    return subprocess.run([TOOL, *map(str, args)], capture_output=True, timeout=120)


class ShowToolTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="lumavine-show-")
        shutil.copy(JPEG, os.path.join(self.root, "pic.jpg"))
        self.source = os.path.join(self.root, "show.json")
        with open(self.source, "w") as f:
            json.dump(SHOW, f)

    def tearDown(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.root, name)

    def make(self, source, out):
        r = run("show-make", source, out)
        self.assertEqual(r.returncode, 0, r.stderr)

    def dump(self, number="0"):
        r = run("show", self.root, "--dump", number)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r.stdout

    def test_dump_of_a_made_show_makes_the_same_file(self):
        self.make(self.source, self.path("slyde0"))
        first = self.dump()
        data = json.loads(first)
        self.assertEqual(data["title"], "Tool test")
        self.assertEqual(data["cells"][0]["captions"][0]["text"], "Caf\u00e9 caption")
        self.assertEqual(data["sounds"][0]["file_seconds"], 61.25)
        self.assertEqual(len(data["cells"]), 3)
        with open(self.path("dumped.json"), "wb") as f:
            f.write(first)
        self.make(self.path("dumped.json"), self.path("slyde1"))
        self.assertEqual(self.dump("1"), first)
        with open(self.path("slyde0"), "rb") as a, open(self.path("slyde1"), "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_intro_is_found_by_name(self):
        self.make(self.source, self.path("intro"))
        self.assertIn(b'"Tool test"', self.dump("intro"))
        self.assertEqual(run("show", self.root, "--dump", "4").returncode, 1)

    def test_render_writes_every_cell_and_the_timing(self):
        self.make(self.source, self.path("slyde0"))
        out = self.path("out")
        r = run("show", self.root, "--render", "0", out, "--size", "320x200")
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(out, "timing.tsv")) as f:
            self.assertEqual(f.read(), "0\t3000\t171\t800\n1\t2000\t1\t0\n2\t1500\t42\t300\n")
        for i in range(3):
            with open(os.path.join(out, "cell-%03d.png" % i), "rb") as f:
                head = f.read(24)
            self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", head[16:24]), (320, 200))
        self.assertFalse(os.path.exists(os.path.join(out, "cell-003.png")))

    def test_render_default_size(self):
        self.make(self.source, self.path("slyde0"))
        out = self.path("out")
        self.assertEqual(run("show", self.root, "--render", "0", out).returncode, 0)
        with open(os.path.join(out, "cell-000.png"), "rb") as f:
            self.assertEqual(struct.unpack(">II", f.read(24)[16:24]), (1024, 768))

    def test_refusals(self):
        self.make(self.source, self.path("slyde0"))
        with open(self.path("slyde0"), "rb") as f:
            data = bytearray(f.read())
        data[0] = 1
        with open(self.path("slyde2"), "wb") as f:
            f.write(data)
        self.assertEqual(run("show", self.root, "--dump", "2").returncode, 1)
        with open(self.path("bad.json"), "w") as f:
            f.write('{"title": "x", "unknown": 1}')
        r = run("show-make", self.path("bad.json"), self.path("slyde3"))
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"unknown", r.stderr)
        self.assertFalse(os.path.exists(self.path("slyde3")))
        self.assertEqual(run("show", self.root, "--dump", "x").returncode, 2)
        self.assertEqual(run("show", self.root, "--render", "0").returncode, 2)

    def test_make_to_standard_output(self):
        r = run("show-make", self.source, "-")
        self.assertEqual(r.returncode, 0)
        self.assertEqual(r.stdout[0], 0)
        self.assertGreater(len(r.stdout), 55522)


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    JPEG = sys.argv.pop(1)
    unittest.main()
