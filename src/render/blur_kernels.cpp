#include "render/blur_kernels.h"

#include "display/cpu_features.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#define LV_HAVE_SSE2_KERNELS 1
#endif

namespace lv {

void accumulateRowPlain(std::int32_t* sums, const std::uint8_t* bytes, int count, int weight) {
    for (int i = 0; i < count; ++i) sums[i] += weight * bytes[i];
}

void maxRowPlain(std::uint8_t* largest, const std::uint8_t* bytes, int count) {
    for (int i = 0; i < count; ++i)
        if (bytes[i] > largest[i]) largest[i] = bytes[i];
}

#if LV_HAVE_SSE2_KERNELS
namespace {

__attribute__((target("sse2"))) void maxRowSse2Impl(std::uint8_t* largest, const std::uint8_t* bytes, int count) {
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        __m128i* out = reinterpret_cast<__m128i*>(largest + i);
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        _mm_storeu_si128(out, _mm_max_epu8(_mm_loadu_si128(out), v));
    }
    maxRowPlain(largest + i, bytes + i, count - i);
}

// Sixteen bytes at a time: widened to 16 bits, multiplied (a product of two
// bytes fits 16 bits unsigned), widened to 32 bits and added.
__attribute__((target("sse2"))) void accumulateRowSse2Impl(std::int32_t* sums, const std::uint8_t* bytes, int count,
                                                            int weight) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = _mm_set1_epi16(static_cast<short>(weight));
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i low = _mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), w);
        const __m128i high = _mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), w);
        __m128i* out = reinterpret_cast<__m128i*>(sums + i);
        _mm_storeu_si128(out + 0, _mm_add_epi32(_mm_loadu_si128(out + 0), _mm_unpacklo_epi16(low, zero)));
        _mm_storeu_si128(out + 1, _mm_add_epi32(_mm_loadu_si128(out + 1), _mm_unpackhi_epi16(low, zero)));
        _mm_storeu_si128(out + 2, _mm_add_epi32(_mm_loadu_si128(out + 2), _mm_unpacklo_epi16(high, zero)));
        _mm_storeu_si128(out + 3, _mm_add_epi32(_mm_loadu_si128(out + 3), _mm_unpackhi_epi16(high, zero)));
    }
    accumulateRowPlain(sums + i, bytes + i, count - i, weight);
}

}  // namespace

AccumulateRow accumulateRowSse2() { return accumulateRowSse2Impl; }
MaxRow maxRowSse2() { return maxRowSse2Impl; }
#else
AccumulateRow accumulateRowSse2() { return nullptr; }
MaxRow maxRowSse2() { return nullptr; }
#endif

AccumulateRow bestAccumulateRow() {
    static const AccumulateRow best = [] {
        const AccumulateRow sse2 = accumulateRowSse2();
        return sse2 && processorRecord().sse2() ? sse2 : accumulateRowPlain;
    }();
    return best;
}

}  // namespace lv

namespace lv {

MaxRow bestMaxRow() {
    static const MaxRow best = [] {
        const MaxRow sse2 = maxRowSse2();
        return sse2 && processorRecord().sse2() ? sse2 : maxRowPlain;
    }();
    return best;
}

}  // namespace lv
