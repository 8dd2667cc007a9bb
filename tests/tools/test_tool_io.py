"""lumavine-tool as a user meets it: outputs that are devices, FIFOs or '-',
PNG beside PPM, batches of files, usage and error messages, and no input
that ends the tool with an uncaught exception."""
import os
import stat
import subprocess
import sys
import tempfile
import threading
import unittest

TOOL = None  # set from the command line
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
JPEG = os.path.join(DATA, "jpeg", "s420.jpg")
GREY = os.path.join(DATA, "jpeg", "grey.jpg")
MP3 = os.path.join(DATA, "audio", "mono_32k_22k.mp3")
COMMANDS = ["jpeg-decode", "jpeg-encode", "scale", "audio-decode", "pack", "unpack", "find", "list", "script", "cpu"]


def run(*args, data=None):
    return subprocess.run([TOOL, *map(str, args)], input=data, capture_output=True, timeout=60)


def pnm_pixels(data):
    """(kind, width, height, raster) of a binary PGM/PPM without comments."""
    fields = data.split(maxsplit=4)
    return fields[0], int(fields[1]), int(fields[2]), fields[4]


class ToolTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="lumavine-tool-io-")

    def tearDown(self):
        subprocess.run(["rm", "-rf", self.root])

    def path(self, *names):
        return os.path.join(self.root, *names)

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def assertFailsWithMessage(self, result, code=1):
        self.assertEqual(result.returncode, code, result.stderr)
        self.assertTrue(result.stderr.strip(), "no message on stderr")
        self.assertLessEqual(len(result.stderr.decode().strip().splitlines()), 3, result.stderr)


class SpecialOutputs(ToolTest):
    # A device node of our own, never the system's /dev/null.
    def test_a_device_output_stays_a_device(self):
        node = self.path("null")
        try:
            os.mknod(node, 0o666 | stat.S_IFCHR, os.makedev(1, 3))
        except OSError:
            self.skipTest("cannot make a device node")
        for args in (["jpeg-decode", JPEG, node], ["audio-decode", MP3, node], ["jpeg-encode", DATA + "/jpeg/s420.ppm", node]):
            self.assertEqual(run(*args).returncode, 0, args)
            self.assertTrue(stat.S_ISCHR(os.stat(node).st_mode), args)
        self.assertEqual(os.listdir(self.root), ["null"])

    def test_dev_null_after_the_writer_checked_a_node_of_our_own(self):
        self.test_a_device_output_stays_a_device()
        self.assertEqual(run("jpeg-decode", JPEG, "/dev/null").returncode, 0)
        self.assertTrue(stat.S_ISCHR(os.stat("/dev/null").st_mode))

    def test_a_fifo_output_stays_a_fifo(self):
        fifo = self.path("pipe")
        os.mkfifo(fifo)
        got = {}
        reader = threading.Thread(target=lambda: got.update(data=self.read(fifo)))
        reader.start()
        result = run("jpeg-decode", JPEG, fifo)
        reader.join(30)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(stat.S_ISFIFO(os.stat(fifo).st_mode))
        self.assertEqual(got["data"], run("jpeg-decode", JPEG, "-").stdout)

    def test_dash_round_trips_through_pipes(self):
        ppm = run("jpeg-decode", "-", "-", data=self.read(JPEG))
        self.assertEqual(ppm.returncode, 0, ppm.stderr)
        self.assertEqual(ppm.stdout, self.read(self.make_ppm()))
        jpg = run("jpeg-encode", "-", "-", data=ppm.stdout)
        self.assertEqual(jpg.returncode, 0, jpg.stderr)
        self.assertEqual(jpg.stdout[:2], b"\xff\xd8")
        small = run("scale", "-", "-", "8x8", data=ppm.stdout)
        self.assertEqual(pnm_pixels(small.stdout)[:3], (b"P6", 8, 8))
        wav = run("audio-decode", "-", "-", data=self.read(MP3))
        self.assertEqual(wav.returncode, 0, wav.stderr)
        run("audio-decode", MP3, self.path("file.wav"))
        self.assertEqual(wav.stdout[44:], self.read(self.path("file.wav"))[44:])

    def make_ppm(self):
        out = self.path("ref.ppm")
        self.assertEqual(run("jpeg-decode", JPEG, out).returncode, 0)
        return out


class Png(ToolTest):
    def test_png_matches_ppm_pixel_for_pixel(self):
        for source in (JPEG, GREY):
            ppm, png, back = self.path("a.ppm"), self.path("a.png"), self.path("b.ppm")
            self.assertEqual(run("jpeg-decode", source, ppm).returncode, 0)
            self.assertEqual(run("jpeg-decode", source, png).returncode, 0)
            self.assertEqual(self.read(png)[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(run("scale", png, back, "%dx%d" % pnm_pixels(self.read(ppm))[1:3]).returncode, 0)
            self.assertEqual(pnm_pixels(self.read(back)), pnm_pixels(self.read(ppm)), source)

    def test_a_streamed_ppm_scales_to_the_pixels_of_a_whole_png(self):
        # A PPM goes through the scaler a row at a time, a PNG is scaled whole.
        for source in (JPEG, GREY):
            ppm, png = self.path("a.ppm"), self.path("a.png")
            run("jpeg-decode", source, ppm)
            run("jpeg-decode", source, png)
            _, w, h, _ = pnm_pixels(self.read(ppm))
            for size, method in ((f"{w // 3}x{h // 2}", []), (f"{w * 3}x{h + 1}", []), (f"{w}x{h}", []),
                                 (f"{w // 2}x{h // 7}", ["--method", "0,8"]), (f"{w + 5}x{h * 2}", ["--method", "1,2"])):
                streamed, whole = self.path("s.ppm"), self.path("w.ppm")
                self.assertEqual(run("scale", ppm, streamed, size, *method).returncode, 0)
                self.assertEqual(run("scale", png, whole, size, *method).returncode, 0)
                self.assertEqual(self.read(streamed), self.read(whole), (source, size, method))

    def test_png_in_gives_the_same_jpeg_as_ppm_in(self):
        ppm, png = self.path("a.ppm"), self.path("a.png")
        run("jpeg-decode", JPEG, ppm)
        run("jpeg-decode", JPEG, png)
        self.assertEqual(run("jpeg-encode", ppm, self.path("1.jpg")).returncode, 0)
        self.assertEqual(run("jpeg-encode", png, self.path("2.jpg")).returncode, 0)
        self.assertEqual(self.read(self.path("1.jpg")), self.read(self.path("2.jpg")))

    def test_scale_writes_png_by_the_name(self):
        self.assertEqual(run("jpeg-decode", JPEG, self.path("a.ppm")).returncode, 0)
        self.assertEqual(run("scale", self.path("a.ppm"), self.path("s.PNG"), "7x5").returncode, 0)
        self.assertEqual(self.read(self.path("s.PNG"))[:4], b"\x89PNG")


class Batches(ToolTest):
    def test_a_folder_of_jpegs_decodes_into_an_output_folder(self):
        photos = self.path("photos")
        os.mkdir(photos)
        for name in ("a.jpg", "b.JPG"):
            self.write(os.path.join("photos", name), self.read(JPEG))
        self.write("photos/notes.txt", b"not a picture")
        result = run("jpeg-decode", photos, self.path("out"), "--png")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["a.png", "b.png"])
        self.assertEqual(result.stderr, b"")  # no progress when stderr is not a terminal

    def test_several_inputs_scale_into_a_folder_and_failures_are_named(self):
        run("jpeg-decode", JPEG, self.path("one.ppm"))
        bad = self.write("two.ppm", b"P6\n5 5\n255\nshort")
        result = run("scale", self.path("one.ppm"), bad, self.path("small"), "4x4")
        self.assertFailsWithMessage(result)
        self.assertIn(b"two.ppm", result.stderr)
        self.assertEqual(os.listdir(self.path("small")), ["one.ppm"])


class Messages(ToolTest):
    def test_every_command_prints_its_usage_on_help(self):
        for command in COMMANDS:
            result = run(command, "--help")
            self.assertEqual(result.returncode, 0, command)
            self.assertIn(b"usage: lumavine-tool " + command.encode(), result.stdout)

    def test_bad_arguments_give_a_message_and_status_2(self):
        for args in (["jpeg-decode", "one"], ["scale", "a", "b", "axb"], ["audio-decode"], ["find"],
                     ["jpeg-encode", "a", "b", "--quality", "x"], ["list", "*", "many"], ["cpu", "x"]):
            self.assertFailsWithMessage(run(*args), 2)

    def test_a_folder_given_as_a_file_fails_with_a_message(self):
        folder = self.path("folder")
        os.mkdir(folder)
        for args in (["pack", self.path("x.exe"), "--stub", folder], ["unpack", folder],
                     ["jpeg-decode", folder + "/../folder", self.path("o.ppm")], ["jpeg-encode", folder, self.path("o.jpg")],
                     ["audio-decode", folder, self.path("o.wav")], ["scale", folder, self.path("o.ppm"), "2x2"]):
            result = run(*args)
            self.assertIn(result.returncode, (1, 2), args)
            self.assertTrue(result.stderr.strip(), args)

    def test_a_file_given_as_a_folder_fails_with_a_message(self):
        stub = self.write("stub.exe", b"MZ" + bytes(300))
        launcher = self.path("show.exe")
        self.assertEqual(run("pack", launcher, "--stub", stub).returncode, 0)
        self.assertFailsWithMessage(run("unpack", launcher, stub))

    def test_an_output_that_is_a_folder_is_refused_and_kept(self):
        os.mkdir(self.path("out"))
        self.write("out/keep", b"x")
        self.assertFailsWithMessage(run("audio-decode", MP3, self.path("out")))
        self.assertFailsWithMessage(run("jpeg-encode", DATA + "/jpeg/s420.ppm", self.path("out")))
        self.assertEqual(os.listdir(self.path("out")), ["keep"])

    def test_a_folder_output_of_jpeg_decode_receives_the_file(self):
        os.mkdir(self.path("out"))
        self.assertEqual(run("jpeg-decode", JPEG, self.path("out")).returncode, 0)
        self.assertEqual(os.listdir(self.path("out")), ["s420.ppm"])

    def test_find_says_when_nothing_matches(self):
        self.assertFailsWithMessage(run("find", self.path("*.none")))

    def test_unreadable_input_gives_a_message(self):
        self.assertFailsWithMessage(run("jpeg-decode", self.path("missing.jpg"), self.path("o.ppm")))
        self.assertFailsWithMessage(run("scale", self.write("t.ppm", b"P6\n99999999 1\n255\n"), self.path("o.ppm"), "2x2"))


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main()
