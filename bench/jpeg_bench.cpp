// JPEG codec against libjpeg-turbo (its SIMD build) in the same run: full
// size, 1/4 and 1/8 decode, and encode at quality 90, on the shared photos
// and on a 12-megapixel picture made from one of them. Prints megapixels per
// second of each and our speed as a ratio of theirs (above 1: we are faster).
#include <turbojpeg.h>

#include <algorithm>
#include <ctime>
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
    std::string name;
};

// Processor seconds per run of `work`, best of several rounds. Processor
// time rather than wall time: on a shared machine a run that loses the
// processor to another program is not counted as slow.
double timeIt(const std::function<void()>& work) {
    double best = 1e9, total = 0;
    for (int round = 0; round < 40 && (round < 5 || total < 0.15); ++round) {
        const std::clock_t start = std::clock();
        work();
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        best = std::min(best, seconds);
        total += seconds;
    }
    return std::max(best, 1e-6);
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

void report(const std::string& what, double pixels, double ours, double theirs) {
    std::printf("%-24s ours %7.1f MP/s   libjpeg-turbo %7.1f MP/s   ratio %.2f\n", what.c_str(), pixels / ours / 1e6,
                pixels / theirs / 1e6, theirs / ours);
}

// One picture: each case timed for ours and theirs back to back, so that the
// ratio is measured under the same machine load.
void benchPicture(const std::string& label, const Picture& p, tjhandle decoder, tjhandle encoder) {
    const double pixels = static_cast<double>(p.width) * p.height;
    for (const int scale : {1, 4, 8}) {
        const double ours = timeIt([&] { decodeOurs(p, scale); });
        const double theirs = timeIt([&] { decodeTheirs(decoder, p, scale); });
        report(label + (scale == 1 ? " full" : scale == 4 ? " 1/4" : " 1/8"), pixels, ours, theirs);
    }
    // Encode the full-size decode at quality 90, without subsampling for both.
    lv::codec::MemoryStream stream(p.jpeg);
    const lv::BitmapPtr b = lv::codec::decodeJpeg(stream, 0, 0);
    const double ours = timeIt([&] {
        lv::codec::MemoryStream out;
        if (lv::codec::encodeJpeg(out, *b, 90) != 0) std::abort();
    });
    const double theirs = timeIt([&] {
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(encoder, b->pixels(), b->width, b->stride, b->height, TJPF_BGR, &jpeg, &size, TJSAMP_444, 90,
                        TJFLAG_ACCURATEDCT) != 0)
            std::abort();
        tjFree(jpeg);
    });
    report(label + " encode q90", pixels, ours, theirs);
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
    Picture p{Bytes(jpeg, jpeg + size), w, h, ""};
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
        if (argc > 2 && entry.path().stem().string().find(argv[2]) == std::string::npos) continue;
        Picture p{readBytes(entry.path()), 0, 0, entry.path().stem().string()};
        int subsampling = 0, colourspace = 0;
        if (tjDecompressHeader3(decoder, p.jpeg.data(), p.jpeg.size(), &p.width, &p.height, &subsampling, &colourspace) == 0)
            photos.push_back(std::move(p));
    }
    std::sort(photos.begin(), photos.end(), [](const Picture& a, const Picture& b) { return a.name < b.name; });
    std::printf("kernels: %s\n", lv::codec::simdLevel() == lv::codec::SimdLevel::Avx2   ? "AVX2"
                                 : lv::codec::simdLevel() == lv::codec::SimdLevel::Sse2 ? "SSE2"
                                                                                        : "plain");
    std::printf("%zu shared photos\n", photos.size());
    for (const Picture& p : photos) benchPicture(p.name, p, decoder, encoder);
    if (!photos.empty()) benchPicture("12 MP", twelveMegapixels(decoder, encoder, photos.front()), decoder, encoder);
    tjDestroy(decoder);
    tjDestroy(encoder);
    return 0;
}
