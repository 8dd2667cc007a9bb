"""The launcher under Wine: built with lumavine-tool pack, it starts
lumavine.exe beside it with "-stub " and its own path (and the screen-saver
switch), and the player finds the packed files through the index "ix".
Also the player's finder on a Windows file system: drives and short names."""
import os
import shutil

import harness
from harness import Program, ProgramTest, run_tool, windows_path

INIT_TITLE = "Initializing..."


class LauncherTest(ProgramTest):
    def build(self, launcher_name, files):
        """Packs the files (name -> bytes) into a launcher in the test folder,
        beside a copy of lumavine.exe; returns the launcher's path."""
        shutil.copy2(harness.EXE, os.path.join(self.folder, "lumavine.exe"))
        sources = os.path.join(self.folder, "sources")
        os.makedirs(sources, exist_ok=True)
        specs = []
        for name, data in files.items():
            path = os.path.join(sources, name)
            with open(path, "wb") as f:
                f.write(data)
            specs.append(windows_path(path))
        launcher = os.path.join(self.folder, launcher_name)
        result = run_tool("pack", windows_path(launcher), "--stub", windows_path(harness.LAUNCHER), *specs)
        self.assertEqual(result.returncode, 0, result.stderr)
        return launcher

    def run_launcher(self, launcher, arguments=""):
        program = Program.start(launcher, self.folder, arguments)
        self.programs.append(program)
        program.wait_trace("main loop")
        return program

    def end(self, program):
        window = program.wait_window(INIT_TITLE, "Button")
        self.assertTrue(program.quit(window))
        # The launcher waits for the player and ends with its exit code.
        self.assertEqual(program.wait_exit(), 0)
        return program.trace()

    def test_launcher_starts_the_player_with_its_own_path(self):
        launcher = self.build("show.exe", {"show.scr": b"begin init\nend\n", "pic.jpg": b"\xff\xd8\xff"})
        trace = self.end(self.run_launcher(launcher))
        self.assertIn("cmdLine: " + windows_path(launcher), trace)
        self.assertIn("loaderPath: " + windows_path(self.folder) + "\\", trace)
        self.assertIn("screenSaver: 0 preview: 0", trace)
        # The player read the index beside it; the launcher's own script is
        # found by the path the script loader opens.
        self.assertIn("packed files: 2", trace)
        self.assertIn("packed: " + windows_path(os.path.join(self.folder, "show.scr")), trace)
        self.assertIn("packed: */pic.jpg", trace)

    def test_as_a_screen_saver_the_switch_is_passed_on(self):
        launcher = self.build("show.scr", {"pic.jpg": b"\xff\xd8\xff"})
        for switch, expected in (("/s", "screenSaver: 1 preview: 0"), ("/p 1234", "screenSaver: 1 preview: 1234"),
                                 ("/c:5678", "screenSaver: 0 preview: 0")):
            with self.subTest(switch=switch):
                trace = self.end(self.run_launcher(launcher, switch))
                self.assertIn("cmdLine: " + windows_path(launcher), trace)
                self.assertIn("screenSaverArgs: " + switch, trace)
                self.assertIn(expected, trace)

    def test_a_damaged_index_gives_no_packed_files(self):
        launcher = self.build("show.exe", {"a.jpg": b"abc", "b.jpg": b"def"})
        index_path = os.path.join(self.folder, "ix")
        with open(index_path, "r+b") as f:
            f.seek(124)
            f.write(b"\xff\xff\xff\x7f")  # the first entry's offset far past the end
        trace = self.end(self.run_launcher(launcher))
        self.assertIn("packed files: 1", trace)
        self.assertIn("packed: */b.jpg", trace)


class FinderTest(ProgramTest):
    def find(self, pattern):
        result = run_tool("find", pattern)
        return result.returncode, [line.split("\t") for line in result.stdout.splitlines()]

    def test_star_dot_star_lists_the_drives(self):
        code, entries = self.find("*.*")
        self.assertEqual(code, 0)
        names = [e[0] for e in entries]
        self.assertIn("C:", names)
        self.assertIn("Z:", names)
        self.assertTrue(all(len(n) == 2 and n[1] == ":" for n in names), names)
        self.assertTrue(all("attributes=0x10" in e[1] for e in entries))

    def test_a_drive_letter_lists_that_drive(self):
        code, entries = self.find("c:")
        self.assertEqual((code, [e[0] for e in entries]), (0, ["C:"]))

    def test_upper_case_names_list_by_their_short_name(self):
        for name in ("README.TXT", "notes.txt"):
            with open(os.path.join(self.folder, name), "w") as f:
                f.write("x")
        code, entries = self.find(windows_path(self.folder) + "\\*.txt")
        self.assertEqual(code, 0)
        self.assertEqual(sorted(e[0] for e in entries), ["README.TXT", "notes.txt"])
        listed = run_tool("list", windows_path(self.folder) + "/*.TXT").stdout.splitlines()
        self.assertEqual(listed, [windows_path(self.folder) + "/notes.txt", windows_path(self.folder) + "/README.TXT"])


if __name__ == "__main__":
    harness.main()
