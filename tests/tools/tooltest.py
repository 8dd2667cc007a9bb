"""What the tool tests share: running lumavine-tool, a scratch folder of each
test's own, and reading back what the tool wrote."""
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

TOOL = None  # each script sets it from its command line


def run(*args, data=None):
    return subprocess.run([TOOL, *map(str, args)], input=data, capture_output=True, timeout=300)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", head
    return struct.unpack(">II", head[16:24])


class ToolTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="lumavine-%s-" % type(self).__name__)

    def tearDown(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def path(self, *names):
        return os.path.join(self.root, *names)

    def read(self, *names):
        with open(self.path(*names), "rb") as f:
            return f.read()

    def write(self, name, data):
        path = self.path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb" if isinstance(data, bytes) else "w") as f:
            f.write(data)
        return path

    def ok(self, *args, data=None):
        result = run(*args, data=data)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result

    def assertFailsWithMessage(self, result, code=1):
        self.assertEqual(result.returncode, code, result.stderr)
        self.assertTrue(result.stderr.strip(), "no message on stderr")
        self.assertLessEqual(len(result.stderr.decode().strip().splitlines()), 3, result.stderr)
