"""Times the real player under Wine: a show of flat cells joined by
cross-fades (171, ssBlend) plays in a 1024 x 768 viewer for a minute, and
the frames that the window display presented are counted from the player's
trace ("frames presented: N at TICK" with every picture change). It prints
frames per second during transitions against the pacing the display
promises (33 ms per frame for the back buffer, the refresh rate for direct
surfaces), as a ratio.

    /usr/bin/python3 bench/player_wine_bench.py build/win64 [SECONDS] [RUNS]

It starts a Wine session of its own (build/win64/wine-bench: own prefix and
display), so it never disturbs a test run, and stops it at the end.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WIN32_TESTS = os.path.join(HERE, "..", "tests", "win32")
sys.path.insert(0, WIN32_TESTS)

TRANSITION_MS, DISPLAY_MS, CELLS = 2500, 500, 24
SCRIPT = """begin init
    window name=main left=0 top=0 width=1024 height=768 resize=0
    viewer name=viewer parent=main left=0 top=0 width=1024 height=768
    setViewer ssActive=1
end
"""


def start_session(build):
    wine_dir = os.path.join(os.path.abspath(build), "wine-bench")
    os.makedirs(wine_dir, exist_ok=True)
    with open(os.path.join(build, "wine", "config.sh")) as f:
        config = [line for line in f if not line.startswith("WINEPREFIX=")]
    with open(os.path.join(wine_dir, "config.sh"), "w") as f:
        f.writelines(config + [f"WINEPREFIX={wine_dir}/prefix\n"])
    os.environ["LUMAVINE_WINE_DIR"] = wine_dir
    # A copy of the test runs' prefix saves creating one (minutes on a busy machine).
    prefix, tests_prefix = os.path.join(wine_dir, "prefix"), os.path.join(build, "wine", "prefix")
    if not os.path.exists(os.path.join(prefix, ".lumavine-settings")) and \
            os.path.exists(os.path.join(tests_prefix, ".lumavine-settings")):
        shutil.rmtree(prefix, ignore_errors=True)
        shutil.copytree(tests_prefix, prefix, symlinks=True)
    probe = os.path.join(os.path.abspath(build), "tests", "lvprobe.exe")
    subprocess.run([os.path.join(WIN32_TESTS, "wine-session.sh"), "start", wine_dir, probe], check=True,
                   stdout=subprocess.DEVNULL, timeout=600)
    return wine_dir


def find(build, name):
    for root, _, files in os.walk(build):
        if name in files and "wine" not in root:
            return os.path.join(root, name)
    raise SystemExit(f"{name} not found under {build}")


def one_run(folder, seconds):
    import harness
    from show_set import cell, show
    program = harness.Program.start(harness.EXE, folder, "")
    try:
        program.wait_trace("main loop", timeout=60)
        time.sleep(seconds)
        trace = program.trace()
    finally:
        program.kill()
    mode = next((l for l in trace if l.startswith("show display:")), "show display: none")
    marks = [l.split() for l in trace if l.startswith("frames presented:")]
    points = [(int(m[2]), int(m[4])) for m in marks]
    # Only changes that ran a transition: skip the black start frame's.
    points = points[2:]
    if len(points) < 2:
        raise SystemExit(f"too few picture changes in {seconds} s: {trace[-5:]}")
    frames = points[-1][0] - points[0][0]
    changes = len(points) - 1
    transition_s = changes * TRANSITION_MS / 1000
    return mode.split(": ", 1)[1], frames, changes, transition_s, (points[-1][1] - points[0][1]) / 1000


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    build = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    import harness
    from show_set import BLACK, cell, make_set, show
    harness.EXE = find(build, "lumavine.exe")
    harness.PROBE = find(build, "lvprobe.exe")
    harness.TOOL = find(build, "lumavine-tool.exe")
    wine_dir = start_session(build)
    folder = tempfile.mkdtemp(prefix="lumavine-player-bench-")
    try:
        greys = [(40 + 7 * i, 200 - 5 * i, 90 + 3 * i) for i in range(CELLS)]
        cells = [cell(c, display_ms=DISPLAY_MS, transition=171, transition_ms=TRANSITION_MS) for c in greys]
        make_set(folder, {"intro": show([cell(BLACK, display_ms=200)]),
                          "slyde0": show(cells, no_menu=1)})
        with open(os.path.join(folder, "bench.scr"), "w") as f:
            f.write(SCRIPT)
        load = open("/proc/loadavg").read().split()[:3]
        print(f"machine load before: {' '.join(load)} (2 cores)")
        best = None
        for run in range(runs):
            mode, frames, changes, transition_s, elapsed = one_run(folder, seconds)
            fps = frames / transition_s
            paced = 1000 / 33 if mode == "back buffer" else None
            ratio = f"{fps / paced:.2f} of the 33 ms pacing" if paced else "direct surfaces (paced by the refresh)"
            print(f"run {run + 1}: {mode}: {frames} frames in {changes} cross-fades of {TRANSITION_MS} ms "
                  f"({elapsed:.1f} s of pictures, {frames / elapsed:.1f} frames/s of wall time): "
                  f"{fps:.1f} frames/s during transitions; {ratio}")
            best = max(best or 0, fps)
        print(f"best: {best:.1f} frames/s at 1024x768; machine load after: "
              f"{' '.join(open('/proc/loadavg').read().split()[:3])}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        subprocess.run([os.path.join(WIN32_TESTS, "wine-session.sh"), "stop", wine_dir], timeout=60)


if __name__ == "__main__":
    main()
