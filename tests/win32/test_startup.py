"""Start-up, main loop and shutdown of lumavine.exe under Wine."""
import harness
from harness import WS_POPUP, WS_THICKFRAME, WS_VISIBLE, ProgramTest, wait_until

INIT_TITLE = "Initializing..."


class StartupTest(ProgramTest):
    def test_initialising_window_is_centred_then_hidden_and_loop_runs(self):
        program = self.start()
        window = program.wait_window(INIT_TITLE, "Button")
        self.assertEqual((window.width, window.height), (300, 60))
        self.assertEqual((window.x, window.y), ((1024 - 300) // 2, (768 - 60) // 2))
        self.assertEqual(window.style & (WS_POPUP | WS_THICKFRAME), WS_POPUP | WS_THICKFRAME)
        program.wait_trace("main loop")
        self.assertIn("init window: shown", program.trace())
        hidden = program.wait_window(INIT_TITLE, "Button", visible=False)
        self.assertFalse(hidden.style & WS_VISIBLE)
        # The loop keeps the program alive until something ends it.
        program.wait_trace("label: postInit")
        self.assertTrue(program.running())

    def test_quit_message_ends_the_program_with_exit_code_0(self):
        program = self.start()
        program.wait_trace("main loop")
        window = program.wait_window(INIT_TITLE, "Button")
        self.assertTrue(program.quit(window))
        self.assertEqual(program.wait_exit(), 0)
        trace = program.trace()
        self.assertIn("quit", trace)
        self.assertEqual(trace[-1], "shutdown complete")
        # The window is gone with the program.
        self.assertEqual(program.windows(INIT_TITLE, "Button"), [])

    def test_a_posted_message_ticks_and_post_init_runs_once(self):
        program = self.start()
        window = program.wait_window(INIT_TITLE, "Button")
        program.wait_trace("label: postInit")
        self.assertTrue(program.post(window.hwnd, 0))  # WM_NULL
        program.wait_trace("tick")
        program.quit(window)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.trace().count("label: postInit"), 1)

    def test_launcher_path_gives_the_loader_folder(self):
        program = self.start(r"-stub C:\shows\menu.exe")
        program.wait_trace("main loop")
        trace = program.trace()
        self.assertIn(r"cmdLine: C:\shows\menu.exe", trace)
        self.assertIn(r"loaderPath: C:\shows" + "\\", trace)
        self.assertIn("screenSaver: 0 preview: 0", trace)


class HarnessTest(ProgramTest):
    def test_a_program_that_does_not_end_is_killed_at_the_time_limit(self):
        program = self.start()
        window = program.wait_window(INIT_TITLE, "Button")
        with self.assertRaises(AssertionError):
            program.wait_exit(timeout=1)
        self.assertFalse(program.running())
        wait_until(lambda: not program.windows(INIT_TITLE, "Button"), 10, "the window to go")
        self.assertNotIn(window.pid, [w.pid for w in program.windows(INIT_TITLE)])


class ScreenSaverTest(ProgramTest):
    def run_with(self, switch):
        program = self.start(r'-stub C:\x\menu.scr,"' + switch + '"')
        program.wait_trace("main loop")
        return program

    def end(self, program):
        window = program.wait_window(INIT_TITLE, "Button")
        program.quit(window)
        self.assertEqual(program.wait_exit(), 0)
        return program.trace()

    def test_full_screen_switch_hides_the_window_and_the_pointer(self):
        for switch in ("/s", "-S"):
            with self.subTest(switch=switch):
                program = self.run_with(switch)
                trace = program.trace()
                self.assertIn("screenSaver: 1 preview: 0", trace)
                self.assertIn("init window: created hidden", trace)
                self.assertTrue(any(line.startswith("pointer hidden:") for line in trace))
                trace = self.end(program)
                self.assertTrue(any(line.startswith("pointer shown:") for line in trace))

    def test_preview_switch_keeps_the_pointer(self):
        for switch in ("/p 1234", "-P1234"):
            with self.subTest(switch=switch):
                program = self.run_with(switch)
                trace = self.end(program)
                self.assertIn("screenSaver: 1 preview: 1234", trace)
                self.assertFalse(any(line.startswith("pointer") for line in trace))

    def test_other_switches_start_an_ordinary_application(self):
        for switch in ("/c:5678", "/S "):
            with self.subTest(switch=switch):
                program = self.run_with(switch)
                trace = self.end(program)
                self.assertIn("screenSaver: 0 preview: 0", trace)
                self.assertIn("init window: shown", trace)

    def test_switch_without_launcher_prefix_is_ignored(self):
        program = self.start("/s")
        program.wait_trace("main loop")
        trace = self.end(program)
        self.assertIn("screenSaver: 0 preview: 0", trace)
        self.assertIn("loaderPath: " + harness.windows_path(self.folder) + "\\", trace)


if __name__ == "__main__":
    harness.main()
