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

// The terms of the outputs of a stepped run, one after another. Its own
// copies of the run's fields: the results' stores could otherwise alias
// them.
class Stepper {
public:
    Stepper(const FirSteps& s, const int16_t* x)
        : phases_(s.phases), x_(x), shift_(s.phaseShift), dt_(s.dt), index_(s.index), fraction_(s.fraction) {}
    [[gnu::always_inline]] DotTerms next() {
        constexpr int32_t fractionBits = 15, fractionMask = (1 << fractionBits) - 1;
        const FirPhase& p = phases_[fraction_ >> shift_];
        const DotTerms t{p.taps, x_ + index_ - p.left + 1, p.count, p.taps4};
        fraction_ += dt_;
        index_ += fraction_ >> fractionBits;
        fraction_ &= fractionMask;
        return t;
    }

private:
    const FirPhase* phases_;
    const int16_t* x_;
    int32_t shift_, dt_, index_, fraction_;
};

template <int32_t (*dot)(const int16_t*, const int16_t*, int32_t)>
[[gnu::always_inline]] inline void dotRun(const DotTerms* terms, int32_t n, int32_t* sums) {
    for (int32_t k = 0; k < n; ++k) sums[k] = dot(terms[k].taps, terms[k].x, terms[k].count);
}

template <int32_t (*dot)(const int16_t*, const int16_t*, int32_t)>
[[gnu::always_inline]] inline void dotSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    Stepper step(steps, x);
    for (int32_t k = 0; k < n; ++k) {
        const DotTerms t = step.next();
        sums[k] = dot(t.taps, t.x, t.count);
    }
}

void runPlain(const DotTerms* terms, int32_t n, int32_t* sums) { dotRun<dotPlain>(terms, n, sums); }
void stepsPlain(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    dotSteps<dotPlain>(steps, x, n, sums);
}
#ifdef LV_AUDIO_SSE2
__attribute__((target("sse2"))) void runSse2(const DotTerms* terms, int32_t n, int32_t* sums) {
    dotRun<dotSse2>(terms, n, sums);
}
__attribute__((target("sse2"))) void stepsSse2(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    dotSteps<dotSse2>(steps, x, n, sums);
}
#endif
#ifdef LV_AUDIO_AVX
// One inner product in the pairwise form (see pairSumsFit), left in eight
// lanes: whole products summed in pairs, less the r's, which are summed in
// 16-bit lanes for up to 4 steps (|r| ≤ 8192) and then widened; each lane
// then holds 16384 times its share of the rounded terms.
[[gnu::always_inline]] __attribute__((target("avx2"))) inline __m256i pairwiseLanes(const DotTerms& t) {
    const __m256i ones = _mm256_set1_epi16(1);
    __m256i lanes = _mm256_setzero_si256(), r = _mm256_setzero_si256();
    const auto step = [&](int32_t i) __attribute__((target("avx2"))) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.x + i));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.taps + i));
        const __m256i c4 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.taps4 + i));
        lanes = _mm256_add_epi32(lanes, _mm256_madd_epi16(c, x));
        r = _mm256_add_epi16(r, _mm256_srai_epi16(_mm256_mullo_epi16(c4, x), 2));
    };
    const auto widen = [&]() __attribute__((target("avx2"))) {
        lanes = _mm256_sub_epi32(lanes, _mm256_madd_epi16(r, ones));
        r = _mm256_setzero_si256();
    };
    if (t.count == 64) {  // the large filter's phases from 22050 Hz up: fully unrolled
        step(0);
        step(16);
        step(32);
        step(48);
        widen();
        return _mm256_srai_epi32(lanes, 14);
    }
    int32_t i = 0;
    for (; i + 64 <= t.count; i += 64) {
        step(i);
        step(i + 16);
        step(i + 32);
        step(i + 48);
        widen();
    }
    for (; i < t.count; i += 16) step(i);
    widen();
    return _mm256_srai_epi32(lanes, 14);
}

// The lane sums of eight inner products, in order.
__attribute__((target("avx2"))) inline __m256i sumLanes8(const __m256i* v) {
    const __m256i a = _mm256_hadd_epi32(_mm256_hadd_epi32(v[0], v[1]), _mm256_hadd_epi32(v[2], v[3]));
    const __m256i b = _mm256_hadd_epi32(_mm256_hadd_epi32(v[4], v[5]), _mm256_hadd_epi32(v[6], v[7]));
    return _mm256_add_epi32(_mm256_permute2x128_si256(a, b, 0x20), _mm256_permute2x128_si256(a, b, 0x31));
}

// An inner product in eight lanes: the pairwise form, or the per-term
// kernel's sum in lane 0 for terms without the pairwise weights.
[[gnu::always_inline]] __attribute__((target("avx2"))) inline __m256i lanesOf(const DotTerms& t) {
    return t.taps4 ? pairwiseLanes(t) : _mm256_setr_epi32(dotAvx2(t.taps, t.x, t.count), 0, 0, 0, 0, 0, 0, 0);
}

// Collects the lanes of inner products eight at a time, so that one
// horizontal sum serves eight of them.
class LaneGroups {
public:
    explicit LaneGroups(int32_t* sums) : sums_(sums) {}
    [[gnu::always_inline]] __attribute__((target("avx2"))) void add(const DotTerms& t) {
        lanes_[filled_++] = lanesOf(t);
        if (filled_ == 8) flush();
    }
    __attribute__((target("avx2"))) void flush() {
        if (filled_ == 0) return;
        for (int32_t j = filled_; j < 8; ++j) lanes_[j] = _mm256_setzero_si256();
        int32_t out[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), sumLanes8(lanes_));
        sums_ = std::copy(out, out + filled_, sums_);
        filled_ = 0;
    }

private:
    __m256i lanes_[8];
    int32_t filled_ = 0;
    int32_t* sums_;
};

__attribute__((target("avx2"))) void runAvx2(const DotTerms* terms, int32_t n, int32_t* sums) {
    LaneGroups groups(sums);
    for (int32_t k = 0; k < n; ++k) groups.add(terms[k]);
    groups.flush();
}

// Whole groups of eight with their lanes in registers, the rest collected.
__attribute__((target("avx2"))) void stepsAvx2(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    Stepper step(steps, x);
    int32_t k = 0;
    for (; k + 8 <= n; k += 8) {
        __m256i lanes[8];
#pragma GCC unroll 8
        for (int32_t j = 0; j < 8; ++j) lanes[j] = lanesOf(step.next());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + k), sumLanes8(lanes));
    }
    LaneGroups groups(sums + k);
    for (; k < n; ++k) groups.add(step.next());
    groups.flush();
}
#endif

struct Kernels {
    int32_t (*one)(const int16_t*, const int16_t*, int32_t);
    void (*run)(const DotTerms*, int32_t, int32_t*);
    void (*steps)(const FirSteps&, const int16_t*, int32_t, int32_t*);
};

constexpr Kernels plainKernels{dotPlain, runPlain, stepsPlain};
#ifdef LV_AUDIO_SSE2
constexpr Kernels sse2Kernels{dotSse2, runSse2, stepsSse2};
#endif
#ifdef LV_AUDIO_AVX
constexpr Kernels avx2Kernels{dotAvx2, runAvx2, stepsAvx2};
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

void roundedDotSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    dotKernel().get()->steps(steps, x, n, sums);
}

bool pairSumsFit(const int16_t* taps, int32_t count) {
    constexpr int32_t lanes = 8, step = 16;
    if (count % step != 0) return false;
    int64_t magnitude[lanes] = {};
    for (int32_t i = 0; i < count; ++i) magnitude[(i % step) / 2] += taps[i] < 0 ? -taps[i] : taps[i];
    return std::all_of(magnitude, magnitude + lanes, [](int64_t m) { return m <= 65535; });
}

void limitFirKernels(KernelLevel level) { dotKernel().limit(level); }

}  // namespace lv::audio
