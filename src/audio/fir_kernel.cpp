// The plain and vector kernels of the rounded inner product. A 16-bit
// multiply gives each 32-bit product p as its signed high half h and its
// unsigned low half l, and (p + 8192) >> 14 = 4h + ((l + 8192) >> 14)
// exactly, because 65536h is a multiple of 16384. The vector twins sum the
// 4h part with a pairwise multiply-add and the rounded low part, a value of
// 0 to 4 per term, in 16-bit lanes; so every term is rounded on its own, as
// in the plain loop, without forming a 32-bit product.
#include "audio/fir_kernel.h"

#include <algorithm>
#include <cstdlib>

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

// ((sum >> 2) × lpScl + 4096) >> 13 in 32 bits: with sum >> 2 split at
// bit 13 into h and l, it is h × lpScl + ((l × lpScl + 4096) >> 13)
// exactly, and neither part leaves 32 bits (lpScl < 2^14).
[[gnu::always_inline]] inline void scaleLoop(const int32_t* sums, int32_t n, int32_t lpScl, int32_t* out) {
    for (int32_t k = 0; k < n; ++k) {
        const int32_t s = sums[k] >> 2, h = s >> 13, l = s & 8191;
        const int32_t v = std::clamp(h * lpScl + ((l * lpScl + 4096) >> 13), -32768, 32767);
        out[k] = static_cast<int32_t>(static_cast<uint32_t>(v) << 16);
    }
}

void scalePlain(const int32_t* sums, int32_t n, int32_t lpScl, int32_t* out) { scaleLoop(sums, n, lpScl, out); }

// The outputs of a stepped run, one after another: each one's phase (as
// the offset of its weights) and its first sample. Its own copies of the
// run's fields: the results' stores could otherwise alias them.
class Stepper {
public:
    struct Step {
        int32_t weights;
        const int16_t* x;
    };
    Stepper(const FirSteps& s, const int16_t* x)
        : x_(x - s.left + 1), shift_(s.phaseShift), count_(s.count), dt_(s.dt), index_(s.index), fraction_(s.fraction) {}
    [[gnu::always_inline]] Step next() {
        constexpr int32_t fractionBits = 15, fractionMask = (1 << fractionBits) - 1;
        const Step step{(fraction_ >> shift_) * count_, x_ + index_};
        fraction_ += dt_;
        index_ += fraction_ >> fractionBits;
        fraction_ &= fractionMask;
        return step;
    }

private:
    const int16_t* x_;
    int32_t shift_, count_, dt_, index_, fraction_;
};

template <int32_t (*dot)(const int16_t*, const int16_t*, int32_t)>
[[gnu::always_inline]] inline void dotRun(const DotTerms* terms, int32_t n, int32_t* sums) {
    for (int32_t k = 0; k < n; ++k) sums[k] = dot(terms[k].taps, terms[k].x, terms[k].count);
}

template <int32_t (*dot)(const int16_t*, const int16_t*, int32_t)>
[[gnu::always_inline]] inline void dotSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    Stepper step(steps, x);
    for (int32_t k = 0; k < n; ++k) {
        const Stepper::Step s = step.next();
        sums[k] = dot(steps.taps + s.weights, s.x, steps.count);
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
// One inner product in the split form (fir_kernel.h), left in eight lanes:
// the rounding multiplies of the fine parts summed in 16-bit lanes (they
// fit, as splitWeights checked) and widened in pairs, plus the coarse
// parts' whole products in the few groups that have them. `fixedCount`
// other than 0 unrolls the loop for that count.
__attribute__((target("avx2"))) inline __m256i load(const int16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

template <int32_t fixedCount>
[[gnu::always_inline]] __attribute__((target("avx2"))) inline __m256i splitLanes(const SplitWeights& w,
                                                                                const int16_t* x, int32_t count) {
    if constexpr (fixedCount > 0) count = fixedCount;
    __m256i fine = _mm256_setzero_si256();
#pragma GCC unroll 8
    for (int32_t i = 0; i < count; i += 16) fine = _mm256_add_epi16(fine, _mm256_mulhrs_epi16(load(x + i), load(w.fine + i)));
    __m256i lanes = _mm256_madd_epi16(fine, _mm256_set1_epi16(1));
    for (int32_t g = w.coarseBegin; g < w.coarseEnd; ++g)
        lanes = _mm256_add_epi32(lanes, _mm256_madd_epi16(load(x + 16 * g), load(w.coarse + 16 * g)));
    return lanes;
}

// The lane sums of eight inner products, in order.
__attribute__((target("avx2"))) inline __m256i sumLanes8(const __m256i* v) {
    const __m256i a = _mm256_hadd_epi32(_mm256_hadd_epi32(v[0], v[1]), _mm256_hadd_epi32(v[2], v[3]));
    const __m256i b = _mm256_hadd_epi32(_mm256_hadd_epi32(v[4], v[5]), _mm256_hadd_epi32(v[6], v[7]));
    return _mm256_add_epi32(_mm256_permute2x128_si256(a, b, 0x20), _mm256_permute2x128_si256(a, b, 0x31));
}

// An inner product in eight lanes: the split form, or the per-term
// kernel's sum in lane 0 for weights that are not split.
[[gnu::always_inline]] __attribute__((target("avx2"))) inline __m256i lanesOf(const DotTerms& t) {
    return t.split.fine ? splitLanes<0>(t.split, t.x, t.count)
                        : _mm256_setr_epi32(dotAvx2(t.taps, t.x, t.count), 0, 0, 0, 0, 0, 0, 0);
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

// Stepped outputs in the split form, eight at a time with their lanes in
// registers; the last few through a group of zeros.
template <int32_t fixedCount>
__attribute__((target("avx2"))) void splitSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    Stepper step(steps, x);
    const SplitWeights& split = steps.split;
    const auto lanesAt = [&](const Stepper::Step& s) __attribute__((target("avx2"))) {
        const SplitWeights w{split.fine + s.weights, split.coarse + s.weights, split.coarseBegin, split.coarseEnd};
        return splitLanes<fixedCount>(w, s.x, steps.count);
    };
    int32_t k = 0;
    for (; k + 8 <= n; k += 8) {
        __m256i lanes[8];
#pragma GCC unroll 8
        for (int32_t j = 0; j < 8; ++j) lanes[j] = lanesAt(step.next());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + k), sumLanes8(lanes));
    }
    if (k == n) return;
    __m256i lanes[8];
    for (int32_t j = 0; j < 8; ++j) lanes[j] = k + j < n ? lanesAt(step.next()) : _mm256_setzero_si256();
    int32_t out[8];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), sumLanes8(lanes));
    std::copy(out, out + (n - k), sums + k);
}

__attribute__((target("avx2"))) void splitStepsOf(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    if (steps.count == 64)  // the large filter's phases from 22050 Hz up
        splitSteps<64>(steps, x, n, sums);
    else
        splitSteps<0>(steps, x, n, sums);
}

// 16 × G input positions from xw (the first sample of the first one's
// window), every phase: 16 × G × P sums in output order. Each weight column
// loaded serves G sample vectors.
template <int32_t P, int32_t G>
__attribute__((target("avx2"))) void columnBlock(const FirColumns& c, int32_t count, const int16_t* xw, int32_t* out) {
    __m256i low[G][P], high[G][P];
    for (int32_t g = 0; g < G; ++g)
        for (int32_t p = 0; p < P; ++p) low[g][p] = high[g][p] = _mm256_setzero_si256();
    const auto widen = [](__m256i& lo, __m256i& hi, __m256i v) __attribute__((target("avx2"))) {
        lo = _mm256_add_epi32(lo, _mm256_cvtepi16_epi32(_mm256_castsi256_si128(v)));
        hi = _mm256_add_epi32(hi, _mm256_cvtepi16_epi32(_mm256_extracti128_si256(v, 1)));
    };
    const size_t phaseStride = static_cast<size_t>(count) * 16;
    int32_t t = 0;
    for (const int32_t end : c.segmentEnds) {
        __m256i fine[G][P];
        for (int32_t g = 0; g < G; ++g)
            for (int32_t p = 0; p < P; ++p) fine[g][p] = _mm256_setzero_si256();
#pragma GCC unroll 2
        for (; t < end; ++t) {
            __m256i v[G];
            for (int32_t g = 0; g < G; ++g) v[g] = load(xw + 16 * g + t);
            const int16_t* w = c.fine.data() + static_cast<size_t>(t) * 16;
            for (int32_t p = 0; p < P; ++p) {
                const __m256i column = load(w + p * phaseStride);
                for (int32_t g = 0; g < G; ++g) fine[g][p] = _mm256_add_epi16(fine[g][p], _mm256_mulhrs_epi16(v[g], column));
            }
        }
        for (int32_t g = 0; g < G; ++g)
            for (int32_t p = 0; p < P; ++p) widen(low[g][p], high[g][p], fine[g][p]);
    }
    for (int32_t p = 0; p < P; ++p) {
        for (const FirColumns::Coarse& k : c.coarse[static_cast<size_t>(p)]) {
            const __m256i m = _mm256_set1_epi32(k.value);
            for (int32_t g = 0; g < G; ++g) {
                const __m256i v = load(xw + 16 * g + k.tap);
                low[g][p] = _mm256_add_epi32(low[g][p], _mm256_mullo_epi32(_mm256_cvtepi16_epi32(_mm256_castsi256_si128(v)), m));
                high[g][p] = _mm256_add_epi32(high[g][p], _mm256_mullo_epi32(_mm256_cvtepi16_epi32(_mm256_extracti128_si256(v, 1)), m));
            }
        }
    }
    alignas(32) int32_t lanes[P][16];
    for (int32_t g = 0; g < G; ++g) {
        for (int32_t p = 0; p < P; ++p) {
            _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[p]), low[g][p]);
            _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[p] + 8), high[g][p]);
        }
        for (int32_t j = 0; j < 16; ++j)
            for (int32_t p = 0; p < P; ++p) out[(16 * g + j) * P + p] = lanes[p][j];
    }
}

// The run from output k on.
FirSteps advanced(const FirSteps& steps, int32_t k) {
    FirSteps s = steps;
    const int64_t at = int64_t{steps.fraction} + int64_t{k} * steps.dt;
    s.index += static_cast<int32_t>(at >> 15);
    s.fraction = static_cast<int32_t>(at & 0x7FFF);
    return s;
}

// Whole blocks of 16 or 32 positions through the columns, from the first
// output of phase 0 on; the outputs before it and after the last block one by one.
template <int32_t P>
__attribute__((target("avx2"))) void columnSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    const int32_t first = (P - (steps.fraction >> steps.phaseShift)) % P;
    int32_t k = std::min(first, n);
    if (k > 0) splitStepsOf(steps, x, k, sums);
    const FirSteps from = advanced(steps, k);
    const int16_t* xw = x + from.index - steps.left + 1;
    // Two sample vectors to a weight column where the registers hold both
    // groups' sums (two phases), one otherwise.
    constexpr int32_t G = P == 2 ? 2 : 1;
    for (; k + 16 * G * P <= n; k += 16 * G * P, xw += 16 * G) columnBlock<P, G>(*steps.columns, steps.count, xw, sums + k);
    if (G > 1)
        for (; k + 16 * P <= n; k += 16 * P, xw += 16) columnBlock<P, 1>(*steps.columns, steps.count, xw, sums + k);
    if (k < n) splitStepsOf(advanced(steps, k), x, n - k, sums + k);
}

__attribute__((target("avx2"))) void scaleAvx2(const int32_t* sums, int32_t n, int32_t lpScl, int32_t* out) {
    scaleLoop(sums, n, lpScl, out);
}

__attribute__((target("avx2"))) void stepsAvx2(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums) {
    if (!steps.split.fine)
        dotSteps<dotAvx2>(steps, x, n, sums);
    else if (steps.columns && steps.columns->phases == 2)
        columnSteps<2>(steps, x, n, sums);
    else if (steps.columns && steps.columns->phases == 4)
        columnSteps<4>(steps, x, n, sums);
    else
        splitStepsOf(steps, x, n, sums);
}
#endif

struct Kernels {
    int32_t (*one)(const int16_t*, const int16_t*, int32_t);
    void (*run)(const DotTerms*, int32_t, int32_t*);
    void (*steps)(const FirSteps&, const int16_t*, int32_t, int32_t*);
    void (*scale)(const int32_t*, int32_t, int32_t, int32_t*);
};

constexpr Kernels plainKernels{dotPlain, runPlain, stepsPlain, scalePlain};
#ifdef LV_AUDIO_SSE2
constexpr Kernels sse2Kernels{dotSse2, runSse2, stepsSse2, scalePlain};
#endif
#ifdef LV_AUDIO_AVX
constexpr Kernels avx2Kernels{dotAvx2, runAvx2, stepsAvx2, scaleAvx2};
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

void scaleFilterSums(const int32_t* sums, int32_t n, int32_t lpScl, int32_t* out) {
    dotKernel().get()->scale(sums, n, lpScl, out);
}

SplitForm splitWeights(const int16_t* taps, int32_t count, int16_t* fine, int16_t* coarse) {
    constexpr int32_t lanes = 16;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t whole = (taps[i] + 8192) >> 14;  // nearest: -2 to 2
        coarse[i] = static_cast<int16_t>(whole);
        fine[i] = static_cast<int16_t>(2 * (taps[i] - 16384 * whole));
    }
    SplitForm form;
    if (count % lanes != 0) return form;
    int64_t magnitude[lanes] = {};
    for (int32_t g = 0; g < count; g += lanes)
        for (int32_t j = 0; j < lanes; ++j) magnitude[j] += std::abs(fine[g + j]);
    form.fits = std::all_of(magnitude, magnitude + lanes, [](int64_t m) { return m <= 32767; });
    int32_t first = 0, last = count;
    while (first < count && coarse[first] == 0) ++first;
    while (last > first && coarse[last - 1] == 0) --last;
    if (first < last) form = {form.fits, first / lanes, (last - 1) / lanes + 1};
    return form;
}

SplitForm splitPhases(const int16_t* taps, int32_t phases, int32_t count, int16_t* fine, int16_t* coarse) {
    SplitForm all{true, 0, 0};
    for (int32_t p = 0; p < phases; ++p) {
        const size_t at = static_cast<size_t>(p) * static_cast<size_t>(count);
        const SplitForm form = splitWeights(taps + at, count, fine + at, coarse + at);
        all.fits = all.fits && form.fits;
        if (form.coarseBegin == form.coarseEnd) continue;
        const bool first = all.coarseBegin == all.coarseEnd;
        all.coarseBegin = first ? form.coarseBegin : std::min(all.coarseBegin, form.coarseBegin);
        all.coarseEnd = first ? form.coarseEnd : std::max(all.coarseEnd, form.coarseEnd);
    }
    return all;
}

std::unique_ptr<FirColumns> firColumns(const FirSteps& steps) {
    const int32_t phases = steps.dt > 0 ? 32768 / steps.dt : 0;
    if (!steps.split.fine || (phases != 2 && phases != 4) || phases * steps.dt != 32768) return nullptr;
    auto c = std::make_unique<FirColumns>();
    c->phases = phases;
    const auto count = static_cast<size_t>(steps.count);
    const size_t total = static_cast<size_t>(phases) * count * 16;
    c->fine.resize(total);  // on a page, so every column is 32-byte aligned
    int16_t* at = c->fine.data();
    c->coarse.resize(static_cast<size_t>(phases));
    std::vector<int32_t> magnitude(static_cast<size_t>(phases), 0);
    for (size_t t = 0; t < count; ++t) {
        bool widen = false;
        for (size_t p = 0; p < static_cast<size_t>(phases); ++p) {
            const size_t weight = p * count + t;
            const int16_t fine = steps.split.fine[weight];
            std::fill_n(at + weight * 16, 16, fine);
            if (const int16_t coarse = steps.split.coarse[weight]; coarse != 0)
                c->coarse[p].push_back({static_cast<int32_t>(t), coarse});
            widen = widen || magnitude[p] + std::abs(fine) > 32767;
        }
        if (widen) {
            c->segmentEnds.push_back(static_cast<int32_t>(t));
            std::fill(magnitude.begin(), magnitude.end(), 0);
        }
        for (size_t p = 0; p < static_cast<size_t>(phases); ++p) magnitude[p] += std::abs(steps.split.fine[p * count + t]);
    }
    c->segmentEnds.push_back(steps.count);
    return c;
}

void limitFirKernels(KernelLevel level) { dotKernel().limit(level); }

}  // namespace lv::audio
