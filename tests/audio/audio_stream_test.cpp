#include "audio/audio_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "audio/audio_dispatch.h"
#include "audio_graph_fixture.h"
#include "audio_test_files.h"

namespace lv::audio {
namespace {

using namespace test;

std::unique_ptr<AudioStream> stereo16() { return AudioStream::create({0, 2, 44100, 16, 0}); }

TEST(AudioStreamLimits, AcceptTheWidestFormatAndNoMore) {
    EXPECT_NE(AudioStream::create({0, 1, 96000, 32, 0}), nullptr);
    EXPECT_EQ(AudioStream::create({0, 33, 44100, 16, 0}), nullptr);
    EXPECT_EQ(AudioStream::create({0, 2, 96001, 16, 0}), nullptr);
    EXPECT_EQ(AudioStream::create({0, 2, 44100, 7, 0}), nullptr);
}

class InterleavedChannels : public ::testing::TestWithParam<uint16_t> {};

TEST_P(InterleavedChannels, SamplesCrossBlockBoundariesInTheirChannels) {
    const uint16_t channels = GetParam();
    auto s = AudioStream::create({0, channels, 44100, 16, 0});
    const std::vector<int16_t> v = ramp(20000 * channels);
    ASSERT_EQ(s->writeInterleaved(v.data(), 20000, 5000, channels, 16, false), 0);
    std::vector<int16_t> back(v.size());
    ASSERT_EQ(s->readInterleaved(back.data(), 20000, 5000, 16), 20000);
    EXPECT_EQ(back, v);
    std::vector<int32_t> wide(v.size());
    ASSERT_EQ(s->readInterleaved(wide.data(), 20000, 5000, 32), 20000);
    for (size_t i = 0; i < v.size(); i += 997) EXPECT_EQ(wide[i], fromSample16(v[i])) << i;
    const int32_t* last = s->read32(channels - 1, 5000 + 19999, 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last, fromSample16(v.back()));
}

INSTANTIATE_TEST_SUITE_P(MonoStereoAndMore, InterleavedChannels, ::testing::Values(1, 2, 3));

TEST(AudioStreamStorage, ReleaseKeepsABlockEndingAtThePosition) {
    auto s = AudioStream::create({0, 1, 44100, 16, 0});
    std::vector<int16_t> v = ramp(3 * 8192);
    s->writeInterleaved(v.data(), 3 * 8192, 0, 1, 16, false);
    s->release(8192);
    EXPECT_EQ(s->firstRetained(), 0);
    EXPECT_NE(s->read32(0, 0, 1), nullptr);
    s->release(8193);
    EXPECT_EQ(s->firstRetained(), 8192);
    EXPECT_EQ(s->read32(0, 0, 1), nullptr);
}

// Writes a constant through write32 in runs of `run` from `from`.
void writeRuns(AudioStream& s, int64_t from, int64_t to, int32_t run, int16_t value) {
    for (int64_t at = from; at < to; at += run) {
        int32_t* out = s.write32(0, at, run);
        ASSERT_NE(out, nullptr);
        for (int32_t i = 0; i < run; ++i) out[i] = fromSample16(value);
    }
    s.setValidEnd(to);
}

TEST(AudioStreamStorage, ReleasedBlocksComeBackWithTheNewSamples) {
    auto s = AudioStream::create({0, 1, 44100, 16, 0});
    writeRuns(*s, 0, 2 * 8192, 2048, 3);
    s->release(2 * 8192 + 1);
    writeRuns(*s, 2 * 8192, 4 * 8192, 2048, -4);
    const int32_t* run = s->read32(0, 3 * 8192 - 2048, 2048);
    ASSERT_NE(run, nullptr);
    for (int32_t i = 0; i < 2048; ++i) ASSERT_EQ(run[i] >> 16, -4) << i;
    std::vector<int16_t> back(2 * 8192);
    ASSERT_EQ(s->readInterleaved(back.data(), 2 * 8192, 2 * 8192, 16), 2 * 8192);
    EXPECT_EQ(back, constant(2 * 8192, -4));
}

// Nodes read one stream's block while they write another's; each block
// starts a page, new and reused, in every channel.
TEST(AudioStreamStorage, BlocksStartPages) {
    auto s = AudioStream::create({0, 2, 44100, 16, 0});
    for (int64_t block = 0; block < 4; ++block) {
        for (int32_t c = 0; c < 2; ++c) {
            const int32_t* first = s->write32(c, block * 8192, 8192);
            ASSERT_NE(first, nullptr);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % 4096, 0u) << "block " << block << " channel " << c;
        }
        s->setValidEnd((block + 1) * 8192);
        s->release(block * 8192 + 1);  // the block before goes back to the spares
    }
}

// b is written in runs that cross block boundaries (6144 to 9216 and
// 15360 to 18432), a in runs within blocks.
TEST(AudioStreamStorage, ExchangedBlocksCarryTheirSamplesOver) {
    auto a = AudioStream::create({0, 1, 44100, 16, 0}), b = AudioStream::create({0, 1, 44100, 16, 0});
    writeRuns(*a, 0, 3 * 8192, 2048, 1);
    writeRuns(*b, 0, 3 * 8192, 3072, 2);
    EXPECT_FALSE(a->exchangeBlock(*b, 8192 + 1));  // not a block's start
    ASSERT_TRUE(a->exchangeBlock(*b, 8192));
    std::vector<int16_t> back(3 * 8192), expected = constant(3 * 8192, 1);
    std::fill(expected.begin() + 8192, expected.begin() + 2 * 8192, int16_t{2});
    ASSERT_EQ(a->readInterleaved(back.data(), 3 * 8192, 0, 16), 3 * 8192);
    EXPECT_EQ(back, expected);
    EXPECT_FALSE(a->exchangeBlock(*AudioStream::create({0, 2, 44100, 16, 0}), 0));  // another channel count
}

TEST(AudioStreamStorage, AccessOutsideTheChannelsOrStorageGivesNothing) {
    auto s = stereo16();
    EXPECT_EQ(s->read32(2, 0, 1), nullptr);
    EXPECT_EQ(s->read32(0, 0, 1), nullptr);
    EXPECT_EQ(s->access(0, 0, 1, false, static_cast<SampleFormat>(3)), nullptr);
}

TEST(AudioDispatch, UnknownCommandsAndKindsGiveMinusOneAndSourcesProduceStreams) {
    auto s = stereo16();
    EXPECT_EQ(send(kindAudioStream, 999, s.get()), -1);
    EXPECT_EQ(send(12, cmdReadInterleaved, s.get()), -1);
    EXPECT_EQ(send(kindAudioStream, cmdSetPosition, s.get(), nullptr), -1);
    uint16_t kind = 0;
    EXPECT_EQ(send(kindWavSource, cmdProducedKind, nullptr, &kind), 0);
    EXPECT_EQ(kind, kindAudioStream);
    EXPECT_EQ(send(kindLayer3Source, cmdNoOperation, nullptr), 0);
}

TEST(AudioDispatch, LengthOfAFileSourceAndOfOtherStreams) {
    auto wav = wavStream(8000, 1, ramp(1234));
    int64_t length = 0;
    ASSERT_EQ(send(kindAudioStream, cmdGetLength, wav.get(), &length), 0);
    EXPECT_EQ(length, 1234);
    auto plain = stereo16();
    send(kindAudioStream, cmdGetLength, plain.get(), &length);
    EXPECT_EQ(length, -1);
}

TEST(AudioDispatch, ReadAndWriteRecords) {
    auto s = stereo16();
    const int16_t frames[] = {10, 20, 30, 40};
    WriteRecord w{s.get(), frames, 2, 0, 2, 16, 0};
    EXPECT_EQ(send(kindAudioStream, cmdWriteInterleaved, s.get(), &w), 0);
    int32_t wide[4];
    ReadRecord r{s.get(), wide, 2, 0, 32};
    EXPECT_EQ(send(kindAudioStream, cmdReadInterleaved, s.get(), &r), 2);
    EXPECT_EQ(wide[3], 40 << 16);
}

TEST(AudioDispatch, CreatesANodeThatOwnsItsSource) {
    NodeRecord record;
    record.kind = kindChannelChanger;
    record.source = wavStream(8000, 1, constant(100, 7)).release();
    record.flags = ownsSource;
    record.targetChannels = 2;
    std::unique_ptr<AudioStream> node;
    ASSERT_EQ(send(kindChannelChanger, cmdCreateNode, nullptr, &record, &node), 0);
    const auto out = drain(*node);
    ASSERT_EQ(out.size(), 200u);
    EXPECT_EQ(out[199], 7);
}

TEST(AudioDispatch, CopyInfoNeedsTwoStreams) {
    auto a = stereo16(), b = stereo16();
    a->info().flags = 0x7F80;
    a->info().infoList = {"title"};
    EXPECT_EQ(send(kindAudioStream, cmdCopyInfo, a.get(), b.get()), 0);
    EXPECT_EQ(b->info().flags, 0x7F00);
    EXPECT_EQ(b->info().infoList, a->info().infoList);
    EXPECT_EQ(send(kindAudioStream, cmdCopyInfo, a.get(), nullptr), -1);
}

// ---- File sources -------------------------------------------------------

TEST(WavSource, RefusesMoreThanTwoChannelsAndRateZero) {
    EXPECT_EQ(openSource(kindWavSource, std::make_unique<MemoryByteSource>(makeWav(8000, 3, 16, {0, 0, 0}))), nullptr);
    EXPECT_EQ(openSource(kindWavSource, std::make_unique<MemoryByteSource>(makeWav(0, 1, 16, {0, 0}))), nullptr);
}

TEST(WavSource, AFrameCutByAReadIsCarriedToTheNext) {
    // 24-bit stereo frames are 6 bytes; reads of 4096 bytes cut them.
    std::vector<int32_t> wide;
    std::vector<int16_t> upper;
    for (int i = 0; i < 6000; ++i) {
        const int32_t v = (i * 7919 % 65536 - 32768) * 65536 + (i % 256) * 256;
        wide.push_back(v);
        upper.push_back(static_cast<int16_t>(v >> 16));
    }
    auto s = openSource(kindWavSource, std::make_unique<MemoryByteSource>(makeWav(44100, 2, 24, wide)));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(drain(*s), upper);
}

// 8-bit samples are unsigned: the middle reads 0, the top 127 * 256.
TEST(WavSource, EightBitIsUnsigned) {
    auto s = openSource(kindWavSource, std::make_unique<MemoryByteSource>(makeWav(8000, 1, 8, {0, 0x40000000, 0x7F000000})));
    EXPECT_EQ(drain(*s), (std::vector<int16_t>{0, 0x4000, 127 * 256}));
}

TEST(WavSource, SeeksByItsSetPositionHook) {
    auto s = wavStream(8000, 1, ramp(20000));
    PositionRecord p{0, 12345, 1};
    EXPECT_EQ(send(kindAudioStream, cmdSetPosition, s.get(), &p), 0);
    s->pump();
    EXPECT_EQ(s->firstRetained(), 12345);
    int16_t first;
    ASSERT_EQ(s->readInterleaved(&first, 1, 12345, 16), 1);
    EXPECT_EQ(first, ramp(20000)[12345]);
}

TEST(Layer3Source, FastForwardsWholeFramesToNearItsTarget) {
    auto s = openSource(kindLayer3Source, test::memorySource(test::readAudioData("joint_128k_44k.mp3"), "a.mp3"));
    ASSERT_NE(s, nullptr);
    PositionRecord p{1.0, 0, 0};
    ASSERT_EQ(send(kindAudioStream, cmdSetPosition, s.get(), &p), 0);
    EXPECT_EQ(s->seekTarget(), 44100);
    for (int i = 0; i < 50 && s->validEnd() <= s->firstRetained() && !s->finished(); ++i) s->pump();
    EXPECT_LE(s->firstRetained(), 44100);
    EXPECT_GT(s->firstRetained() + 3456 + 1152, 44100);
    EXPECT_EQ(s->firstRetained() % 1152, 0);
}

}  // namespace
}  // namespace lv::audio
