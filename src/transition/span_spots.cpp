// Shared arithmetic of the span-mask builders.
#include "transition/span_builders.h"

namespace lv::spans {

std::int32_t bitsFor(std::int32_t n) {
    std::int32_t bits = 1;
    while (bits < 31 && (std::int64_t{1} << bits) < n) ++bits;
    return bits;
}

}  // namespace lv::spans
