"""lumavine-tool audio-decode on WAV files of every sample width, natively:
the output is 16-bit with the same samples (8-bit unsigned ones centred,
24- and 32-bit ones cut to their top 16 bits), also where a sample frame
straddles two of the reader's 4096-byte pieces."""
import os
import random
import struct
import subprocess
import sys
import tempfile
import unittest
import wave

TOOL = None  # set from the command line


def wav_bytes(bits, channels, rate, frames):
    """A RIFF WAVE file of random samples, and the samples as integers."""
    width = bits // 8
    rng = random.Random(bits * 10 + channels)
    samples = [rng.randrange(0, 1 << bits) - (0 if bits == 8 else 1 << (bits - 1)) for _ in range(frames * channels)]
    data = b"".join(s.to_bytes(width, "little", signed=bits != 8) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * channels * width, channels * width, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body, samples


def expected16(bits, samples):
    if bits == 8:
        return [(s - 128) * 256 for s in samples]
    return [s >> (bits - 16) for s in samples]


class AudioDecodeWav(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="lumavine-audio-decode-")

    def tearDown(self):
        self.dir.cleanup()

    def check(self, bits, channels):
        source = os.path.join(self.dir.name, f"in{bits}x{channels}.wav")
        target = os.path.join(self.dir.name, f"out{bits}x{channels}.wav")
        data, samples = wav_bytes(bits, channels, 8000, 5000)
        with open(source, "wb") as f:
            f.write(data)
        result = subprocess.run([TOOL, "audio-decode", source, target], capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 0, result.stderr)
        with wave.open(target, "rb") as w:
            self.assertEqual((w.getsampwidth(), w.getnchannels(), w.getframerate()), (2, channels, 8000))
            out = w.readframes(w.getnframes())
        got = list(struct.unpack(f"<{len(out) // 2}h", out))
        self.assertEqual(len(got), len(samples))
        self.assertEqual(got, expected16(bits, samples))

    def test_8_bit_mono(self):
        self.check(8, 1)

    def test_16_bit_stereo(self):
        self.check(16, 2)

    def test_24_bit_mono(self):
        self.check(24, 1)

    def test_24_bit_stereo(self):
        self.check(24, 2)

    def test_32_bit_stereo(self):
        self.check(32, 2)


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
