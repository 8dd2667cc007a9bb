"""The script at start-up: init and postInit from the folder's "*.scr"
files and the launcher's own script, and the label exit ending the program."""
import os

import harness
from harness import ProgramTest

INIT_TITLE = "Initializing..."

# postInit leaves only through the label exit, when init has run before it.
INIT_THEN_EXIT = """
begin init
    ready=1
end

begin postInit
    if name=$ready call=exit
end
"""


class ScriptStartupTest(ProgramTest):
    def test_init_and_post_init_run_from_the_program_folder(self):
        program = self.start(files={"menu.scr": "begin init\n  a=1\nend\nbegin postInit\n  b=2\nend\n"})
        program.wait_trace("label postInit: ran")
        trace = program.trace()
        self.assertIn("functions: 2", trace)
        self.assertIn("label init: ran", trace)
        self.assertLess(trace.index("label init: ran"), trace.index("main loop"))
        self.assertTrue(program.running())
        program.quit(program.wait_window(INIT_TITLE, "Button"))
        self.assertEqual(program.wait_exit(), 0)

    def test_a_label_running_exit_ends_the_program_with_code_0(self):
        program = self.start(files={"a.scr": INIT_THEN_EXIT})
        self.assertEqual(program.wait_exit(), 0)
        trace = program.trace()
        self.assertIn("label postInit: ran", trace)
        self.assertIn("post quit: 0", trace)
        self.assertEqual(trace[-1], "shutdown complete")

    def test_exit_in_init_ends_before_post_init(self):
        program = self.start(files={"a.scr": "begin init\nif name=1 call=exit\nend\nbegin postInit\nx=1\nend\n"})
        self.assertEqual(program.wait_exit(), 0)
        trace = program.trace()
        self.assertIn("post quit: 0", trace)
        self.assertNotIn("label: postInit", trace)

    def test_the_launchers_own_script_comes_after_the_folders(self):
        launcher = os.path.join(self.folder, "launch")
        os.makedirs(launcher)
        with open(os.path.join(launcher, "menu.scr"), "w") as f:
            f.write(INIT_THEN_EXIT)
        # The folder's own init wins; the launcher's postInit still runs.
        files = {"z.scr": "begin init\n  ready=1\nend\n"}
        program = self.start(r"-stub " + harness.windows_path(launcher) + r"\menu.exe", files=files)
        self.assertEqual(program.wait_exit(), 0)
        self.assertIn("functions: 3", program.trace())

    def test_without_scripts_the_labels_do_nothing(self):
        program = self.start()
        program.wait_trace("label postInit: none")
        self.assertIn("label init: none", program.trace())
        program.quit(program.wait_window(INIT_TITLE, "Button"))
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
