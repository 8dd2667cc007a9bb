// The AVX2 row copy: unaligned loads, stores aligned to the target's cache
// lines. A store that straddles two lines costs about two, and a window row
// copied at a pushed offset starts anywhere, so rows of two lines or more
// are copied as the first 64 bytes, then every whole line of the target
// after them with aligned stores, then the last 64 bytes; the three overlap
// with the same values, so the two ranges must not overlap each other. Shorter rows take a turn of two unaligned vectors at
// a time and one vector ending at the last byte; fewer than 32 bytes go to
// memcpy.
#include "transition/row_copy.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

#include <cstring>

namespace lv {

namespace {

constexpr std::size_t kLine = 64;

__attribute__((target("avx2"))) inline __m256i load(const std::uint8_t* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}
__attribute__((target("avx2"))) inline void store(std::uint8_t* at, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v);
}

__attribute__((target("avx2"))) void copyShort(std::uint8_t* target, const std::uint8_t* source, std::size_t count) {
    if (count < 32) {
        rowCopyPlain(target, source, count);
        return;
    }
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m256i a = load(source + i), b = load(source + i + 32);
        store(target + i, a);
        store(target + i + 32, b);
    }
    if (i + 32 <= count) {
        store(target + i, load(source + i));
        i += 32;
    }
    if (i < count) store(target + count - 32, load(source + count - 32));
}

__attribute__((target("avx2"))) void copyAvx2(std::uint8_t* target, const std::uint8_t* source, std::size_t count) {
    if (count < 2 * kLine) {
        copyShort(target, source, count);
        return;
    }
    // Each vector is stored as soon as it is loaded: none is kept across
    // the loop (a value held in the upper half of a vector register for
    // long is what a thread switch under some hosts does not bring back).
    store(target, load(source));
    store(target + 32, load(source + 32));
    std::size_t i = (kLine - reinterpret_cast<std::uintptr_t>(target) % kLine) % kLine;
    for (; i + kLine <= count; i += kLine) {
        const __m256i a = load(source + i), b = load(source + i + 32);
        _mm256_store_si256(reinterpret_cast<__m256i*>(target + i), a);
        _mm256_store_si256(reinterpret_cast<__m256i*>(target + i + 32), b);
    }
    store(target + count - 64, load(source + count - 64));
    store(target + count - 32, load(source + count - 32));
}

}  // namespace

RowCopy rowCopyAvx2() { return copyAvx2; }

}  // namespace lv

#else

namespace lv {
RowCopy rowCopyAvx2() { return nullptr; }
}  // namespace lv

#endif
