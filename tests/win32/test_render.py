"""The drawing statements with the Windows font engine: the cross-built
lumavine-tool renders the gallery's shapes picture, and its pixels are
checked at known places."""
import os
import shutil
import tempfile
import unittest

import harness
from harness import run_tool, windows_path

GALLERY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render", "gallery")


def read_ppm(path):
    """(width, height, rows of (r, g, b) tuples) of a binary PPM."""
    with open(path, "rb") as f:
        data = f.read()
    fields, position = [], 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    assert fields[0] == b"P6", fields[0]
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:]
    rows = [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]
    return width, height, rows


class RenderTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="lumavine-render-")
        out = os.path.join(cls.folder, "shapes.ppm")
        result = run_tool("script", windows_path(GALLERY), "--render", "shapes", windows_path(out))
        assert result.returncode == 0, result.stderr
        cls.width, cls.height, cls.rows = read_ppm(out)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def at(self, x, y):
        return self.rows[y][x]

    def count(self, colour, left, top, right, bottom, tolerance=0):
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if all(abs(a - b) <= tolerance for a, b in zip(self.rows[y][x], colour)))

    def test_banded_rectangle(self):
        self.assertEqual((self.width, self.height), (400, 240))
        self.assertEqual(self.at(100, 70), (255, 0, 0))    # red centre
        self.assertEqual(self.at(22, 70), (0, 0, 255))     # blue outside the band
        red, _, blue = self.at(33, 70)                     # inside the band: a blend
        self.assertTrue(0 < red < 255 and 0 < blue < 255, self.at(33, 70))
        self.assertEqual(self.at(10, 10), (232, 232, 232))  # the picture's ground

    def test_ellipse(self):
        self.assertEqual(self.at(300, 70), (32, 160, 64))
        self.assertEqual(self.at(222, 22), (232, 232, 232))  # the rectangle's corner lies outside

    def test_embossed_text_lights_and_shades(self):
        lit = self.count((255, 255, 255), 10, 140, 190, 225, tolerance=40)
        shaded = sum(1 for y in range(140, 225) for x in range(10, 190) if max(self.rows[y][x]) < 150)
        self.assertGreater(lit, 20)
        self.assertGreater(shaded, 20)

    def test_caption_draws_inside_its_box_only(self):
        inside = self.count((255, 255, 255), 225, 150, 400, 215, tolerance=10)
        self.assertGreater(inside, 50)
        self.assertEqual(self.count((255, 255, 255), 200, 100, 400, 140, tolerance=10), 0)
        # The outline: black pixels right next to the letters.
        self.assertGreater(self.count((0, 0, 0), 225, 150, 400, 215, tolerance=30), 50)


if __name__ == "__main__":
    harness.main()
