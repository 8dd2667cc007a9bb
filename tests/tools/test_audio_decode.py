"""lumavine-tool audio-decode on WAV files of every sample width, natively:
the output is 16-bit with the same samples (8-bit unsigned ones centred,
24- and 32-bit ones cut to their top 16 bits), also where a sample frame
straddles two of the reader's 4096-byte pieces."""
import random
import struct
import sys
import unittest
import wave

import tooltest


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


class AudioDecodeWav(tooltest.ToolTest):
    def test_every_width_comes_out_as_16_bit_with_the_same_samples(self):
        for bits, channels in ((8, 1), (16, 2), (24, 1), (24, 2), (32, 2)):
            with self.subTest(bits=bits, channels=channels):
                data, samples = wav_bytes(bits, channels, 8000, 5000)
                self.ok("audio-decode", self.write(f"in{bits}x{channels}.wav", data), self.path("out.wav"))
                with wave.open(self.path("out.wav"), "rb") as w:
                    self.assertEqual((w.getsampwidth(), w.getnchannels(), w.getframerate()), (2, channels, 8000))
                    out = w.readframes(w.getnframes())
                self.assertEqual(list(struct.unpack(f"<{len(out) // 2}h", out)), expected16(bits, samples))


if __name__ == "__main__":
    tooltest.TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
