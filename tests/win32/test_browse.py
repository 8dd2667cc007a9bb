"""The photo browser under Wine: a folder of pictures shown as tiles and in
the viewer; next, rotation, zoom and a drag pan change the screen as
expected; copy puts a DIB on the clipboard, save writes a JPEG through the
dialog, print without a printer fails cleanly."""
import os
import shutil
import struct
import subprocess
import tempfile
import time

import harness
from harness import ProgramTest, probe, wait_until

TITLE = "Browse Test"
ORIGIN = (100, 80)  # the window's client area on the screen
VIEWER = (0, 0, 400, 300)
AREA = (0, 320)

MENU = """
begin init
  window name=main text="Browse Test" left=100 top=80 width=640 height=480 resize=0
  static name=back parent=main left=0 top=0 width=640 height=480 innerColor=#FFFF00
  viewer name=viewer parent=back left=0 top=0 width=400 height=300 innerColor=#00FF00
  thumbArea name=thumbArea parent=back left=0 top=320 width=640 height=160 imageWidth=100 imageHeight=100 innerColor=#FF00FF normalstate=tile overstate=tile downstate=pending seldownstate=pending
  button name=next parent=back left=420 top=10 width=60 height=30 trigger=goNext
  button name=turn parent=back left=420 top=50 width=60 height=30 trigger=goTurn
  button name=zoomIn parent=back left=420 top=90 width=60 height=30 trigger=goZoom
  button name=copyIt parent=back left=420 top=130 width=60 height=30 trigger=goCopy
  button name=saveIt parent=back left=420 top=170 width=60 height=30 trigger=goSave
  button name=printIt parent=back left=420 top=210 width=60 height=30 trigger=goPrint
  readFiles name=pics
end
begin postInit
  viewNext
end
begin tile
  rect name=thumb left=0 top=0 width=100 height=100 innerColor=#000000
  rect name=thumb left=0 top=0 width=th.width height=th.height innerBit=th innerBitX=0 innerBitY=0
end
begin pending
  rect name=thumb left=0 top=0 width=100 height=100 innerColor=#808080
end
begin goNext
  viewNext
end
begin goTurn
  setViewer angle=90
end
begin goZoom
  setViewer zoom=4000
end
begin goCopy
  copy
end
begin goSave
  save parent=main
end
begin goPrint
  print
end
begin saveError
  messagebox name=Failed text="save failed"
end
"""

# a: red left half, blue right half, 1600 x 800, so the 400 x 300 viewer
# shows it at a quarter (held from a half-size decode until zoom, a turn or
# an output needs the whole); b: cyan; c: orange, square.
PICTURES = r"""
import sys
from PIL import Image
folder = sys.argv[1]
a = Image.new("RGB", (1600, 800), (255, 0, 0))
a.paste((0, 0, 255), (800, 0, 1600, 800))
a.save(folder + "/a.jpg", quality=95)
Image.new("RGB", (400, 200), (0, 255, 255)).save(folder + "/b.jpg", quality=95)
Image.new("RGB", (300, 300), (255, 128, 0)).save(folder + "/c.jpg", quality=95)
"""

RED, BLUE, CYAN, ORANGE, GREEN, GREY = (255, 0, 0), (0, 0, 255), (0, 255, 255), (255, 128, 0), (0, 255, 0), (128, 128, 128)


def pixels(path, points):
    out = subprocess.run(["/usr/bin/python3", "-c",
                          "import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGB'); "
                          "pts = sys.argv[2:]; "
                          "print(*[' '.join(map(str, im.getpixel((int(pts[i]), int(pts[i + 1]))))) for i in range(0, len(pts), 2)], sep='\\n')",
                          path, *[str(v) for p in points for v in p]],
                         capture_output=True, text=True, check=True, timeout=30)
    return [tuple(int(v) for v in line.split()) for line in out.stdout.splitlines()]


def near(a, b, tolerance=40):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class BrowseTest(ProgramTest):
    def setUp(self):
        super().setUp()
        self.shots = tempfile.mkdtemp(prefix="lumavine-shots-")
        os.makedirs(os.path.join(self.folder, "pics"))
        subprocess.run(["/usr/bin/python3", "-c", PICTURES, os.path.join(self.folder, "pics")], check=True,
                       timeout=60)
        self.shot_count = 0

    def start_browser(self):
        program = self.start(files={"menu.scr": MENU})
        program.move(5, 5)
        program.wait_trace("main loop", timeout=60)
        window = program.wait_window(TITLE, "wnd", visible=True)
        return program, window

    def colours(self, program, points):
        self.shot_count += 1
        path = program.screenshot(os.path.join(self.shots, f"shot{self.shot_count}.png"))
        return pixels(path, [(ORIGIN[0] + x, ORIGIN[1] + y) for x, y in points])

    def wait_colours(self, program, expected, what):
        points = list(expected.keys())
        want = list(expected.values())
        return wait_until(lambda: all(near(c, w) for c, w in zip(self.colours(program, points), want)), 15, what)

    def press(self, program, button_top):
        program.click(ORIGIN[0] + 450, ORIGIN[1] + button_top + 15)
        program.move(5, 5)

    def test_tiles_show_their_pictures(self):
        program, _ = self.start_browser()
        self.wait_colours(program, {(25, 345): RED, (75, 345): BLUE, (150, 345): CYAN, (250, 370): ORANGE},
                          "tiles with pictures")

    def test_viewer_fits_and_centres_then_next_and_previous_step(self):
        program, _ = self.start_browser()
        # viewNext from no selection shows the second file: b, 400 x 200 at zoom 1, centred.
        self.wait_colours(program, {(200, 150): CYAN, (200, 20): GREEN, (200, 280): GREEN}, "b fitted")
        self.press(program, 10)
        # c: 300 x 300 fitted into 400 x 300, centred with green bars left and right.
        self.wait_colours(program, {(200, 150): ORANGE, (20, 150): GREEN, (380, 150): GREEN}, "c fitted")
        self.press(program, 10)
        self.wait_colours(program, {(100, 150): RED, (300, 150): BLUE, (200, 20): GREEN}, "a after wrapping")

    def show_a(self, program):
        self.wait_colours(program, {(200, 150): CYAN}, "b")
        self.press(program, 10)
        self.wait_colours(program, {(200, 150): ORANGE}, "c")
        self.press(program, 10)
        self.wait_colours(program, {(100, 150): RED, (300, 150): BLUE}, "a")

    def test_rotation_turns_the_picture_clockwise(self):
        program, _ = self.start_browser()
        self.show_a(program)
        self.press(program, 50)
        # The left half (red) is now on top.
        self.wait_colours(program, {(200, 60): RED, (200, 240): BLUE, (20, 150): GREEN}, "a turned")

    def test_zoom_and_drag_pan(self):
        program, _ = self.start_browser()
        self.show_a(program)
        self.press(program, 90)
        # Zoom 4: 6400 x 3200 centred, the colour edge at x = 200.
        self.wait_colours(program, {(150, 150): RED, (250, 150): BLUE}, "zoomed")
        env = harness.session_env()
        subprocess.run(["xdotool", "mousemove", str(ORIGIN[0] + 250), str(ORIGIN[1] + 150), "mousedown", "1"],
                       env=env, check=True, timeout=10)
        for x in (230, 200, 170, 150):
            subprocess.run(["xdotool", "mousemove", str(ORIGIN[0] + x), str(ORIGIN[1] + 150)], env=env, check=True,
                           timeout=10)
            time.sleep(0.05)
        subprocess.run(["xdotool", "mouseup", "1"], env=env, check=True, timeout=10)
        # Dragged 100 pixels left: the edge moved to x = 100.
        self.wait_colours(program, {(50, 150): RED, (150, 150): BLUE}, "panned")

    def read_clipboard(self):
        path = os.path.join(self.shots, "clip.dib")
        code, _ = probe("clipboard", harness.windows_path(path))
        if code != 0 or not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            data = f.read()
        os.remove(path)
        return data

    def test_copy_puts_the_shown_picture_on_the_clipboard(self):
        program, _ = self.start_browser()
        self.show_a(program)
        self.press(program, 130)
        dib = wait_until(self.read_clipboard, 15, "a DIB on the clipboard")
        size, width, height, planes, bits = struct.unpack_from("<IiiHH", dib, 0)
        # The whole picture, not the half-size one the viewer showed it from.
        self.assertEqual((size, width, height, planes, bits), (40, 1600, 800, 1, 24))
        row = (width * 3 + 3) // 4 * 4
        # Rows bottom-up, pixels blue, green, red.
        def at(x, y):
            offset = 40 + (height - 1 - y) * row + 3 * x
            return (dib[offset + 2], dib[offset + 1], dib[offset])
        self.assertTrue(near(at(400, 200), RED), at(400, 200))
        self.assertTrue(near(at(1200, 600), BLUE), at(1200, 600))
        # Turned, it is copied as shown.
        self.press(program, 50)
        self.wait_colours(program, {(200, 60): RED}, "a turned")
        self.press(program, 130)
        turned = wait_until(lambda: (lambda d: d if d and struct.unpack_from("<i", d, 4)[0] == 800 else None)(
            self.read_clipboard()), 15, "the turned DIB")
        self.assertEqual(struct.unpack_from("<ii", turned, 4), (800, 1600))

    def test_save_through_the_dialog_writes_the_shown_picture(self):
        program, _ = self.start_browser()
        self.show_a(program)
        self.press(program, 50)  # turned: the file differs from a.jpg
        self.wait_colours(program, {(200, 60): RED}, "a turned")
        self.press(program, 170)
        dialog = program.wait_window("Save As", timeout=30, visible=True)
        self.assertIsNotNone(dialog)
        target = os.path.join(self.folder, "saved.jpg")
        env = harness.session_env()
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "ctrl+a"], env=env, check=True, timeout=10)
        subprocess.run(["xdotool", "type", "--delay", "20", harness.windows_path(target)], env=env, check=True,
                       timeout=60)
        subprocess.run(["xdotool", "key", "Return"], env=env, check=True, timeout=10)
        wait_until(lambda: os.path.exists(target), 20, "saved file")
        time.sleep(0.5)
        out = subprocess.run(["/usr/bin/python3", "-c",
                              "import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGB'); "
                              "print(im.size[0], im.size[1], *im.getpixel((400, 400)), *im.getpixel((400, 1200)))",
                              target], capture_output=True, text=True, check=True, timeout=30)
        values = [int(v) for v in out.stdout.split()]
        self.assertEqual(values[:2], [800, 1600])
        self.assertTrue(near(tuple(values[2:5]), RED), values)
        self.assertTrue(near(tuple(values[5:8]), BLUE), values)
        self.assertEqual([n for n in os.listdir(self.folder) if "tmp" in n], [])

    def test_print_without_a_printer_fails_cleanly(self):
        program, window = self.start_browser()
        self.wait_colours(program, {(200, 150): CYAN}, "b")
        self.press(program, 210)
        time.sleep(2)
        # Whatever Wine shows for a missing printer is dismissed; the program goes on.
        for title in ("Print", "Printing", "Error", "Lumavine"):
            for w in program.windows(title):
                if w.visible:
                    program.keys("Escape")
        time.sleep(1)
        self.assertTrue(program.running())
        self.press(program, 10)
        self.wait_colours(program, {(200, 150): ORANGE}, "next still works")


DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo")


class DemoTest(ProgramTest):
    def test_browse_pictures_opens_the_browser_with_tiles(self):
        shutil.copytree(DEMO, self.folder, dirs_exist_ok=True)
        program = self.start()
        program.move(5, 5)
        program.wait_trace("main loop", timeout=60)
        main = program.wait_window("Lumavine", "wnd", visible=True)
        program.click(112 + 400, 84 + 306)
        browser = program.wait_window("Lumavine pictures", "wnd", visible=True, timeout=30)
        self.assertTrue(browser.visible)


if __name__ == "__main__":
    harness.main()
