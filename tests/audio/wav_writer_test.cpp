// The WAV writer: canonical header fields, 32-bit size limits refused
// rather than wrapped, and streamed writing patched with the real sizes.
#include "audio/wav_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/temp_folder.h"

namespace lv::audio {
namespace {

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }

TEST(WavHeader, HoldsTheCanonicalFields) {
    const auto h = wavHeader16(44100, 2, 1000);
    ASSERT_TRUE(h);
    EXPECT_EQ(std::memcmp(h->data(), "RIFF", 4), 0);
    EXPECT_EQ(le32(&(*h)[4]), 1036u);
    EXPECT_EQ(le32(&(*h)[24]), 44100u);
    EXPECT_EQ(le32(&(*h)[28]), 44100u * 4);
    EXPECT_EQ(le32(&(*h)[40]), 1000u);
}

// The largest size still fits; past 4 GiB the 32-bit fields would wrap to a
// small, wrong size, so such sizes are refused, as are formats the header
// cannot describe.
TEST(WavHeader, RefusesSizesPastFourGigabytesAndFormatsItCannotDescribe) {
    const auto h = wavHeader16(44100, 2, kMaxWavDataBytes);
    ASSERT_TRUE(h);
    EXPECT_EQ(le32(&(*h)[4]), 0xFFFFFFFFu);
    EXPECT_EQ(le32(&(*h)[40]), 0xFFFFFFFFu - 36);
    EXPECT_FALSE(wavHeader16(44100, 2, kMaxWavDataBytes + 1));
    EXPECT_FALSE(wavHeader16(44100, 2, std::uint64_t{1} << 32));
    EXPECT_FALSE(wavHeader16(44100, 2, (std::uint64_t{1} << 32) + 100));
    EXPECT_FALSE(wavHeader16(44100, 0, 0));
    EXPECT_FALSE(wavHeader16(0xFFFFFFFFu, 2, 0));
}

TEST(WavWriter, PatchesTheRealSizeOverTheAnnouncedOne) {
    test::TempFolder temp;
    WavWriter wav;
    std::string error;
    const std::uint8_t pcm[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(wav.open(temp.file("a.wav"), 8000, 1, error, 1000000));
    ASSERT_TRUE(wav.write(pcm) && wav.write(pcm));
    ASSERT_TRUE(wav.finish(error)) << error;
    const std::string bytes = temp.read("a.wav");
    ASSERT_EQ(bytes.size(), 44u + 16);
    EXPECT_EQ(le32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 40), 16u);
    EXPECT_EQ(le32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 4), 52u);
}

TEST(WavWriter, TheWholeFileMatchesMakeWav16) {
    test::TempFolder temp;
    const std::uint8_t pcm[6] = {9, 8, 7, 6, 5, 4};
    ASSERT_TRUE(writeWav16(temp.file("b.wav"), 22050, 1, pcm));
    const auto whole = makeWav16(22050, 1, pcm);
    EXPECT_EQ(temp.read("b.wav"), std::string(whole.begin(), whole.end()));
}

}  // namespace
}  // namespace lv::audio
