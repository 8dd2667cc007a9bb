#!/usr/bin/python3
"""Whole-process speed of lumavine-tool against the reference programs, as a
user runs them from the command line: each pair of commands runs
alternately several times in the same run, on the same files, and the
medians and their ratio (reference time / our time; above 1 means faster)
are printed, for wall-clock time and for processor time, with the ratio of
the best runs beside it (the figure least disturbed by a busy machine).

    /usr/bin/python3 bench/tool_bench.py build/bench/tools/lumavine-tool [RUNS]

The test files are made at bench time in a fresh temporary folder from
/work/shared/media (a photo scaled up and re-encoded to 12 megapixels, the
music MP3) and removed afterwards. Build the tool with the bench preset
(Release, no sanitizers). The soundtrack case renders the demo show 1 of the
repository. Reference programs: djpeg, mpg123, Pillow under
/usr/bin/python3; a case whose reference is missing is skipped."""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MEDIA = os.environ.get("LUMAVINE_MEDIA", "/work/shared/media")
PYTHON = "/usr/bin/python3"
PILLOW_PNG = "from PIL import Image; import sys; Image.open(sys.argv[1]).save(sys.argv[2])"
PILLOW_SCALE = ("from PIL import Image; import sys; "
                "Image.open(sys.argv[1]).resize((1600, 1200), Image.BICUBIC).save(sys.argv[2])")


def seconds(command):
    """(wall, processor) seconds of one run; processor time (user + system of
    the process and its children) stays fair on a loaded machine."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, shell=isinstance(command, str), check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def compare(name, ours, references, runs):
    """references: {label: command}; the fastest reference median counts."""
    times = {"ours": [], **{label: [] for label in references}}
    seconds(ours)  # warm the page cache and the program
    for command in references.values():
        seconds(command)
    for _ in range(runs):
        times["ours"].append(seconds(ours))
        for label, command in references.items():
            times[label].append(seconds(command))
    for kind, index in (("wall", 0), ("cpu", 1)):
        medians = {label: statistics.median(t[index] for t in runs_) for label, runs_ in times.items()}
        bests = {label: min(t[index] for t in runs_) for label, runs_ in times.items()}
        best = min((m, label) for label, m in medians.items() if label != "ours")
        others = "  ".join("%s %.3f s" % (label, m) for label, m in medians.items() if label != "ours")
        print("%-32s %-4s ours %.3f s  %s  ratio %.2fx (against %s; best runs %.2fx)" %
              (name, kind, medians["ours"], others, best[0] / max(medians["ours"], 1e-6), best[1],
               bests[best[1]] / max(bests["ours"], 1e-6)))


def have(program):
    return shutil.which(program) is not None


def pillow():
    return subprocess.run([PYTHON, "-c", "import PIL"], capture_output=True).returncode == 0


def make_files(folder):
    photo = os.path.join(MEDIA, "photos", "photo01.jpg")
    big_jpg, big_ppm = os.path.join(folder, "big.jpg"), os.path.join(folder, "big.ppm")
    subprocess.run([PYTHON, "-c", "from PIL import Image; import sys; "
                    "im = Image.open(sys.argv[1]).convert('RGB').resize((4000, 3000), Image.BICUBIC); "
                    "im.save(sys.argv[2], quality=90); im.save(sys.argv[3])", photo, big_jpg, big_ppm], check=True)
    mp3 = os.path.join(folder, "music.mp3")
    shutil.copy(os.path.join(MEDIA, "audio", "music.mp3"), mp3)
    return big_jpg, big_ppm, mp3


def main():
    tool = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    if not pillow():
        sys.exit("tool_bench: Pillow is needed under %s to make the test pictures" % PYTHON)
    folder = tempfile.mkdtemp(prefix="lumavine-tool-bench-")
    try:
        big_jpg, big_ppm, mp3 = make_files(folder)
        out = lambda name: os.path.join(folder, name)
        print("%d runs each, medians; 12 MP JPEG, 4000x3000 PPM, %s" % (runs, os.path.basename(mp3)))
        if have("djpeg"):
            compare("jpeg-decode to PPM", [tool, "jpeg-decode", big_jpg, out("a.ppm")],
                    {"djpeg": ["djpeg", "-outfile", out("b.ppm"), big_jpg]}, runs)
            compare("jpeg-decode 1/8 (--fit 500x375)", [tool, "jpeg-decode", big_jpg, out("c.ppm"), "--fit", "500x375"],
                    {"djpeg -scale 1/8": ["djpeg", "-scale", "1/8", "-outfile", out("d.ppm"), big_jpg]}, runs)
        png_refs = {"Pillow": [PYTHON, "-c", PILLOW_PNG, big_jpg, out("f.png")]}
        if have("djpeg") and have("pnmtopng"):
            png_refs["djpeg|pnmtopng"] = "djpeg %s | pnmtopng > %s" % (big_jpg, out("g.png"))
        compare("jpeg-decode to PNG", [tool, "jpeg-decode", big_jpg, out("e.png")], png_refs, runs)
        if have("mpg123"):
            compare("audio-decode MP3 to WAV", [tool, "audio-decode", mp3, out("a.wav")],
                    {"mpg123 -w": ["mpg123", "-q", "-w", out("b.wav"), mp3]}, runs)
            # The demo's show 1: its song with fades, trimmed to the show,
            # and cell sounds ducking it, against decoding the song alone.
            demo = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "demo")
            compare("show 1's soundtrack to WAV", [tool, "show", demo, "--audio", "1", out("s.wav")],
                    {"mpg123 -w (its song)": ["mpg123", "-q", "-w", out("m.wav"), os.path.join(demo, "music.mp3")]},
                    runs)
        compare("scale 4000x3000 to 1600x1200", [tool, "scale", big_ppm, out("s.ppm"), "1600x1200"],
                {"Pillow": [PYTHON, "-c", PILLOW_SCALE, big_ppm, out("t.ppm")]}, runs)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
