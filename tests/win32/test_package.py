"""The demo as it ships (scripts/package.sh): the launcher LumavineShows.exe with
the demo set packed inside, its index ix and lumavine.exe, alone in a
folder. Started, it shows the demo's start screen from the packed files
only; "Play the shows" opens the show stage; the same launcher named
LumavineShows.scr and started with /s starts the player as a screen saver, full
screen."""
import os
import shutil
import subprocess

import harness
from harness import Program, ProgramTest, probe, run_tool, wait_until, windows_path
from test_browse import near, pixels

ROOT = os.path.dirname(os.path.dirname(harness.HERE))
START_TITLE = "Lumavine"
STAGE_TITLE = "Lumavine shows"
CLIENT = (112, 84)  # the start screen's client area on the screen (demo/menu.scr)
PLAY_BUTTON = (280, 210, 520, 262)
BUTTON_FILL = (0x22, 0x40, 0x7A)  # the buttons' look at rest


def pack_specs():
    """The package script's NAME=PATH list, with Windows paths."""
    out = subprocess.run([os.path.join(ROOT, "scripts", "package.sh"), "--list"], capture_output=True, text=True,
                         check=True, timeout=60)
    specs = []
    for line in out.stdout.splitlines():
        name, path = line.split("=", 1)
        specs.append(name + "=" + windows_path(path))
    return specs


class PackageTest(ProgramTest):
    def setUp(self):
        super().setUp()
        shutil.copy2(harness.EXE, os.path.join(self.folder, "lumavine.exe"))
        self.launcher = os.path.join(self.folder, "LumavineShows.exe")
        self.specs = pack_specs()
        result = run_tool("pack", windows_path(self.launcher), "--stub", windows_path(harness.LAUNCHER), *self.specs,
                          timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(self.folder)), ["LumavineShows.exe", "ix", "lumavine.exe"])

    def launch(self, launcher, arguments=""):
        program = Program.start(launcher, self.folder, arguments)
        self.programs.append(program)
        program.wait_trace("main loop", timeout=60)
        return program

    def packed_start(self, program, launcher):
        trace = program.trace()
        self.assertIn("packed files: %d" % len(self.specs), trace)
        self.assertIn("packed: " + windows_path(os.path.splitext(launcher)[0] + ".scr"), trace)
        self.assertIn("label init: ran", trace)
        return trace

    def end(self, program, window):
        self.assertTrue(program.quit(window))
        self.assertEqual(program.wait_exit(), 0)  # the launcher ends with the player's exit code

    def screen_colour(self, program, x, y):
        return pixels(program.screenshot(os.path.join(self.folder, "shot.png")), [(x, y)])[0]

    def test_the_launcher_shows_the_start_screen_from_its_packed_files(self):
        program = self.launch(self.launcher)
        program.move(5, 5)  # keep the pointer off the buttons
        self.packed_start(program, self.launcher)
        window = program.wait_window(START_TITLE, "wnd", visible=True)
        # The buttons' looks are drawn by the packed script.
        left, top, right, bottom = PLAY_BUTTON
        at = (CLIENT[0] + left + 12, CLIENT[1] + (top + bottom) // 2)
        wait_until(lambda: near(self.screen_colour(program, *at), BUTTON_FILL, 24), 20, "the start screen's buttons")
        # "Play the shows": the stage replaces the start screen.
        program.click(CLIENT[0] + (left + right) // 2, CLIENT[1] + (top + bottom) // 2)
        program.wait_window(STAGE_TITLE, "wnd", visible=True)
        program.wait_window(START_TITLE, "wnd", visible=False)
        self.end(program, window)

    def test_as_a_screen_saver_it_starts_the_player_full_screen(self):
        saver = os.path.join(self.folder, "LumavineShows.scr")
        shutil.copy2(self.launcher, saver)
        program = self.launch(saver, "/s")
        trace = self.packed_start(program, saver)
        self.assertIn("screenSaverArgs: /s", trace)
        self.assertIn("screenSaver: 1 preview: 0", trace)

        def full_screen_window():  # the session's desktop is 1024 x 768
            for w in probe("list")[1]:
                if w.cls == "wnd" and w.visible and (w.x, w.y, w.width, w.height) == (0, 0, 1024, 768):
                    return w
            return None
        window = wait_until(full_screen_window, 30, "a full-screen window of the player")
        self.end(program, window)


if __name__ == "__main__":
    harness.main()
