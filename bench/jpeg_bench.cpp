// JPEG codec against libjpeg-turbo (its SIMD build) in the same run: full
// size, 1/4 and 1/8 decode, and encode at quality 90, on the shared photos
// and on a 12-megapixel picture made from one of them. Prints megapixels per
// second of each and our speed as a ratio of theirs (above 1: we are faster).
#include <turbojpeg.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "codec/simd.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Picture {
    Bytes jpeg;
    int width = 0, height = 0;
};

// Seconds per run of `work`, best of a few rounds.
double timeIt(const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void decodeOurs(const Picture& p, int scale) {
    lv::codec::MemoryStream stream(p.jpeg);
    lv::BitmapPtr b = scale == 1 ? lv::codec::decodeJpeg(stream, 0, 0)
                                 : lv::codec::decodeJpeg(stream, p.width / scale, p.height / scale);
    if (!b) std::abort();
}

// Like ours, each decode gets a fresh output picture.
void decodeTheirs(tjhandle handle, const Picture& p, int scale) {
    const int w = (p.width + scale - 1) / scale, h = (p.height + scale - 1) / scale;
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[static_cast<std::size_t>(w) * h * 3 + 3]);
    if (tjDecompress2(handle, p.jpeg.data(), p.jpeg.size(), out.get(), w, 3 * w, h, TJPF_BGR, TJFLAG_ACCURATEDCT) != 0)
        std::abort();
}

void report(const char* what, double pixels, double ours, double theirs) {
    std::printf("%-28s ours %8.1f MP/s   libjpeg-turbo %8.1f MP/s   ratio %.2f\n", what, pixels / ours / 1e6,
                pixels / theirs / 1e6, theirs / ours);
}

void benchSet(const char* label, const std::vector<Picture>& pictures, tjhandle decoder, tjhandle encoder) {
    double pixels = 0;
    for (const Picture& p : pictures) pixels += static_cast<double>(p.width) * p.height;
    for (const int scale : {1, 4, 8}) {
        const double ours = timeIt([&] {
            for (const Picture& p : pictures) decodeOurs(p, scale);
        });
        const double theirs = timeIt([&] {
            for (const Picture& p : pictures) decodeTheirs(decoder, p, scale);
        });
        const std::string what = std::string(label) + (scale == 1 ? " decode" : scale == 4 ? " decode 1/4" : " decode 1/8");
        report(what.c_str(), pixels, ours, theirs);
    }
    // Encode the full-size decodes at quality 90, without subsampling for both.
    std::vector<lv::BitmapPtr> bitmaps;
    for (const Picture& p : pictures) {
        lv::codec::MemoryStream stream(p.jpeg);
        bitmaps.push_back(lv::codec::decodeJpeg(stream, 0, 0));
    }
    const double ours = timeIt([&] {
        for (const auto& b : bitmaps) {
            lv::codec::MemoryStream out;
            if (lv::codec::encodeJpeg(out, *b, 90) != 0) std::abort();
        }
    });
    const double theirs = timeIt([&] {
        for (const auto& b : bitmaps) {
            unsigned char* jpeg = nullptr;
            unsigned long size = 0;
            if (tjCompress2(encoder, b->pixels(), b->width, b->stride, b->height, TJPF_BGR, &jpeg, &size, TJSAMP_444, 90,
                            TJFLAG_ACCURATEDCT) != 0)
                std::abort();
            tjFree(jpeg);
        }
    });
    report((std::string(label) + " encode q90").c_str(), pixels, ours, theirs);
}

// A 4000x3000 picture: one photo stretched by replication, encoded 4:2:0.
Picture twelveMegapixels(tjhandle decoder, tjhandle encoder, const Picture& source) {
    Bytes small(static_cast<std::size_t>(source.width) * source.height * 3);
    tjDecompress2(decoder, source.jpeg.data(), source.jpeg.size(), small.data(), source.width, 0, source.height,
                  TJPF_RGB, 0);
    const int w = 4000, h = 3000;
    Bytes big(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                big[(static_cast<std::size_t>(y) * w + x) * 3 + c] =
                    small[(static_cast<std::size_t>(y * source.height / h) * source.width + x * source.width / w) * 3 + c];
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, big.data(), w, 0, h, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
    Picture p{Bytes(jpeg, jpeg + size), w, h};
    tjFree(jpeg);
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(LUMAVINE_SOURCE_DIR) / "../shared/media/photos";
    if (!fs::is_directory(folder)) folder = fs::path(LUMAVINE_SOURCE_DIR) / "../../shared/media/photos";
    if (!fs::is_directory(folder)) {
        std::printf("no photo folder (give one as the argument)\n");
        return 0;
    }
    tjhandle decoder = tjInitDecompress(), encoder = tjInitCompress();
    std::vector<Picture> photos;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".jpg") continue;
        Picture p{readBytes(entry.path())};
        int subsampling = 0, colourspace = 0;
        if (tjDecompressHeader3(decoder, p.jpeg.data(), p.jpeg.size(), &p.width, &p.height, &subsampling, &colourspace) == 0)
            photos.push_back(std::move(p));
    }
    std::printf("kernels: %s\n", lv::codec::simdLevel() == lv::codec::SimdLevel::Avx2   ? "AVX2"
                                 : lv::codec::simdLevel() == lv::codec::SimdLevel::Sse2 ? "SSE2"
                                                                                        : "plain");
    std::printf("%zu shared photos\n", photos.size());
    benchSet("photos", photos, decoder, encoder);
    if (!photos.empty()) benchSet("12 MP", {twelveMegapixels(decoder, encoder, photos.front())}, decoder, encoder);
    tjDestroy(decoder);
    tjDestroy(encoder);
    return 0;
}
