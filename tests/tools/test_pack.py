"""lumavine-tool pack and unpack, natively: the launcher's bytes, the index
"ix" beside it, names given and derived, and extraction."""
import os
import struct
import sys
import unittest

import tooltest
from tooltest import run


def records(index):
    """The index as (name, flags, size, offset) tuples."""
    out = []
    for at in range(0, len(index) - len(index) % 128, 128):
        r = index[at:at + 128]
        out.append((r[:119].split(b"\0")[0].decode("latin-1"), r[119], *struct.unpack("<II", r[120:128])))
    return out


class PackTest(tooltest.ToolTest):
    def setUp(self):
        super().setUp()
        self.stub = self.write("stub.exe", b"MZ" + bytes(range(256)) * 4)
        self.picture = self.write("src/a.jpg", b"picture bytes")

    def pack(self, *files):
        os.makedirs(self.path("player"), exist_ok=True)
        self.ok("pack", self.path("player", "show.exe"), "--stub", self.stub, *files)
        return self.path("player", "show.exe")

    def test_files_follow_the_stub_and_the_index_points_at_them(self):
        script = self.write("src/show.scr", b"begin init\nend\n")
        self.pack(script, self.picture, "*/menu/Extra.JPG=" + self.picture)
        launcher, stub = self.read("player", "show.exe"), self.read("stub.exe")
        self.assertEqual(launcher[:len(stub)], stub)
        entries = records(self.read("player", "ix"))
        self.assertEqual([e[0] for e in entries], ["%loaderpath%show.scr", "*/a.jpg", "*/menu/Extra.JPG"])
        for name, flags, size, offset in entries:
            self.assertEqual(flags, 0)
            self.assertGreaterEqual(offset, len(stub))
            self.assertEqual(launcher[offset:offset + size], self.read(script if name.endswith(".scr") else self.picture))
        self.assertEqual(len(self.read("player", "ix")), 3 * 128)

    def test_unpack_lists_and_extracts_and_skips_entries_outside_the_launcher(self):
        launcher = self.pack(self.picture)
        self.assertIn(b"*/a.jpg\t13 bytes at", self.ok("unpack", launcher).stdout)
        self.ok("unpack", launcher, self.path("out"))
        self.assertEqual(self.read("out", "a.jpg"), b"picture bytes")
        index = bytearray(self.read("player", "ix"))
        index[124:128] = struct.pack("<I", 1 << 30)  # offset far past the end
        self.write("player/ix", bytes(index))
        self.assertIn(b"unusable", self.ok("unpack", launcher, self.path("skipped")).stdout)  # skipped, no failure
        self.assertFalse(os.path.exists(self.path("skipped", "a.jpg")))

    def test_refusals_leave_no_launcher_and_keep_a_folder_target(self):
        os.mkdir(self.path("empty"))
        onto_folder = run("pack", self.path("empty"), "--stub", self.stub, self.picture)
        self.assertFailsWithMessage(onto_folder)
        self.assertIn(b"folder", onto_folder.stderr)
        self.assertTrue(os.path.isdir(self.path("empty")))
        missing_stub = run("pack", self.path("x.exe"), "--stub", self.path("no.exe"))
        self.assertFailsWithMessage(missing_stub)
        self.assertIn(b"--stub", missing_stub.stderr)
        self.assertFailsWithMessage(run("pack", self.path("x.exe"), "--stub", self.stub, self.path("missing.jpg")))
        self.assertFailsWithMessage(run("pack", self.path("x.exe"), "--stub", self.stub, "*/" + "n" * 120 + "=" + self.stub))
        self.assertFalse(os.path.exists(self.path("x.exe")))

    # '-' is standard output for pack's launcher and standard input for what
    # unpack and pack read; '-' has no folder, so the index is named.
    def test_a_launcher_through_pipes_equals_one_through_files(self):
        launcher = self.pack(self.picture)
        index = self.path("pipe-ix")
        piped = self.ok("pack", "-", "--stub", self.stub, "--index", index, self.picture)
        self.assertEqual(piped.stdout, self.read(launcher))  # the listing went to stderr
        self.assertIn(b"*/a.jpg\t13 bytes at", piped.stderr)
        self.assertEqual(self.read(index), self.read("player", "ix"))
        self.ok("unpack", "-", self.path("out"), "--index", index, data=piped.stdout)
        self.assertEqual(self.read("out", "a.jpg"), b"picture bytes")

    def test_the_index_and_a_packed_file_can_come_through_dashes(self):
        launcher = self.pack(self.picture)
        listed = self.ok("unpack", launcher, "--index", "-", data=self.read("player", "ix"))
        self.assertIn(b"*/a.jpg\t13 bytes at", listed.stdout)
        index = self.ok("pack", self.path("b.exe"), "--stub", self.stub, "--index", "-", "*/b.txt=-", data=b"from a pipe")
        self.assertEqual(records(index.stdout)[0][:3], ("*/b.txt", 0, 11))
        self.assertEqual(self.read("b.exe")[-11:], b"from a pipe")

    def test_dash_without_an_index_or_read_twice_is_refused(self):
        for args in (["pack", "-", "--stub", self.stub, self.picture], ["unpack", "-"],
                     ["pack", "-", "--stub", self.stub, "--index", "-", self.picture],
                     ["pack", self.path("c.exe"), "--stub", "-", "*/x=-"]):
            result = run(*args, data=b"MZ")
            self.assertFailsWithMessage(result)
            self.assertEqual(result.stdout, b"", args)
        self.assertFalse(os.path.exists(self.path("c.exe")))


if __name__ == "__main__":
    tooltest.TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
