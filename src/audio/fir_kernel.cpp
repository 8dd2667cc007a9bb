// The plain and vector kernels of the rounded inner product. A 16-bit
// multiply gives each 32-bit product p as its signed high half h and its
// unsigned low half l, and (p + 8192) >> 14 = 4h + ((l + 8192) >> 14)
// exactly, because 65536h is a multiple of 16384. The vector twins sum the
// 4h part with a pairwise multiply-add and the rounded low part, a value of
// 0 to 4 per term, in 16-bit lanes; so every term is rounded on its own, as
// in the plain loop, without forming a 32-bit product.
#include "audio/fir_kernel.h"

#include <algorithm>

namespace lv::audio {
namespace {

int32_t dotPlain(const int16_t* taps, const int16_t* x, int32_t count) {
    int32_t sum = 0;
    for (int32_t i = 0; i < count; ++i) sum += (taps[i] * x[i] + 8192) >> 14;
    return sum;
}

// The rounded low parts are summed in 16-bit lanes for at most this many
// steps (4 per step stays far below 32767), then widened.
constexpr int32_t laneSteps = 4096;

#ifdef LV_AUDIO_SSE2
__attribute__((target("sse2"))) int32_t dotSse2(const int16_t* taps, const int16_t* x, int32_t count) {
    const __m128i four = _mm_set1_epi16(4), one = _mm_set1_epi16(1), half = _mm_set1_epi16(8191);
    __m128i sums = _mm_setzero_si128();
    int32_t i = 0;
    while (i + 8 <= count) {
        __m128i low = _mm_setzero_si128();
        for (const int32_t end = i + 8 * std::min(laneSteps, (count - i) / 8); i < end; i += 8) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
            // avg(l, 8191) = (l + 8192) >> 1 without leaving 16 bits.
            low = _mm_add_epi16(low, _mm_srli_epi16(_mm_avg_epu16(_mm_mullo_epi16(a, b), half), 13));
            sums = _mm_add_epi32(sums, _mm_madd_epi16(_mm_mulhi_epi16(a, b), four));
        }
        sums = _mm_add_epi32(sums, _mm_madd_epi16(low, one));
    }
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(1, 0, 3, 2)));
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(sums) + dotPlain(taps + i, x + i, count - i);
}
#endif

#ifdef LV_AUDIO_AVX
__attribute__((target("avx2"))) int32_t dotAvx2(const int16_t* taps, const int16_t* x, int32_t count) {
    const __m256i four = _mm256_set1_epi16(4), one = _mm256_set1_epi16(1), half = _mm256_set1_epi16(8191);
    __m256i sums = _mm256_setzero_si256();
    int32_t i = 0;
    while (i + 16 <= count) {
        __m256i low = _mm256_setzero_si256();
        for (const int32_t end = i + 16 * std::min(laneSteps, (count - i) / 16); i < end; i += 16) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
            low = _mm256_add_epi16(low, _mm256_srli_epi16(_mm256_avg_epu16(_mm256_mullo_epi16(a, b), half), 13));
            sums = _mm256_add_epi32(sums, _mm256_madd_epi16(_mm256_mulhi_epi16(a, b), four));
        }
        sums = _mm256_add_epi32(sums, _mm256_madd_epi16(low, one));
    }
    __m128i s = _mm_add_epi32(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, _MM_SHUFFLE(1, 0, 3, 2)));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, _MM_SHUFFLE(2, 3, 0, 1)));
    const int32_t sum = _mm_cvtsi128_si32(s);
    return i < count ? sum + dotSse2(taps + i, x + i, count - i) : sum;
}
#endif

template <int32_t (*dot)(const int16_t*, const int16_t*, int32_t)>
[[gnu::always_inline]] inline void dotRun(const DotTerms* terms, int32_t n, int32_t* sums) {
    for (int32_t k = 0; k < n; ++k) sums[k] = dot(terms[k].taps, terms[k].x, terms[k].count);
}

void runPlain(const DotTerms* terms, int32_t n, int32_t* sums) { dotRun<dotPlain>(terms, n, sums); }
#ifdef LV_AUDIO_SSE2
__attribute__((target("sse2"))) void runSse2(const DotTerms* terms, int32_t n, int32_t* sums) {
    dotRun<dotSse2>(terms, n, sums);
}
#endif
#ifdef LV_AUDIO_AVX
__attribute__((target("avx2"))) void runAvx2(const DotTerms* terms, int32_t n, int32_t* sums) {
    dotRun<dotAvx2>(terms, n, sums);
}
#endif

struct Kernels {
    int32_t (*one)(const int16_t*, const int16_t*, int32_t);
    void (*run)(const DotTerms*, int32_t, int32_t*);
};

constexpr Kernels plainKernels{dotPlain, runPlain};
#ifdef LV_AUDIO_SSE2
constexpr Kernels sse2Kernels{dotSse2, runSse2};
#endif
#ifdef LV_AUDIO_AVX
constexpr Kernels avx2Kernels{dotAvx2, runAvx2};
#endif

KernelChoice<const Kernels*>& dotKernel() {
#if defined(LV_AUDIO_AVX)
    static KernelChoice<const Kernels*> choice(&plainKernels, &sse2Kernels,
                                               processorHasAvx2() ? &avx2Kernels : nullptr);
#elif defined(LV_AUDIO_SSE2)
    static KernelChoice<const Kernels*> choice(&plainKernels, &sse2Kernels);
#else
    static KernelChoice<const Kernels*> choice(&plainKernels, nullptr);
#endif
    return choice;
}

}  // namespace

int32_t roundedDotProduct(const int16_t* taps, const int16_t* x, int32_t count) {
    return dotKernel().get()->one(taps, x, count);
}

void roundedDotProducts(const DotTerms* terms, int32_t n, int32_t* sums) { dotKernel().get()->run(terms, n, sums); }

void limitFirKernels(KernelLevel level) { dotKernel().limit(level); }

}  // namespace lv::audio
