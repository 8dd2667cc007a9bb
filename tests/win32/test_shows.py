"""Shows in the viewer under Wine: a script starts playback and the cells go
up in order, a cross-fade passes through colours between two cells, a typed
number starts that show and Escape stops it, and a click on the show menu
chooses a show. Shows are flat-coloured cells made by show-make, so the
colour in the middle of the viewer tells which cell is up."""
import os
import shutil
import time

import harness
from harness import ProgramTest, probe, wait_until
from show_set import (BLACK, BLUE, CYAN, GREEN, MAGENTA, RED, YELLOW, cell, colours_on_screen, distinct, make_set,
                      near, show)

DESKTOP = (37, 111, 149)  # Wine's desktop before the window is up
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def viewer_script(width, height, start=True):
    return ("begin init\n"
            f"    window name=main text=\"Shows\" left=100 top=80 width={width} height={height} resize=0 close=exit\n"
            f"    viewer name=viewer parent=main left=0 top=0 width={width} height={height}\n"
            + ("    setViewer ssActive=1\n" if start else "") +
            "end\n")


class ShowTest(ProgramTest):
    def play(self, shows, width=320, height=240, start=True, extra=None):
        make_set(self.folder, shows)
        files = {"shows.scr": viewer_script(width, height, start)}
        files.update(extra or {})
        program = self.start("", files)
        program.wait_trace("main loop", timeout=90)
        self.viewer = self.viewer_window(program)
        self.middle = (self.viewer.x + self.viewer.width // 2, self.viewer.y + self.viewer.height // 2)
        return program

    def viewer_window(self, program):
        top = program.wait_window("Shows", "wnd")
        def find():
            return [w for w in probe("children", hex(top.hwnd))[1] if w.cls == "vwr"]
        return wait_until(find, 30, "the viewer")[0]

    def colour(self, program):
        return colours_on_screen(self.folder, [self.middle])[0]

    def wait_colour(self, program, expected, timeout=20):
        return wait_until(lambda: near(self.colour(program), expected), timeout, f"colour {expected}")

    def end(self, program):
        program.keys("Escape")
        if program.running():
            program.quit(program.wait_window("Shows", "wnd"))
        self.assertEqual(program.wait_exit(), 0)
        self.assertIn("shutdown complete", program.trace())

    def add_menu(self):
        """A menu of two shows a page over a picture of the test data (show_menudef.json)."""
        menu_json = os.path.join(self.folder, "menudef.json")
        shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "show_menudef.json"), menu_json)
        shutil.copy(os.path.join(DATA, "jpeg", "s420.jpg"), os.path.join(self.folder, "menu.jpg"))
        result = harness.run_tool("menu-make", harness.windows_path(menu_json),
                                  harness.windows_path(os.path.join(self.folder, "menudef")))
        self.assertEqual(result.returncode, 0, result.stderr)

    THREE_SHOWS = {
        "intro": show([cell(RED, display_ms=60000)]),
        "slyde0": show([cell(BLUE, display_ms=60000)], further_shows=1),
        "slyde1": show([cell(MAGENTA, display_ms=60000)]),
    }

    def watch_until(self, program, expected, timeout=60):
        """The colours in the middle of the viewer, sampled until one is near the expected."""
        seen, end = [], time.monotonic() + timeout
        while not seen or not near(seen[-1], expected):
            self.assertLess(time.monotonic(), end, f"colour {expected} never came: {distinct(seen)}")
            seen.append(self.colour(program))
        return seen

    def test_a_script_plays_the_cells_in_order(self):
        cells = [RED, GREEN, BLUE, YELLOW]
        program = self.play({"intro": show([cell(c, 2500) for c in cells])})
        seen = [c for c in distinct(self.watch_until(program, YELLOW)) if c not in (BLACK, DESKTOP)]
        # The samples begin whenever the window is up: at least the last three
        # cells are seen, one after the other, and nothing else.
        self.assertGreaterEqual(len(seen), 3, seen)
        self.assertEqual(seen, cells[-len(seen):], seen)
        shown = [line for line in program.trace() if line.startswith("show picture: ")]
        self.assertGreaterEqual(len(shown), 4, shown)
        self.end(program)

    def test_a_cross_fade_passes_between_the_two_cells(self):
        dark, light = (48, 48, 48), (208, 208, 208)
        program = self.play({
            "intro": show([cell(dark, display_ms=1500), cell(light, display_ms=60000, transition=171,
                                                              transition_ms=4000)]),
        })
        seen = self.watch_until(program, light)
        self.assertTrue(any(near(c, dark) for c in seen), distinct(seen))
        between = [c for c in seen if all(dark[0] + 8 < v < light[0] - 8 for v in c)]
        self.assertTrue(between, f"no frame between the two cells: {distinct(seen)}")
        self.assertIn("show display: back buffer", program.trace())
        self.end(program)

    def test_a_typed_number_starts_that_show_and_escape_stops_it(self):
        self.add_menu()
        program = self.play(self.THREE_SHOWS, width=800, height=600, start=False)
        program.click(*self.middle)  # the viewer takes the keys
        program.keys("2")
        program.wait_trace("playback tick: started")
        self.wait_colour(program, MAGENTA)
        program.keys("Escape")
        program.wait_trace("playback tick: stopped")
        program.wait_trace("show picture: menu")  # back to the menu
        time.sleep(0.5)
        self.assertTrue(program.running(), "Escape during a show must only stop it")
        self.assertNotIn("quit", program.trace())
        program.keys("Escape")  # no show playing: the program ends
        self.assertEqual(program.wait_exit(), 0)

    def test_a_click_on_the_menu_chooses_that_show(self):
        self.add_menu()
        program = self.play(self.THREE_SHOWS, width=800, height=600, start=False)
        program.click(*self.middle)
        program.keys("Next")  # Page Down with no show playing puts the menu up
        program.wait_trace("show picture: menu")
        self.assertNotIn("playback tick: started", program.trace())
        # The second place of the menu (thumbnail 420,110 - 720,335 at 800 x 600) is show 2.
        program.click(self.viewer.x + 570, self.viewer.y + 220)
        program.wait_trace("playback tick: started")
        self.wait_colour(program, MAGENTA)
        self.end(program)


if __name__ == "__main__":
    harness.main()
