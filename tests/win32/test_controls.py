"""Control windows under Wine: a scripted top-level window with a backdrop
static and picture buttons; geometry, hover and press looks, click labels,
hide/show, size and the window's close label."""
import os
import subprocess
import tempfile

import harness
from harness import ProgramTest, probe, wait_until

TITLE = "Controls Test"
# The window's client area starts at (100, 80) on the screen. The buttons
# are children of the backdrop static: a later sibling lies under an earlier
# one, so siblings of the backdrop would never see the mouse.
ORIGIN = (100, 80)

PICTURES = """
  bitmap name=up width=120 height=40
  rect name=up left=0 top=0 width=120 height=40 innerColor=#0000FF
  bitmap name=hot width=120 height=40
  rect name=hot left=0 top=0 width=120 height=40 innerColor=#00FF00
  bitmap name=press width=120 height=40
  rect name=press left=0 top=0 width=120 height=40 innerColor=#FF0000
"""

MENU = """
begin init
  armed=0
  window name=main text="Controls Test" left=100 top=80 width=400 height=300 resize=0 close=$closing size=resized
""" + PICTURES + """
  static name=back parent=main left=0 top=0 width=400 height=300 innerColor=#FFFF00
  static name=panel parent=back left=300 top=250 width=80 height=40 innerColor=#FF00FF
  button name=b1 parent=back left=20 top=30 width=120 height=40 normalstate=up overstate=hot downstate=press trigger=sayHi
  button name=quit parent=back left=20 top=100 width=120 height=40 normalstate=up trigger=exit
  button name=mover parent=back left=200 top=30 width=60 height=60 trigger=moveIt
  button name=hider parent=back left=200 top=150 width=60 height=60 trigger=hideBack
  button name=shower parent=back left=280 top=150 width=60 height=60 trigger=showBack
  button name=grower parent=back left=280 top=30 width=60 height=60 trigger=grow
end
begin sayHi
  messagebox name=Hello text="Clicked once"
end
begin moveIt
  size name=quit left=250 top=220 width=100 height=30
end
begin hideBack
  hide name=panel
end
begin grow
  armed=1
  size name=main width=400 height=300
  size name=main width=500
end
The size label also runs while init sizes the window: it speaks only when armed.
begin resized
  if name=$armed call=tellSize
end
begin tellSize
  messagebox name=Resized text=$main.width
end
begin showBack
  show name=panel
end
"""


def script(closing="exit"):
    return MENU.replace("$closing", closing)


def pixel(path, x, y):
    """The (red, green, blue) of a screenshot pixel, read by Pillow's Python."""
    out = subprocess.run(["/usr/bin/python3", "-c",
                          "import sys; from PIL import Image; "
                          "print(*Image.open(sys.argv[1]).convert('RGB').getpixel((int(sys.argv[2]), int(sys.argv[3]))))",
                          path, str(x), str(y)], capture_output=True, text=True, check=True, timeout=30)
    return tuple(int(v) for v in out.stdout.split())


class ControlsTest(ProgramTest):
    def setUp(self):
        super().setUp()
        self.shots = tempfile.mkdtemp(prefix="lumavine-shots-")

    def start_menu(self, closing="exit"):
        # The first start in a fresh Wine session can be slow on a loaded machine.
        program = self.start(files={"menu.scr": script(closing)})
        program.move(5, 5)  # away from the window: no button starts hovered
        # The window is shown before init gives it its size: read it only
        # once init has run and the main loop started.
        program.wait_trace("main loop", timeout=60)
        window = program.wait_window(TITLE, "wnd", visible=True)
        return program, window

    def child_at(self, window, x, y, w, h):
        """The child window at that client position and size, or None."""
        for child in probe("children", hex(window.hwnd))[1]:
            if (child.x - ORIGIN[0], child.y - ORIGIN[1], child.width, child.height) == (x, y, w, h):
                return child
        return None

    def colour_at(self, program, x, y, name):
        path = program.screenshot(os.path.join(self.shots, name + ".png"))
        return pixel(path, ORIGIN[0] + x, ORIGIN[1] + y)

    def mouse(self, program, action):
        subprocess.run(["xdotool", action, "1"], env=harness.session_env(), check=True, timeout=10)

    def wait_colour(self, program, x, y, colour, what):
        return wait_until(lambda: self.colour_at(program, x, y, what) == colour, 10, what)

    def test_windows_appear_at_the_scripted_geometry(self):
        program, window = self.start_menu()
        # Client 400 x 300 at (100, 80): the frame and caption lie outside it.
        self.assertLess(window.x, ORIGIN[0])
        self.assertLess(window.y, ORIGIN[1])
        self.assertGreater(window.width, 400)
        self.assertGreater(window.height, 300)
        self.assertIsNotNone(self.child_at(window, 0, 0, 400, 300))
        button = self.child_at(window, 20, 30, 120, 40)
        self.assertIsNotNone(button)
        self.assertEqual(button.cls, "btn")
        self.assertTrue(button.visible)
        # Backdrop yellow, normal look blue, a button without pictures black.
        self.wait_colour(program, 5, 5, (255, 255, 0), "backdrop")
        self.wait_colour(program, 60, 50, (0, 0, 255), "normal look")
        self.wait_colour(program, 230, 60, (0, 0, 0), "no picture")

    def test_hover_and_press_change_the_look_and_a_click_runs_the_label(self):
        program, window = self.start_menu()
        self.wait_colour(program, 60, 50, (0, 0, 255), "normal look")
        program.move(ORIGIN[0] + 60, ORIGIN[1] + 50)
        self.wait_colour(program, 60, 50, (0, 255, 0), "over look")
        # A button without an over picture takes the normal one for it.
        program.move(ORIGIN[0] + 60, ORIGIN[1] + 120)
        self.wait_colour(program, 60, 50, (0, 0, 255), "normal again")
        program.move(ORIGIN[0] + 60, ORIGIN[1] + 50)
        self.wait_colour(program, 60, 50, (0, 255, 0), "over look again")
        self.mouse(program, "mousedown")
        self.wait_colour(program, 60, 50, (255, 0, 0), "down look")
        self.assertEqual(program.windows("Hello"), [])  # the trigger waits for the release
        self.mouse(program, "mouseup")
        box = program.wait_window("Hello", visible=True)
        self.assertTrue(box.visible)

    def test_size_moves_a_control(self):
        # Each edge moves alone (top also changes the height), so the line
        # gives all four.
        program, window = self.start_menu()
        program.click(ORIGIN[0] + 230, ORIGIN[1] + 60)
        moved = wait_until(lambda: self.child_at(window, 250, 220, 100, 30), 10, "moved button")
        self.assertEqual(moved.cls, "btn")
        self.assertIsNone(self.child_at(window, 20, 100, 120, 40))

    def test_hide_and_show(self):
        program, window = self.start_menu()
        self.wait_colour(program, 340, 270, (255, 0, 255), "panel")
        program.click(ORIGIN[0] + 230, ORIGIN[1] + 180)
        wait_until(lambda: not self.child_at(window, 300, 250, 80, 40).visible, 10, "hidden panel")
        self.wait_colour(program, 340, 270, (255, 255, 0), "backdrop behind the panel")
        program.click(ORIGIN[0] + 310, ORIGIN[1] + 180)
        wait_until(lambda: self.child_at(window, 300, 250, 80, 40).visible, 10, "shown panel")
        self.wait_colour(program, 340, 270, (255, 0, 255), "panel again")

    def test_the_size_label_runs_once_for_a_new_client_width(self):
        program, window = self.start_menu()
        program.click(ORIGIN[0] + 310, ORIGIN[1] + 60)
        box = program.wait_window("Resized", visible=True)
        grown = program.wait_window(TITLE, "wnd")
        # The client grew by 100; the frame stays as it was.
        self.assertEqual(grown.width - window.width, 100)
        self.assertEqual((grown.x, grown.y, grown.height), (window.x, window.y, window.height))
        # Setting the size the window has runs no label: one box only.
        self.assertEqual(len(program.windows("Resized")), 1)

    def test_exit_button_ends_the_program(self):
        program, window = self.start_menu()
        program.click(ORIGIN[0] + 60, ORIGIN[1] + 120)
        self.assertEqual(program.wait_exit(), 0)

    def test_closing_the_window_runs_its_close_label(self):
        program, window = self.start_menu()
        program.post(window.hwnd, 0x0010)  # WM_CLOSE
        self.assertEqual(program.wait_exit(), 0)
        self.assertIn("quit", program.trace())


PLACEMENT = """
begin init
  window name=big visible=0 maximize=1 resize=0
  window name=small text="Small" left=50 top=60 width=200 height=100 resize=0
end
begin postInit
  show name=big
end
"""


class PlacementTest(ProgramTest):
    def test_maximise_asked_while_hidden_applies_when_shown(self):
        program = self.start(files={"menu.scr": PLACEMENT})
        program.wait_trace("label postInit: ran")
        big = program.wait_window("", "wnd", visible=True)
        self.assertEqual((big.x, big.y, big.width, big.height), (0, 0, 1024, 768))

    def test_screen_saver_windows_cover_the_screen(self):
        program = self.start(r'-stub C:\x\menu.scr,"/s"', files={"menu.scr": PLACEMENT})
        program.wait_trace("main loop")
        small = program.wait_window("Small", "wnd", visible=True)
        # The scripted place gives way to the cover of the whole screen.
        self.assertEqual((small.x, small.y, small.width, small.height), (0, 0, 1024, 768))
        self.assertFalse(small.style & harness.WS_THICKFRAME)


if __name__ == "__main__":
    harness.main()
