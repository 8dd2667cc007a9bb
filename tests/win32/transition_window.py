"""A transition in a real window under Wine: lvtransition runs it through the
window display (DirectDraw where it works, else the back buffer) and the
frame clock's timer thread; the last frame on the screen must be picture B,
whose pattern this test computes too."""
import os
import subprocess
import tempfile
import unittest

import harness
from harness import Program, wait_until

LEFT, TOP, WIDTH, HEIGHT = 40, 40, 160, 100


def incoming(x, y):
    return ((x * 3) & 255, (y * 5) & 255, 77)


def region(path):
    """The screenshot's pixels over the window, read by Pillow's Python."""
    script = ("import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGB'); "
              f"print(' '.join('%d,%d,%d' % im.getpixel(({LEFT} + x, {TOP} + y)) "
              f"for y in range({HEIGHT}) for x in range({WIDTH})))")
    out = subprocess.run(["/usr/bin/python3", "-c", script, path], capture_output=True, text=True, check=True,
                         timeout=60)
    values = [tuple(int(v) for v in p.split(",")) for p in out.stdout.split()]
    return {(i % WIDTH, i // WIDTH): v for i, v in enumerate(values)}


class TransitionWindowTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="lumavine-transition-")
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.kill()

    def show(self, name, *extra):
        command = " ".join([name, *extra])
        self.program = Program.start(harness.EXE, self.folder, command)
        self.program.wait_trace("finished", timeout=60)
        lines = self.program.trace()
        print(f"{name}: {lines}")
        window = wait_until(lambda: self.program.windows("lvtransition"), 30, "the window")[0]
        self.assertEqual((window.x, window.y, window.width, window.height), (LEFT, TOP, WIDTH, HEIGHT))
        shot = self.program.screenshot(os.path.join(self.folder, name + ".png"))
        shown = region(shot)
        wrong = [(x, y) for (x, y), v in shown.items() if v != incoming(x, y)]
        self.assertFalse(wrong, f"{len(wrong)} pixels differ from B, first {wrong[:3]}: {[shown[p] for p in wrong[:3]]}")
        self.program.quit(window)
        self.assertEqual(self.program.wait_exit(timeout=30), 0)
        return lines

    def test_push_ends_on_b(self):
        self.show("ssPushLR")

    def test_cross_fade_ends_on_b(self):
        self.show("ssBlend")

    def test_back_buffer_slide_ends_on_b(self):
        lines = self.show("ssSlideOpenCorners", "portable")
        self.assertIn("mode backbuffer", lines)


if __name__ == "__main__":
    harness.main()
