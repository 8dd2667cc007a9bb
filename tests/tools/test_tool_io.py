"""lumavine-tool as a user meets it: outputs that are devices, FIFOs or '-',
PNG beside PPM, batches of files, usage and error messages, and no input
that ends the tool with an uncaught exception."""
import os
import stat
import sys
import threading
import unittest

import tooltest
from tooltest import run

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
JPEG, GREY, PPM = DATA + "/jpeg/s420.jpg", DATA + "/jpeg/grey.jpg", DATA + "/jpeg/s420.ppm"
MP3 = os.path.join(DATA, "audio", "mono_32k_22k.mp3")
COMMANDS = ["jpeg-decode", "jpeg-encode", "scale", "audio-decode", "pack", "unpack", "find", "list", "script", "cpu"]


def pnm_pixels(data):
    """(kind, width, height, raster) of a binary PGM/PPM without comments."""
    fields = data.split(maxsplit=4)
    return fields[0], int(fields[1]), int(fields[2]), fields[4]


class SpecialOutputs(tooltest.ToolTest):
    # A device node of our own first, then the system's /dev/null.
    def test_a_device_output_stays_a_device(self):
        node = self.path("null")
        try:
            os.mknod(node, 0o666 | stat.S_IFCHR, os.makedev(1, 3))
        except OSError:
            self.skipTest("cannot make a device node")
        for args in (["jpeg-decode", JPEG, node], ["audio-decode", MP3, node], ["jpeg-encode", PPM, node]):
            self.assertEqual(run(*args).returncode, 0, args)
            self.assertTrue(stat.S_ISCHR(os.stat(node).st_mode), args)
        self.assertEqual(os.listdir(self.root), ["null"])
        self.ok("jpeg-decode", JPEG, "/dev/null")
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
        ppm = self.ok("jpeg-decode", "-", "-", data=self.read(JPEG)).stdout
        self.ok("jpeg-decode", JPEG, self.path("ref.ppm"))
        self.assertEqual(ppm, self.read("ref.ppm"))
        self.assertEqual(self.ok("jpeg-encode", "-", "-", data=ppm).stdout[:2], b"\xff\xd8")
        self.assertEqual(pnm_pixels(run("scale", "-", "-", "8x8", data=ppm).stdout)[:3], (b"P6", 8, 8))
        wav = self.ok("audio-decode", "-", "-", data=self.read(MP3)).stdout
        run("audio-decode", MP3, self.path("file.wav"))
        self.assertEqual(wav[44:], self.read("file.wav")[44:])


class Png(tooltest.ToolTest):
    def decode_both(self, source):
        self.ok("jpeg-decode", source, self.path("a.ppm"))
        self.ok("jpeg-decode", source, self.path("a.png"))
        self.assertEqual(self.read("a.png")[:8], b"\x89PNG\r\n\x1a\n")
        return pnm_pixels(self.read("a.ppm"))

    def test_png_matches_ppm_and_a_streamed_ppm_scales_to_the_pixels_of_a_whole_png(self):
        # A PPM goes through the scaler a row at a time, a PNG is scaled whole.
        for source in (JPEG, GREY):
            pixels = self.decode_both(source)
            w, h = pixels[1:3]
            for size, method in ((f"{w // 3}x{h // 2}", []), (f"{w * 3}x{h + 1}", []), (f"{w}x{h}", []),
                                 (f"{w // 2}x{h // 7}", ["--method", "0,8"]), (f"{w + 5}x{h * 2}", ["--method", "1,2"])):
                self.ok("scale", self.path("a.ppm"), self.path("s.ppm"), size, *method)
                self.ok("scale", self.path("a.png"), self.path("w.ppm"), size, *method)
                self.assertEqual(self.read("s.ppm"), self.read("w.ppm"), (source, size, method))
                if size == f"{w}x{h}":
                    self.assertEqual(pnm_pixels(self.read("w.ppm")), pixels, source)

    def test_png_in_gives_the_same_jpeg_as_ppm_in_and_scale_writes_png_by_the_name(self):
        self.decode_both(JPEG)
        self.ok("jpeg-encode", self.path("a.ppm"), self.path("1.jpg"))
        self.ok("jpeg-encode", self.path("a.png"), self.path("2.jpg"))
        self.assertEqual(self.read("1.jpg"), self.read("2.jpg"))
        self.ok("scale", self.path("a.ppm"), self.path("s.PNG"), "7x5")
        self.assertEqual(self.read("s.PNG")[:4], b"\x89PNG")


class Batches(tooltest.ToolTest):
    def test_a_folder_of_jpegs_decodes_into_an_output_folder(self):
        for name in ("a.jpg", "b.JPG"):
            self.write("photos/" + name, self.read(JPEG))
        self.write("photos/notes.txt", b"not a picture")
        result = self.ok("jpeg-decode", self.path("photos"), self.path("out"), "--png")
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["a.png", "b.png"])
        self.assertEqual(result.stderr, b"")  # no progress when stderr is not a terminal

    def test_several_inputs_scale_into_a_folder_and_failures_are_named(self):
        run("jpeg-decode", JPEG, self.path("one.ppm"))
        bad = self.write("two.ppm", b"P6\n5 5\n255\nshort")
        result = run("scale", self.path("one.ppm"), bad, self.path("small"), "4x4")
        self.assertFailsWithMessage(result)
        self.assertIn(b"two.ppm", result.stderr)
        self.assertEqual(os.listdir(self.path("small")), ["one.ppm"])


class Messages(tooltest.ToolTest):
    def test_every_command_prints_its_usage_on_help(self):
        for command in COMMANDS:
            result = run(command, "--help")
            self.assertEqual(result.returncode, 0, command)
            self.assertIn(b"usage: lumavine-tool " + command.encode(), result.stdout)

    def test_bad_arguments_give_a_message_and_status_2(self):
        for args in (["jpeg-decode", "one"], ["scale", "a", "b", "axb"], ["audio-decode"], ["find"],
                     ["jpeg-encode", "a", "b", "--quality", "x"], ["list", "*", "many"], ["cpu", "x"]):
            self.assertFailsWithMessage(run(*args), 2)
        for command in ("pack", "unpack"):
            self.assertEqual(run(command).returncode, 2, command)

    def test_a_folder_as_a_file_and_a_file_as_a_folder_fail_with_a_message(self):
        folder = self.path("folder")
        os.mkdir(folder)
        stub = self.write("stub.exe", b"MZ" + bytes(300))
        launcher = self.path("show.exe")
        self.ok("pack", launcher, "--stub", stub)
        for args in (["pack", self.path("x.exe"), "--stub", folder], ["pack", self.path("x.exe"), "--stub", stub, folder],
                     ["unpack", folder], ["unpack", launcher, stub],
                     ["jpeg-decode", folder + "/../folder", self.path("o.ppm")], ["jpeg-encode", folder, self.path("o.jpg")],
                     ["audio-decode", folder, self.path("o.wav")], ["scale", folder, self.path("o.ppm"), "2x2"]):
            result = run(*args)
            self.assertIn(result.returncode, (1, 2), args)
            self.assertTrue(result.stderr.strip(), args)
        self.assertEqual(self.read("stub.exe")[:2], b"MZ")
        self.assertFalse(os.path.exists(self.path("x.exe")))

    def test_an_output_that_is_a_folder_is_refused_and_kept_except_by_jpeg_decode(self):
        self.write("out/keep", b"x")
        self.assertFailsWithMessage(run("audio-decode", MP3, self.path("out")))
        self.assertFailsWithMessage(run("jpeg-encode", PPM, self.path("out")))
        self.assertEqual(os.listdir(self.path("out")), ["keep"])
        self.ok("jpeg-decode", JPEG, self.path("out"))
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["keep", "s420.ppm"])

    def test_nothing_found_and_unreadable_input_give_a_message(self):
        self.assertFailsWithMessage(run("find", self.path("*.none")))
        self.assertFailsWithMessage(run("jpeg-decode", self.path("missing.jpg"), self.path("o.ppm")))
        self.assertFailsWithMessage(run("scale", self.write("t.ppm", b"P6\n99999999 1\n255\n"), self.path("o.ppm"), "2x2"))


if __name__ == "__main__":
    tooltest.TOOL = sys.argv.pop(1)
    unittest.main()
