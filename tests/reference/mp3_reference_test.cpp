// Layer III output against libmpg123 on real files: sounds the test makes
// with sox and lame (CBR 32 to 320 kbit/s, VBR, mono, stereo, joint and
// forced mid/side stereo, CRC, MPEG-2 at 16, 22.05 and 24 kHz, ID3 tags),
// the small committed test sounds, and the shared media when present. The
// difference, aligned for decoder delay, must have an RMS of at most 1 LSB.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "encoded_files.h"
#include "mpg123_reference.h"

namespace lv::audio {
namespace {

namespace fs = std::filesystem;

using reference::haveTool;
using reference::Workspace;

void expectMatchesMpg123(const std::string& path) { reference::expectMatchesMpg123(path, false); }

using reference::EncodedCase;

class LameEncoded : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(LameEncoded, MatchesMpg123WithinOneLsb) {
    if (!haveTool("sox") || !haveTool("lame")) GTEST_SKIP() << "sox or lame not installed";
    Workspace work(std::string("mp3-") + GetParam().name);
    const std::string mp3 = reference::encodeTestSound(work, "lame --quiet", GetParam(), "mp3");
    ASSERT_FALSE(mp3.empty());
    expectMatchesMpg123(mp3);
}

INSTANTIATE_TEST_SUITE_P(
    Layer3, LameEncoded,
    ::testing::Values(EncodedCase{"cbr32", 44100, 2, "-b 32 --resample 44.1"},
                      EncodedCase{"cbr64", 44100, 2, "-b 64 --resample 44.1"},
                      EncodedCase{"cbr128_joint", 44100, 2, "-b 128 -m j"},
                      EncodedCase{"cbr192_stereo", 44100, 2, "-b 192 -m s"},
                      EncodedCase{"cbr256", 44100, 2, "-b 256"},
                      EncodedCase{"cbr320", 44100, 2, "-b 320"},
                      EncodedCase{"vbr", 44100, 2, "-V 2"},
                      EncodedCase{"forced_mid_side", 44100, 2, "-b 160 -m f"},
                      EncodedCase{"mono", 44100, 1, "-b 96 -m m"},
                      EncodedCase{"crc", 44100, 2, "-b 128 -p"},
                      EncodedCase{"rate48000", 48000, 2, "-b 160"},
                      EncodedCase{"rate32000", 32000, 2, "-b 96"},
                      EncodedCase{"mpeg2_16000", 16000, 2, "-b 48"},
                      EncodedCase{"mpeg2_22050_joint", 22050, 2, "-b 64 -m j"},
                      EncodedCase{"mpeg2_22050_mono", 22050, 1, "-b 32 -m m"},
                      EncodedCase{"mpeg2_24000", 24000, 2, "-b 80 -m s"},
                      EncodedCase{"id3v2", 44100, 2, "-b 128 --add-id3v2 --tt Title --ta Artist"},
                      EncodedCase{"id3v1", 44100, 2, "-b 128 --id3v1-only --tt Title --ta Artist"}),
    [](const auto& info) { return std::string(info.param.name); });

class StoredSound : public ::testing::TestWithParam<const char*> {};

TEST_P(StoredSound, MatchesMpg123WithinOneLsb) {
    expectMatchesMpg123(std::string(LUMAVINE_SOURCE_DIR) + "/tests/data/audio/" + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Layer3, StoredSound,
                         ::testing::Values("joint_128k_44k.mp3", "mono_32k_22k.mp3", "mono_32k_44k.mp3"));

// The shared media sit beside a CI clone as ../shared (or where
// LUMAVINE_SHARED_DIR says); elsewhere these cases skip.
class SharedMedia : public ::testing::TestWithParam<const char*> {};

TEST_P(SharedMedia, MatchesMpg123WithinOneLsb) {
    const char* env = std::getenv("LUMAVINE_SHARED_DIR");
    const fs::path shared = env ? fs::path(env) : fs::path(LUMAVINE_SOURCE_DIR) / ".." / "shared";
    const fs::path file = shared / "media" / "audio" / GetParam();
    if (!fs::exists(file)) GTEST_SKIP() << file << " not present";
    expectMatchesMpg123(file.string());
}

INSTANTIATE_TEST_SUITE_P(Layer3, SharedMedia, ::testing::Values("music.mp3", "voice.mp3"));

}  // namespace
}  // namespace lv::audio
