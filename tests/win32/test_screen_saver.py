"""The player as a screen saver under Wine, started as a launcher starts it
("-stub LAUNCHER," and the system's switch in double quotes): "/s" plays the
shows full screen and any key ends it cleanly; a pointer jitter of 5 pixels
keeps it running and 6 end it; "/p HWND" draws into a window of another
program (the probe's) and ends when that window goes. The script tells the
modes apart by the string screen_saver."""
import os
import signal
import subprocess
import time

import harness
from harness import WINE_RUN, ProgramTest, probe, session_env, wait_until, windows_path
from show_set import BLUE, GREEN, RED, cell, colours_on_screen, make_set, near, show

SAVER_SCRIPT = """begin init
    string name=mode text=$screen_saver
    if name=$screen_saver call=saver
end

begin saver
    window name=main left=0 top=0 width=$screen_width height=$screen_height
    viewer name=viewer parent=main left=0 top=0 width=$screen_width height=$screen_height
    setViewer ssActive=1
end
"""

SHOWS = {
    "intro": show([cell(RED, display_ms=60000)]),
    "slyde0": show([cell(GREEN, display_ms=60000)], further_shows=1, no_menu=1),
    "slyde1": show([cell(BLUE, display_ms=60000)]),
}


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=session_env(), capture_output=True,
                         text=True, check=True, timeout=10).stdout
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["X"]), int(values["Y"])


class ScreenSaverTest(ProgramTest):
    def launch(self, switch):
        make_set(self.folder, SHOWS)
        launcher = windows_path(os.path.join(self.folder, "menu.scr"))
        program = self.start(f'-stub {launcher},"{switch}"', {"shows.scr": SAVER_SCRIPT})
        program.wait_trace("main loop", timeout=90)
        return program

    def colour_at(self, point):
        return colours_on_screen(self.folder, [point])[0]

    def assert_clean_end(self, program):
        self.assertEqual(program.wait_exit(), 0)
        trace = program.trace()
        self.assertIn("shutdown complete", trace)
        return trace

    def playing_full_screen(self):
        program = self.launch("/s")
        program.wait_trace("playback tick: started")
        # The saver's window covers the screen and the shows play on it.
        wait_until(lambda: near(self.colour_at((512, 384)), RED), 20, "the intro full screen")
        return program

    def test_full_screen_ends_on_a_key(self):
        program = self.playing_full_screen()
        self.assertIn("screenSaver: 1 preview: 0", program.trace())
        program.keys("a")
        trace = self.assert_clean_end(program)
        self.assertIn("screen saver: ended by input 256", trace)  # WM_KEYDOWN

    def test_a_jitter_of_five_pixels_keeps_it_six_end_it(self):
        program = self.playing_full_screen()
        # Moves are counted from where the pointer is once the saver runs
        # (Wine may have moved it to the middle of the full-screen window).
        x, y = pointer()
        program.move(x, y + 10)
        time.sleep(0.5)
        program.move(x + 5, y + 10)
        time.sleep(1.0)
        self.assertTrue(program.running(), "5 pixels must keep the saver running")
        program.move(x + 6, y + 10)
        trace = self.assert_clean_end(program)
        self.assertIn("screen saver: ended by input 512", trace)  # WM_MOUSEMOVE

    def test_preview_draws_into_the_given_window_and_ends_with_it(self):
        host = subprocess.Popen([WINE_RUN, harness.PROBE, "window", "200", "150", "160", "120"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                env=session_env(), start_new_session=True)
        try:
            window = harness.Window(harness.WINDOW_LINE.match(host.stdout.readline().strip()))
            program = self.launch(f"/p {window.hwnd}")
            trace = program.trace()
            self.assertIn(f"screenSaver: 1 preview: {window.hwnd}", trace)
            self.assertIn("screen saver window: created", trace)
            # The saver's window is a child of the given one and covers it.
            children = probe("children", hex(window.hwnd))[1]
            self.assertEqual([(c.cls, c.x, c.y, c.width, c.height, c.visible) for c in children],
                             [("screenSaverClass", window.x, window.y, window.width, window.height, True)])
            # The shows play in it: pictures go up and frames are presented on its display.
            def presented():
                counts = [int(l.split()[2]) for l in program.trace() if l.startswith("frames presented: ")]
                return counts and counts[-1] > 0
            wait_until(presented, 30, "frames presented in the preview")
            self.assertIn("show display: back buffer", program.trace())
            # Wine does not bring a program's drawing in a child of another
            # program's window to the screen, so the pixels are not compared here.
            # The system closes the preview: the saver's window goes with it, and the program ends.
            self.assertTrue(program.post(window.hwnd, 0x0010))  # WM_CLOSE
            trace = self.assert_clean_end(program)
            self.assertIn("screen saver window: destroyed", trace)
        finally:
            if host.poll() is None:
                os.killpg(host.pid, signal.SIGKILL)
            host.wait(timeout=10)
            host.stdout.close()

    def test_another_switch_runs_no_saver(self):
        # /c (the system's settings call) is an ordinary start: screen_saver is 0.
        program = self.launch("/c:5678")
        time.sleep(1.0)
        program.quit(program.wait_window("Initializing...", "Button"))
        trace = self.assert_clean_end(program)
        self.assertNotIn("playback tick: started", trace)


if __name__ == "__main__":
    harness.main()
