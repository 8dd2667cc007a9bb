// Drawing timings (no reference library draws these the same way): a banded
// rectangle through a mask, blurs of an 8-bit mask, and the 8-bit conversion
// of a photograph-sized picture, each in megapixels per second.
#include <chrono>
#include <cstdio>
#include <functional>

#include "render/bitmap.h"
#include "render/depth_conversion.h"
#include "render/image_ops.h"
#include "render/paint.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// Best of a few runs, in seconds.
double best(const std::function<void()>& work, int runs = 3) {
    double fastest = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return fastest;
}

lv::BitmapPtr pattern(int depth) {
    lv::BitmapPtr b = lv::createBitmap("bench", kWidth, kHeight, depth);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < b->stride; ++x) b->rows[y][x] = static_cast<std::uint8_t>((x * 7 + y * 13) ^ (x >> 3));
    return b;
}

void report(const char* what, double seconds) {
    std::printf("%-44s %8.1f ms %8.1f Mpx/s\n", what, seconds * 1e3, kWidth * kHeight / seconds / 1e6);
}

}  // namespace

int main() {
    lv::BitmapPtr target = pattern(24);
    lv::BitmapPtr mask = pattern(8);
    lv::Paint inside;
    inside.colour = 0x3060C0;
    inside.opacity = 200;
    inside.mask = mask.get();
    lv::Paint outside;
    outside.colour = 0x102030;
    outside.opacity = 255;
    const lv::Shape shape{100, 100, kWidth - 100, kHeight - 100, lv::ShapeKind::Rectangle, 40};
    report("rect with band and mask, 1920x1080 24-bit",
           best([&] { lv::paintShape(*target, shape, inside, outside); }));
    report("blur radius 3, 1920x1080 8-bit", best([&] { lv::blurBitmap(*mask, 3); }, 1));
    report("blur radius 8, 1920x1080 8-bit", best([&] { lv::blurBitmap(*mask, 8); }, 1));
    report("8-bit conversion, 1920x1080", best([&] { lv::convertTo8(*target); }));
    return 0;
}
