// PGM/PPM reader, and the scaler on whatever it accepts: the input's last
// four bytes choose the destination size and the two methods.
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/bitmap_resize.h"
#include "render/pnm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    lv::BitmapPtr bitmap = lv::decodePnm({data, size}, "fuzz", error);
    if (!bitmap || size < 4 || static_cast<std::size_t>(bitmap->width) * bitmap->height > 1u << 20) return 0;
    const std::uint8_t* tail = data + size - 4;
    const int width = 1 + tail[0] % 64, height = 1 + tail[1] % 64;
    lv::scaleBitmap(*bitmap, width, height, tail[2] % 10, tail[3] % 10);
    lv::resizeBitmap(*bitmap, width, height);
    return 0;
}
