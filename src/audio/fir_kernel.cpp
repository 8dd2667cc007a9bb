// The plain and SSE2 kernels of the rounded inner product. SSE2 has no
// 32-bit multiply, so the vector twin forms each 32-bit product from the low
// and high halves of the 16-bit multiply, then rounds and shifts every term
// before it joins the sum, exactly as the plain loop does.
#include "audio/fir_kernel.h"

namespace lv::audio {
namespace {

int32_t dotPlain(const int16_t* taps, const int16_t* x, int32_t count) {
    int32_t sum = 0;
    for (int32_t i = 0; i < count; ++i) sum += (taps[i] * x[i] + 8192) >> 14;
    return sum;
}

#ifdef LV_AUDIO_SSE2
__attribute__((target("sse2"))) int32_t dotSse2(const int16_t* taps, const int16_t* x, int32_t count) {
    const __m128i round = _mm_set1_epi32(8192);
    __m128i sums = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
        const __m128i low = _mm_mullo_epi16(a, b);
        const __m128i high = _mm_mulhi_epi16(a, b);
        const __m128i first = _mm_srai_epi32(_mm_add_epi32(_mm_unpacklo_epi16(low, high), round), 14);
        const __m128i second = _mm_srai_epi32(_mm_add_epi32(_mm_unpackhi_epi16(low, high), round), 14);
        sums = _mm_add_epi32(sums, _mm_add_epi32(first, second));
    }
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(1, 0, 3, 2)));
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(sums) + dotPlain(taps + i, x + i, count - i);
}
#endif

using DotKernel = int32_t (*)(const int16_t*, const int16_t*, int32_t);

KernelChoice<DotKernel>& dotKernel() {
#ifdef LV_AUDIO_SSE2
    static KernelChoice<DotKernel> choice(dotPlain, dotSse2);
#else
    static KernelChoice<DotKernel> choice(dotPlain, nullptr);
#endif
    return choice;
}

}  // namespace

int32_t roundedDotProduct(const int16_t* taps, const int16_t* x, int32_t count) {
    return dotKernel().get()(taps, x, count);
}

void limitFirKernels(KernelLevel level) { dotKernel().limit(level); }

}  // namespace lv::audio
