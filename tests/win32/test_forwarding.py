"""Keys and wheel turns that controls forward to the thumbnail area and the
viewer: each is forwarded at most once and never back to the window it came
from, so one wheel turn or key always ends and the player stays responsive."""
import harness
from harness import ProgramTest, probe, wait_until

WM_KEYDOWN = 0x0100
WM_MOUSEWHEEL = 0x020A
VK_DOWN = 0x28
WHEEL_UP = 120 << 16  # one notch away from the user, in the high word
ORIGIN = (100, 80)  # the window's client area on the screen

# A thumbnail area beside a button: the area takes the wheel itself, the
# button and the window forward it there.
BESIDE = """
begin init
  window name=main text="Wheel Test" left=100 top=80 width=400 height=300 resize=0 close=exit
  thumbArea name=thumbArea parent=main left=0 top=0 width=200 height=300 visible=1
  button name=ping parent=main left=250 top=30 width=100 height=50 trigger=ping
end
begin ping
  messagebox name=Pong text=alive
end
"""

# The names belong to the wrong kinds of window: "thumbArea" to a button,
# "viewer" to the top-level window that holds it.
MISNAMED = """
begin init
  window name=viewer text="Wheel Test" left=100 top=80 width=400 height=300 resize=0 close=exit
  button name=thumbArea parent=viewer left=20 top=30 width=100 height=50
  button name=ping parent=viewer left=250 top=30 width=100 height=50 trigger=ping
end
begin ping
  messagebox name=Pong text=alive
end
"""


def screen_point(x, y):
    return ((ORIGIN[1] + y) << 16) | (ORIGIN[0] + x)


class ForwardingTest(ProgramTest):
    def start_script(self, script):
        program = self.start(files={"menu.scr": script})
        program.wait_trace("main loop", timeout=60)
        window = program.wait_window("Wheel Test", "wnd", visible=True)
        return program, window

    def child(self, window, cls, x):
        """The child of that class whose left edge is at x in the client area."""
        for c in probe("children", hex(window.hwnd))[1]:
            if c.cls == cls and c.x - ORIGIN[0] == x:
                return c
        self.fail(f"no {cls} child at x={x}")

    def forwards(self, program):
        return [line for line in program.trace() if line.startswith("forward ")]

    def ping(self, program):
        """A click on ping runs its label: everything posted before it has
        been handled, and the player still answers."""
        program.click(ORIGIN[0] + 300, ORIGIN[1] + 55)
        box = program.wait_window("Pong", visible=True, timeout=30)
        program.post(box.hwnd, 0x0010)  # WM_CLOSE
        wait_until(lambda: not program.windows("Pong"), 30, "the box to close")

    def forwarded_by(self, program, hwnd, message, wparam, lparam):
        """The forwards that one posted message caused."""
        before = len(self.forwards(program))
        self.assertTrue(program.post(hwnd, message, wparam, lparam))
        self.ping(program)
        return self.forwards(program)[before:]

    def wheel(self, program, hwnd, x, y):
        return self.forwarded_by(program, hwnd, WM_MOUSEWHEEL, WHEEL_UP, screen_point(x, y))

    def key(self, program, hwnd):
        return self.forwarded_by(program, hwnd, WM_KEYDOWN, VK_DOWN, 1)

    def turn_real_wheel(self, program, points):
        """Real wheel turns as the user makes them: each is forwarded once at most."""
        before = len(self.forwards(program))
        for x, y in points:
            program.move(ORIGIN[0] + x, ORIGIN[1] + y)
            program.click(ORIGIN[0] + x, ORIGIN[1] + y, button=4)
            program.click(ORIGIN[0] + x, ORIGIN[1] + y, button=5)
        self.ping(program)
        self.assertLessEqual(len(self.forwards(program)) - before, 2 * len(points))

    def close(self, program, window):
        self.assertTrue(program.running())
        program.post(window.hwnd, 0x0010)
        self.assertEqual(program.wait_exit(), 0)

    def test_a_wheel_reaches_the_thumbnail_area_once_and_ends_there(self):
        program, window = self.start_script(BESIDE)
        area = self.child(window, "thm", 0)
        button = self.child(window, "btn", 250)
        self.assertEqual(self.wheel(program, area.hwnd, 100, 100), [])
        self.assertEqual(self.wheel(program, button.hwnd, 300, 55), ["forward wheel to thumbArea"])
        self.assertEqual(self.wheel(program, window.hwnd, 300, 200), ["forward wheel to thumbArea"])
        self.assertEqual(self.key(program, window.hwnd), ["forward key to thumbArea"])
        self.turn_real_wheel(program, ((100, 100), (300, 55), (300, 200)))
        self.close(program, window)

    def test_names_on_a_button_and_the_window_forward_nothing_back(self):
        program, window = self.start_script(MISNAMED)
        misnamed = self.child(window, "btn", 20)
        # The button is "thumbArea" itself and the window "viewer" its
        # ancestor: nothing to forward to.
        self.assertEqual(self.key(program, misnamed.hwnd), [])
        # The window forwards to the button once; the button hands nothing back.
        self.assertEqual(self.key(program, window.hwnd), ["forward key to thumbArea"])
        self.assertEqual(self.wheel(program, window.hwnd, 200, 200), ["forward wheel to thumbArea"])
        # The button passes the wheel up to the window, which forwards it once.
        self.assertEqual(self.wheel(program, misnamed.hwnd, 70, 55), ["forward wheel to thumbArea"])
        self.turn_real_wheel(program, ((70, 55), (200, 200)))
        self.close(program, window)


if __name__ == "__main__":
    harness.main()
