"""lumavine-tool pack and unpack, natively: the launcher's bytes, the index
"ix" beside it, names given and derived, and extraction."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

TOOL = None  # set from the command line


def run(*args):
    return subprocess.run([TOOL, *map(str, args)], capture_output=True, text=True, timeout=30)


def run_bytes(*args, data=None):
    return subprocess.run([TOOL, *map(str, args)], input=data, capture_output=True, timeout=30)


def records(index):
    """The index as (name, flags, size, offset) tuples."""
    out = []
    for at in range(0, len(index) - len(index) % 128, 128):
        r = index[at:at + 128]
        out.append((r[:119].split(b"\0")[0].decode("latin-1"), r[119], *struct.unpack("<II", r[120:128])))
    return out


class PackFixture(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="lumavine-pack-")
        self.root = self.dir.name
        self.stub = self.write("stub.exe", b"MZ" + bytes(range(256)) * 4)

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, data):
        path = os.path.join(self.root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def read(self, *parts):
        with open(os.path.join(self.root, *parts), "rb") as f:
            return f.read()

    def pack(self, *files):
        out = os.path.join(self.root, "player", "show.exe")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        result = run("pack", out, "--stub", self.stub, *files)
        self.assertEqual(result.returncode, 0, result.stderr)
        return out


class PackTest(PackFixture):
    def test_files_follow_the_stub_and_the_index_points_at_them(self):
        script = self.write("src/show.scr", b"begin init\nend\n")
        picture = self.write("src/pic.jpg", b"\xff\xd8\xff\xe0JPEG")
        self.pack(script, picture, "*/menu/Extra.JPG=" + picture)
        launcher = self.read("player", "show.exe")
        stub = self.read("stub.exe")
        self.assertEqual(launcher[:len(stub)], stub)
        entries = records(self.read("player", "ix"))
        self.assertEqual([e[0] for e in entries], ["%loaderpath%show.scr", "*/pic.jpg", "*/menu/Extra.JPG"])
        for name, flags, size, offset in entries:
            self.assertEqual(flags, 0)
            self.assertGreaterEqual(offset, len(stub))
            source = script if name.endswith(".scr") else picture
            with open(source, "rb") as f:
                self.assertEqual(launcher[offset:offset + size], f.read(), name)
        self.assertEqual(len(self.read("player", "ix")), 3 * 128)

    def test_unpack_lists_and_extracts(self):
        picture = self.write("src/a.jpg", b"picture bytes")
        launcher = self.pack(picture)
        listed = run("unpack", launcher)
        self.assertEqual(listed.returncode, 0)
        self.assertIn("*/a.jpg\t13 bytes at", listed.stdout)
        out = os.path.join(self.root, "out")
        self.assertEqual(run("unpack", launcher, out).returncode, 0)
        self.assertEqual(self.read("out", "a.jpg"), b"picture bytes")

    def test_unpack_skips_entries_outside_the_launcher(self):
        launcher = self.pack(self.write("src/a.jpg", b"abc"))
        index = bytearray(self.read("player", "ix"))
        index[124:128] = struct.pack("<I", 1 << 30)  # offset far past the end
        self.write("player/ix", bytes(index))
        out = os.path.join(self.root, "out")
        listed = run("unpack", launcher, out)
        self.assertIn("unusable", listed.stdout)
        self.assertFalse(os.path.exists(os.path.join(out, "a.jpg")))

    def test_a_name_too_long_for_the_index_is_refused(self):
        result = run("pack", os.path.join(self.root, "x.exe"), "--stub", self.stub,
                     "*/" + "n" * 120 + "=" + self.stub)
        self.assertEqual(result.returncode, 1)
        self.assertFalse(os.path.exists(os.path.join(self.root, "x.exe")))

    def test_pack_onto_an_empty_folder_fails_and_keeps_the_folder(self):
        folder = os.path.join(self.root, "empty")
        os.mkdir(folder)
        result = run("pack", folder, "--stub", self.stub, self.write("src/a.jpg", b"abc"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("folder", result.stderr)
        self.assertTrue(os.path.isdir(folder))

    def test_a_folder_as_a_file_and_a_file_as_a_folder_fail_with_a_message(self):
        launcher = self.pack(self.write("src/a.jpg", b"abc"))
        for args in (["pack", os.path.join(self.root, "x.exe"), "--stub", self.root],
                     ["pack", os.path.join(self.root, "x.exe"), "--stub", self.stub, self.root],
                     ["unpack", self.root], ["unpack", launcher, self.stub]):
            result = run(*args)
            self.assertEqual(result.returncode, 1, args)
            self.assertTrue(result.stderr.strip(), args)
        self.assertEqual(self.read("stub.exe")[:2], b"MZ")

    def test_bad_usage_and_missing_inputs(self):
        self.assertEqual(run("pack").returncode, 2)
        self.assertEqual(run("unpack").returncode, 2)
        self.assertEqual(run("pack", os.path.join(self.root, "x.exe"), "--stub", self.stub,
                             os.path.join(self.root, "missing.jpg")).returncode, 1)
        missing_stub = run("pack", os.path.join(self.root, "x.exe"), "--stub", os.path.join(self.root, "no.exe"))
        self.assertEqual(missing_stub.returncode, 1)
        self.assertIn("--stub", missing_stub.stderr)



class Dash(PackFixture):
    """'-' is standard output for pack's launcher and standard input for what
    unpack and pack read; '-' has no folder, so the index is named."""

    def test_a_launcher_through_pipes_equals_one_through_files(self):
        picture = self.write("src/a.jpg", b"picture bytes")
        launcher = self.pack(picture)
        index = os.path.join(self.root, "pipe-ix")
        piped = run_bytes("pack", "-", "--stub", self.stub, "--index", index, picture)
        self.assertEqual(piped.returncode, 0, piped.stderr)
        self.assertEqual(piped.stdout, self.read(launcher))  # the listing went to stderr
        self.assertIn(b"*/a.jpg\t13 bytes at", piped.stderr)
        self.assertEqual(self.read(index), self.read("player", "ix"))
        out = os.path.join(self.root, "out")
        unpacked = run_bytes("unpack", "-", out, "--index", index, data=piped.stdout)
        self.assertEqual(unpacked.returncode, 0, unpacked.stderr)
        self.assertEqual(self.read("out", "a.jpg"), b"picture bytes")

    def test_the_index_and_a_packed_file_can_come_through_dashes(self):
        launcher = self.pack(self.write("src/a.jpg", b"abc"))
        listed = run_bytes("unpack", launcher, "--index", "-", data=self.read("player", "ix"))
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertIn(b"*/a.jpg\t3 bytes at", listed.stdout)
        index = run_bytes("pack", os.path.join(self.root, "b.exe"), "--stub", self.stub, "--index", "-",
                          "*/b.txt=-", data=b"from a pipe")
        self.assertEqual(index.returncode, 0, index.stderr)
        self.assertEqual(records(index.stdout)[0][:3], ("*/b.txt", 0, 11))
        self.assertEqual(self.read("b.exe")[-11:], b"from a pipe")

    def test_dash_without_an_index_or_read_twice_is_refused(self):
        picture = self.write("src/a.jpg", b"abc")
        for args in (["pack", "-", "--stub", self.stub, picture], ["unpack", "-"],
                     ["pack", "-", "--stub", self.stub, "--index", "-", picture],
                     ["pack", os.path.join(self.root, "c.exe"), "--stub", "-", "*/x=-"]):
            result = run_bytes(*args, data=b"MZ")
            self.assertEqual(result.returncode, 1, args)
            self.assertTrue(result.stderr.strip(), args)
            self.assertEqual(result.stdout, b"", args)
        self.assertFalse(os.path.exists(os.path.join(self.root, "c.exe")))


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
