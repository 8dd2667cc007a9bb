// Our JPEG codec against libjpeg-turbo on real photographs: the shared photos
// (skipped when the media folder is absent) and forms of one photo made with
// cjpeg (skipped without cjpeg). Full size: PSNR at least 45 dB against the
// accurate integer IDCT with replicated chroma; 1/4 and 1/8: at least 32 dB
// against its scaled output; our quality-90 files read by libjpeg-turbo: at
// least 38 dB against the picture encoded.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/image_compare.h"
#include "shell/unique_folder.h"
#include "render/pnm.h"

namespace lv::test {
namespace {

std::string pnmError;  // why a PNM file did not load, for the failure message

namespace fs = std::filesystem;

fs::path mediaFolder() {
    if (const char* env = std::getenv("LUMAVINE_MEDIA")) return env;
    for (const char* candidate : {"/../shared/media", "/../../shared/media"}) {
        const fs::path p = std::string(LUMAVINE_SOURCE_DIR) + candidate;
        if (fs::is_directory(p)) return p;
    }
    return {};
}

std::vector<std::string> photos() {
    std::vector<std::string> files;
    const fs::path folder = mediaFolder() / "photos";
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".jpg") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// libjpeg-turbo's decode at the size we produce, in our pixel layout.
BitmapPtr referenceDecode(const std::vector<std::uint8_t>& jpeg, int width, int height, int depth) {
    tjhandle handle = tjInitDecompress();
    BitmapPtr bitmap = createBitmap("reference", width, height, depth);
    const int status = tjDecompress2(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), bitmap->pixels(),
                                     width, bitmap->stride, height, depth == 8 ? TJPF_GRAY : TJPF_BGR,
                                     TJFLAG_ACCURATEDCT | TJFLAG_FASTUPSAMPLE);
    tjDestroy(handle);
    return status == 0 ? std::move(bitmap) : nullptr;
}

class ReferenceComparison : public ::testing::Test {
protected:
    void expectMatches(const std::string& label, const std::vector<std::uint8_t>& jpeg) {
        const BitmapPtr full = decodeBytes(jpeg);
        ASSERT_TRUE(full) << label;
        const BitmapPtr theirs = referenceDecode(jpeg, full->width, full->height, full->depth);
        ASSERT_TRUE(theirs) << label;
        EXPECT_GE(psnr(*full, *theirs), 45.0) << label;
        for (const int scale : {4, 8}) {
            // A box of exactly 1/scale of the picture fits at that scale.
            const BitmapPtr reduced = decodeBytes(jpeg, full->width / scale, full->height / scale);
            ASSERT_TRUE(reduced) << label;
            EXPECT_EQ(reduced->width, (full->width + scale - 1) / scale) << label;
            const BitmapPtr reducedTheirs = referenceDecode(jpeg, reduced->width, reduced->height, reduced->depth);
            ASSERT_TRUE(reducedTheirs) << label;
            EXPECT_GE(psnr(*reduced, *reducedTheirs), 32.0) << label << " at 1/" << scale;
        }
    }

    void expectRoundTrip(const std::string& label, const Bitmap& picture) {
        const std::vector<std::uint8_t> ours = encodeToBytes(picture, 90);
        ASSERT_FALSE(ours.empty()) << label;
        const BitmapPtr theirs = referenceDecode(ours, picture.width, picture.height, picture.depth);
        ASSERT_TRUE(theirs) << label << ": libjpeg-turbo cannot read our file";
        EXPECT_GE(psnr(picture, *theirs), 38.0) << label;
    }
};

TEST_F(ReferenceComparison, SharedPhotosDecodeAndRoundTripLikeLibjpegTurbo) {
    const auto files = photos();
    if (files.empty()) GTEST_SKIP() << "no shared media folder";
    for (const std::string& file : files) {
        expectMatches(file, readBytes(file));
        const BitmapPtr picture = decodeBytes(readBytes(file));
        ASSERT_TRUE(picture) << file;
        expectRoundTrip(file, *picture);
    }
}

TEST_F(ReferenceComparison, GreyRoundTripThroughLibjpegTurbo) {
    const BitmapPtr grey = loadPnm(jpegDataPath("grey.pgm"), pnmError);
    ASSERT_TRUE(grey);
    expectRoundTrip("grey", *grey);
}

// Every sampling, progressive, restart and grey form that cjpeg makes.
TEST_F(ReferenceComparison, CjpegFormsDecodeLikeLibjpegTurbo) {
    const auto files = photos();
    if (files.empty() || std::system("cjpeg -version </dev/null >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no shared media folder or no cjpeg";
    const fs::path folder = lv::test::makeUniqueFolder("lumavine-jpeg");
    ASSERT_FALSE(folder.empty());
    const BitmapPtr picture = decodeBytes(readBytes(files.front()));
    ASSERT_TRUE(picture && savePnm(*picture, (folder / "source.ppm").string(), pnmError));
    const char* forms[] = {"-sample 1x1",  "-sample 2x1", "-sample 1x2",        "-sample 2x2",
                           "-sample 4x1",  "-sample 1x4", "-sample 4x2",        "-sample 2x4 -restart 2",
                           "-sample 3x1",  "-progressive", "-progressive -sample 1x1", "-progressive -restart 5B",
                           "-grayscale",  "-grayscale -progressive", "-rgb", "-optimize -restart 1B"};
    for (const char* form : forms) {
        const fs::path out = folder / "form.jpg";
        const std::string command = std::string("cjpeg -quality 88 ") + form + " -outfile " + out.string() + " " +
                                    (folder / "source.ppm").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        expectMatches(form, readBytes(out.string()));
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace lv::test
