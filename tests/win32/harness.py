"""Drives Windows programs of the build under the test run's Wine session.

The session (prefix, virtual display, persistent wineserver) is started by
the ctest fixture wine.session.start; this module only uses it. Every wait
has a time limit, and a program still running at the end of its test is
killed by its process id.

    program = Program.start(exe, folder, "-stub C:\\x\\menu.scr")
    window = program.wait_window(title="Initializing...", cls="Button")
    program.quit()
    assert program.wait_exit() == 0
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "wine-run.sh")
PROBE = None  # set by main() from --probe
EXE = None  # set by main() from --exe
TOOL = None  # set by main() from --tool: the cross-built lumavine-tool.exe
LAUNCHER = None  # set by main() from --launcher: the cross-built launcher stub

WINDOW_LINE = re.compile(
    r"hwnd=(?P<hwnd>\S+) pid=(?P<pid>\d+) tid=(?P<tid>\d+) visible=(?P<visible>\d) "
    r"x=(?P<x>-?\d+) y=(?P<y>-?\d+) w=(?P<w>-?\d+) h=(?P<h>-?\d+) style=(?P<style>\S+) "
    r"class=(?P<cls>.*?) title=(?P<title>.*)$")

WS_POPUP = 0x80000000
WS_VISIBLE = 0x10000000
WS_THICKFRAME = 0x00040000


class Window:
    def __init__(self, match):
        self.hwnd = int(match["hwnd"], 16)
        self.pid = int(match["pid"])
        self.tid = int(match["tid"])
        self.visible = match["visible"] == "1"
        self.x, self.y = int(match["x"]), int(match["y"])
        self.width, self.height = int(match["w"]), int(match["h"])
        self.style = int(match["style"], 16)
        self.cls = match["cls"]
        self.title = match["title"]

    def __repr__(self):
        return (f"Window({self.title!r}, {self.cls}, {self.x},{self.y} {self.width}x{self.height}, "
                f"visible={self.visible})")


def session_env():
    """The environment of the session: DISPLAY for the X tools."""
    env = dict(os.environ)
    display_file = os.path.join(os.environ["LUMAVINE_WINE_DIR"], "display.sh")
    with open(display_file) as f:
        for line in f:
            if line.startswith("DISPLAY="):
                env["DISPLAY"] = line.strip().split("=", 1)[1]
    return env


def probe(*args, timeout=60):
    """Runs lvprobe with the arguments; returns (exit code, windows listed).
    A probe that does not answer in time (a loaded machine) counts as failed."""
    try:
        out = subprocess.run([WINE_RUN, PROBE, *map(str, args)], capture_output=True, text=True,
                             timeout=timeout)
    except subprocess.TimeoutExpired:
        return 255, []
    windows = [Window(m) for m in map(WINDOW_LINE.match, out.stdout.splitlines()) if m]
    return out.returncode, windows


def run_tool(*args, timeout=60):
    """Runs the cross-built lumavine-tool.exe in the session; returns the
    completed process (exit code, stdout, stderr as text)."""
    return subprocess.run([WINE_RUN, TOOL, *map(str, args)], capture_output=True, text=True,
                          encoding="latin-1", timeout=timeout)


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


def windows_path(path):
    """The Windows name of a Unix path (drive Z: is the Unix root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Program:
    """One run of a Windows program, started in a folder of the test's own."""

    def __init__(self, process, folder, trace_path):
        self.process = process
        self.folder = folder
        self.trace_path = trace_path

    @classmethod
    def start(cls, exe, folder, command_line="", trace=True):
        os.makedirs(folder, exist_ok=True)
        target = os.path.join(folder, os.path.basename(exe))
        if os.path.abspath(exe) != os.path.abspath(target):
            shutil.copy2(exe, target)
        env = session_env()
        trace_path = os.path.join(folder, "trace.txt")
        if os.path.exists(trace_path):
            os.remove(trace_path)
        if trace:
            env["LUMAVINE_TRACE"] = windows_path(trace_path)
        # The probe starts the program with exactly this command line, as a
        # launcher does; Wine would quote arguments that contain blanks.
        args = [WINE_RUN, PROBE, "run", windows_path(target)] + ([command_line] if command_line else [])
        process = subprocess.Popen(args, cwd=folder, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        return cls(process, folder, trace_path)

    # --- looking -------------------------------------------------------------
    def trace(self):
        try:
            with open(self.trace_path, encoding="latin-1") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_trace(self, line, timeout=15):
        return wait_until(lambda: line in self.trace(), timeout, f"trace line {line!r}")

    def windows(self, title, cls=None):
        args = ["find", title] + ([cls] if cls else [])
        return probe(*args)[1]

    def wait_window(self, title, cls=None, timeout=15, visible=None):
        def found():
            for w in self.windows(title, cls):
                if visible is None or w.visible == visible:
                    return w
            return None
        return wait_until(found, timeout, f"window {title!r} ({cls})")

    def screenshot(self, path):
        subprocess.run(["/usr/bin/import", "-window", "root", path], env=session_env(), check=True,
                       timeout=30)
        return path

    # --- poking --------------------------------------------------------------
    def keys(self, *keys):
        subprocess.run(["xdotool", "key", *keys], env=session_env(), check=True, timeout=10)

    def click(self, x, y, button=1):
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", str(button)],
                       env=session_env(), check=True, timeout=10)

    def move(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=session_env(), check=True,
                       timeout=10)

    def post(self, hwnd, message, wparam=0, lparam=0):
        return probe("post", hex(hwnd), message, wparam, lparam)[0] == 0

    def quit(self, window):
        """Posts the quit message to the thread that owns the window."""
        return probe("quit", window.tid)[0] == 0

    # --- ending --------------------------------------------------------------
    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=15):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError(f"program still running after {timeout} s; killed")

    def kill(self):
        if self.running():
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(timeout=10)


class ProgramTest(unittest.TestCase):
    """Base for tests that start lumavine.exe: a folder per test, and the
    program killed at the end whatever happened."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="lumavine-test-")
        self.programs = []

    def tearDown(self):
        for p in self.programs:
            p.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, command_line="", files=None, folder=None):
        folder = folder or self.folder
        for name, content in (files or {}).items():
            path = os.path.join(folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            mode = "wb" if isinstance(content, bytes) else "w"
            with open(path, mode) as f:
                f.write(content)
        program = Program.start(EXE, folder, command_line)
        self.programs.append(program)
        return program


def main():
    global EXE, PROBE, TOOL, LAUNCHER
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--tool")
    parser.add_argument("--launcher")
    args, rest = parser.parse_known_args()
    EXE, PROBE, TOOL, LAUNCHER = args.exe, args.probe, args.tool, args.launcher
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
