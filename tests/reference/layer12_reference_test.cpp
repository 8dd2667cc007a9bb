// Layer I and II output against libmpg123, decoded through the decoder
// handle. Two sources of streams: Layer II files that twolame makes at
// test time (bitrates 32 to 384 kbit/s, mono, stereo, joint stereo, dual
// channel, with and without CRC, 32, 44.1 and 48 kHz), and streams the test
// writes itself for what no encoder here produces (Layer I, and every
// allocation class of every table): each frame a random but valid choice of
// allocations, scalefactor selection, scalefactors and sample codes, packed
// by the syntax of ISO/IEC 11172-3. Both decoders must agree within 1 LSB
// RMS; a wrong table or bit order on our side would not.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "audio/mpeg_audio_header.h"
#include "encoded_files.h"
#include "mpg123_reference.h"

namespace lv::audio {
namespace {

void expectMatchesMpg123(const std::string& path) { reference::expectMatchesMpg123(path, true); }

using reference::EncodedCase;

class TwolameEncoded : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(TwolameEncoded, MatchesMpg123WithinOneLsb) {
    if (!reference::haveTool("sox") || !reference::haveTool("twolame")) GTEST_SKIP() << "sox or twolame not installed";
    reference::Workspace work(std::string("mp2-") + GetParam().name);
    const std::string mp2 = reference::encodeTestSound(work, "twolame --quiet", GetParam(), "mp2");
    ASSERT_FALSE(mp2.empty());
    expectMatchesMpg123(mp2);
}

// Per-channel bitrate and rate pick the allocation table: 32 and 48 kbit/s
// the two low-rate ones (8 subbands, 12 at 32 kHz), 56 to 80 (and all of
// 48 kHz) the 27-subband one, 96 and above the 30-subband one.
INSTANTIATE_TEST_SUITE_P(
    Layer2, TwolameEncoded,
    ::testing::Values(EncodedCase{"mono32_32000", 32000, 1, "-m m -b 32"},
                      EncodedCase{"mono48_44100_crc", 44100, 1, "-m m -b 48 -p"},
                      EncodedCase{"mono64_48000", 48000, 1, "-m m -b 64"},
                      EncodedCase{"mono192_44100", 44100, 1, "-m m -b 192"},
                      EncodedCase{"stereo64_48000", 48000, 2, "-m s -b 64"},
                      EncodedCase{"stereo96_32000_crc", 32000, 2, "-m s -b 96 -p"},
                      EncodedCase{"joint128_44100", 44100, 2, "-m j -b 128"},
                      EncodedCase{"joint128_44100_crc", 44100, 2, "-m j -b 128 -p"},
                      EncodedCase{"stereo192_44100", 44100, 2, "-m s -b 192"},
                      EncodedCase{"joint192_48000_crc", 48000, 2, "-m j -b 192 -p"},
                      EncodedCase{"dual224_44100", 44100, 2, "-m d -b 224"},
                      EncodedCase{"joint256_32000", 32000, 2, "-m j -b 256"},
                      EncodedCase{"stereo384_48000", 48000, 2, "-m s -b 384"},
                      EncodedCase{"joint384_44100_crc", 44100, 2, "-m j -b 384 -p"},
                      EncodedCase{"padded_stereo160_44100", 44100, 2, "-m s -b 160 -d"},
                      EncodedCase{"energy_joint192_44100", 44100, 2, "-m j -b 192 -E"}),
    [](const auto& info) { return std::string(info.param.name); });

class BitWriter {
public:
    void put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (count_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (count_ % 8));
            ++count_;
        }
    }
    size_t bits() const { return count_; }
    std::vector<uint8_t> take(size_t length) {
        bytes_.resize(length, 0);
        return std::move(bytes_);
    }

private:
    std::vector<uint8_t> bytes_;
    size_t count_ = 0;
};

// The step counts of Layer II allocation values, as the standard's table
// 3-B.2 gives them, and which table a header selects.
struct Row {
    int bits;
    std::vector<uint32_t> levels;
};
const Row highA{4, {0, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767, 65535}};
const Row highB{4, {0, 3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 65535}};
const Row mid{3, {0, 3, 5, 7, 9, 15, 31, 65535}};
const Row low{2, {0, 3, 5, 65535}};
const Row lowRateHigh{4, {0, 3, 5, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767}};
const Row lowRateLow{3, {0, 3, 5, 9, 15, 31, 63, 127}};

std::vector<const Row*> layer2Rows(int perChannelKbps, int rate) {
    std::vector<const Row*> rows;
    if (perChannelKbps <= 48) {
        for (int sb = 0; sb < (rate == 32000 ? 12 : 8); ++sb) rows.push_back(sb < 2 ? &lowRateHigh : &lowRateLow);
    } else {
        const int limit = (perChannelKbps <= 80 || rate == 48000) ? 27 : 30;
        for (int sb = 0; sb < limit; ++sb) rows.push_back(sb < 3 ? &highA : sb < 11 ? &highB : sb < 23 ? &mid : &low);
    }
    return rows;
}

int codeBits(uint32_t levels) {
    if (levels == 3) return 5;
    if (levels == 5) return 7;
    if (levels == 9) return 10;
    int b = 0;
    while ((1u << b) < levels + 1) ++b;
    return b;
}

struct StreamCase {
    const char* name;
    int layer;
    uint8_t headerByte2;  // bitrate and sampling frequency
    uint8_t headerByte3;  // mode and mode extension
};

std::ostream& operator<<(std::ostream& out, const StreamCase& c) { return out << c.name; }

class StreamWriter {
public:
    StreamWriter(const StreamCase& c, uint32_t seed) : case_(c), random_(seed) {}

    std::vector<uint8_t> frame() {
        const uint8_t h[4] = {0xFF, static_cast<uint8_t>(c().layer == 1 ? 0xFF : 0xFD), c().headerByte2, c().headerByte3};
        const MpegAudioHeader header = *parseMpegAudioHeader(h);
        for (int attempt = 0;; ++attempt) {
            BitWriter w;
            for (uint8_t b : h) w.put(b, 8);
            if (c().layer == 1)
                layer1(w, header, attempt);
            else
                layer2(w, header, attempt);
            if (w.bits() <= static_cast<size_t>(header.frameLength()) * 8) return w.take(static_cast<size_t>(header.frameLength()));
        }
    }

private:
    const StreamCase& c() const { return case_; }
    uint32_t pick(uint32_t below) { return below ? static_cast<uint32_t>(random_() % below) : 0; }
    // Fewer and smaller allocations on each retry until the frame fits.
    bool allocate(int attempt) { return pick(100) >= static_cast<uint32_t>(20 + 10 * attempt); }
    int bound(const MpegAudioHeader& h) const {
        return h.mode == ChannelMode::jointStereo ? (h.modeExtension + 1) * 4 : 32;
    }
    uint32_t scalefactor() { return 8 + pick(50); }

    void layer1(BitWriter& w, const MpegAudioHeader& h, int attempt) {
        const int channels = h.channels(), limit = bound(h);
        int alloc[2][32] = {};
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < (sb < limit ? channels : 1); ++ch) {
                alloc[ch][sb] = allocate(attempt) ? 1 + static_cast<int>(pick(std::max(1, 14 - 2 * attempt))) : 0;
                if (sb >= limit) alloc[1][sb] = alloc[0][sb];
                w.put(static_cast<uint32_t>(alloc[ch][sb]), 4);
            }
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                if (alloc[ch][sb]) w.put(scalefactor(), 6);
        for (int s = 0; s < 12; ++s)
            for (int sb = 0; sb < 32; ++sb)
                for (int ch = 0; ch < (sb < limit ? channels : 1); ++ch)
                    if (const int nb = alloc[ch][sb] + 1; nb > 1) w.put(pick((1u << nb) - 1), nb);
    }

    void layer2(BitWriter& w, const MpegAudioHeader& h, int attempt) {
        const int channels = h.channels();
        const auto rows = layer2Rows(h.bitrateKbps() / channels, h.sampleRate());
        const int limit = static_cast<int>(rows.size()), sbBound = std::min(bound(h), limit);
        uint32_t levels[2][32] = {};
        for (int sb = 0; sb < limit; ++sb)
            for (int ch = 0; ch < (sb < sbBound ? channels : 1); ++ch) {
                const Row& row = *rows[static_cast<size_t>(sb)];
                const uint32_t top = static_cast<uint32_t>(row.levels.size()) - 1;
                const uint32_t index = allocate(attempt) ? 1 + pick(std::max<uint32_t>(1, top - std::min<uint32_t>(top - 1, static_cast<uint32_t>(attempt)))) : 0;
                w.put(index, row.bits);
                levels[ch][sb] = row.levels[index];
                if (sb >= sbBound) levels[1][sb] = levels[0][sb];
            }
        int scfsi[2][32] = {};
        for (int sb = 0; sb < limit; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                if (levels[ch][sb]) w.put(static_cast<uint32_t>(scfsi[ch][sb] = static_cast<int>(pick(4))), 2);
        static constexpr int transmitted[4] = {3, 2, 1, 2};
        for (int sb = 0; sb < limit; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                if (levels[ch][sb])
                    for (int i = 0; i < transmitted[scfsi[ch][sb]]; ++i) w.put(scalefactor(), 6);
        for (int granule = 0; granule < 12; ++granule)
            for (int sb = 0; sb < limit; ++sb)
                for (int ch = 0; ch < (sb < sbBound ? channels : 1); ++ch) {
                    const uint32_t n = levels[ch][sb];
                    if (!n) continue;
                    if (n == 3 || n == 5 || n == 9)
                        w.put(pick(n) + n * pick(n) + n * n * pick(n), codeBits(n));
                    else
                        for (int i = 0; i < 3; ++i) w.put(pick(n), codeBits(n));
                }
    }

    StreamCase case_;
    std::mt19937 random_;
};

class CraftedStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(CraftedStream, MatchesMpg123WithinOneLsb) {
    StreamWriter writer(GetParam(), 1234);
    std::vector<uint8_t> stream;
    for (int i = 0; i < 30; ++i) {
        const auto frame = writer.frame();
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    reference::Workspace work(std::string("crafted-") + GetParam().name);
    const std::string path = work.path(std::string(GetParam().name) + ".mp2");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(stream.data(), 1, stream.size(), f);
    std::fclose(f);
    expectMatchesMpg123(path);
}

INSTANTIATE_TEST_SUITE_P(
    Layer12, CraftedStream,
    ::testing::Values(StreamCase{"layer1_stereo_44100", 1, 0xE0, 0x00},     // 416 kbit/s
                      StreamCase{"layer1_joint_48000", 1, 0xA4, 0x60},      // 320 kbit/s, bound 12
                      StreamCase{"layer1_mono_32000", 1, 0x68, 0xC0},       // 192 kbit/s
                      StreamCase{"layer2_stereo_44100_b", 2, 0xC0, 0x00},   // 224 kbit/s: 30 subbands
                      StreamCase{"layer2_joint_48000_a", 2, 0xB4, 0x50},    // 192 kbit/s: 27 subbands, bound 8
                      StreamCase{"layer2_mono_44100_a", 2, 0x50, 0xC0},     // 80 kbit/s mono: 27 subbands
                      StreamCase{"layer2_stereo_44100_c", 2, 0x40, 0x00},   // 64 kbit/s stereo: 8 subbands
                      StreamCase{"layer2_stereo_32000_d", 2, 0x48, 0x00}),  // 64 kbit/s stereo: 12 subbands
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lv::audio
