#include "render/pixel_order.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace lv {

void swapRedAndBlue(const std::uint8_t* in, std::uint8_t* out, int pixels) {
    const std::size_t bytes = pixels > 0 ? static_cast<std::size_t>(pixels) * 3 : 0;
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Two pixels a step in a 64-bit word, bytes 0..7 = B0 G0 R0 B1 G1 R1
        // and two of the next pixel: the greens and those two stay, bytes 2
        // and 5 move down two places, bytes 0 and 3 up two. The next pixel's
        // bytes go back unchanged, so the step can run in place.
        constexpr std::uint64_t stay = 0xFFFF'00FF'0000'FF00ull;
        constexpr std::uint64_t down = 0x0000'0000'FF00'00FFull;
        constexpr std::uint64_t up = 0x0000'FF00'00FF'0000ull;
        for (; i + 8 <= bytes; i += 6) {
            std::uint64_t x;
            std::memcpy(&x, in + i, sizeof x);
            x = (x & stay) | ((x >> 16) & down) | ((x << 16) & up);
            std::memcpy(out + i, &x, sizeof x);
        }
    }
    for (; i < bytes; i += 3) {
        const std::uint8_t first = in[i];
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = first;
    }
}

}  // namespace lv
