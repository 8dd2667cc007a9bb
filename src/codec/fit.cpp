#include "codec/fit.h"

#include <cstdint>

namespace lv {

namespace {

// ((a * 65536 + b / 2) / b * c + 32768) / 65536, in 64 bits so that no side
// up to 65535 overflows.
int scaleSide(int a, int b, int c) {
    const std::int64_t ratio = (std::int64_t{a} * 65536 + b / 2) / b;
    return static_cast<int>((ratio * c + 32768) / 65536);
}

}  // namespace

PictureSize fitSize(PictureSize source, PictureSize box) {
    if (source.width < 1 || source.height < 1) return {0, 0};
    const int heightForWidth = scaleSide(box.width, source.width, source.height);
    if (heightForWidth <= box.height) return {box.width, heightForWidth};
    return {scaleSide(box.height, source.height, source.width), box.height};
}

}  // namespace lv
