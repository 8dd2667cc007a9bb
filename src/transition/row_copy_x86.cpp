// The AVX2 row copy: 64 bytes a turn in unaligned loads and stores; the last
// part is one vector ending at the last byte, overlapping bytes already
// copied with the same values. Fewer than 32 bytes go to memcpy.
#include "transition/row_copy.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

#include <cstring>

namespace lv {

namespace {

__attribute__((target("avx2"))) void copyAvx2(std::uint8_t* target, const std::uint8_t* source, std::size_t count) {
    if (count < 32) {
        rowCopyPlain(target, source, count);
        return;
    }
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + i), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + i + 32), b);
    }
    if (i + 32 <= count) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + i), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i)));
        i += 32;
    }
    if (i < count) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + count - 32),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + count - 32)));
    }
}

}  // namespace

RowCopy rowCopyAvx2() { return copyAvx2; }

}  // namespace lv

#else

namespace lv {
RowCopy rowCopyAvx2() { return nullptr; }
}  // namespace lv

#endif
