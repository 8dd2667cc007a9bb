// Vector kernels written once over a small lane-operations trait `V`; the
// SSE2 and AVX2 files instantiate them under their own target options. The
// AVX2 variant carries two blocks (or two groups of pixels) in its two
// 128-bit halves, so every in-lane operation means the same as in SSE2.
// Included only by kernels_sse2.cpp and kernels_avx2.cpp, after their
// intrinsics headers and before their lane traits.

// The lane operations that both instruction sets spell alike, from the
// intrinsic prefix (_mm or _mm256) and the whole-register suffix (si128 or
// si256); each trait adds its loads and stores.
#define LV_CODEC_LANE_OPERATIONS(P, SI)                                                                  \
    static T set16(int v) { return P##_set1_epi16(static_cast<short>(v)); }                             \
    static T set32(int v) { return P##_set1_epi32(v); }                                                  \
    static T set64(long long v) { return P##_set1_epi64x(v); }                                           \
    static T pair(int first, int second) {                                                               \
        return P##_set1_epi32(static_cast<int>((static_cast<std::uint32_t>(second) << 16) |              \
                                               (static_cast<std::uint32_t>(first) & 0xFFFF)));           \
    }                                                                                                    \
    static T add16(T a, T b) { return P##_add_epi16(a, b); }                                             \
    static T sub16(T a, T b) { return P##_sub_epi16(a, b); }                                             \
    static T adds16(T a, T b) { return P##_adds_epi16(a, b); }                                           \
    static T mullo16(T a, T b) { return P##_mullo_epi16(a, b); }                                         \
    static T min16(T a, T b) { return P##_min_epi16(a, b); }                                             \
    static T max16(T a, T b) { return P##_max_epi16(a, b); }                                             \
    static T add32(T a, T b) { return P##_add_epi32(a, b); }                                             \
    static T sub32(T a, T b) { return P##_sub_epi32(a, b); }                                             \
    static T madd(T a, T b) { return P##_madd_epi16(a, b); }                                             \
    template <int S>                                                                                     \
    static T srai32(T a) { return P##_srai_epi32(a, S); }                                                \
    template <int S>                                                                                     \
    static T slli16(T a) { return P##_slli_epi16(a, S); }                                                \
    template <int S>                                                                                     \
    static T srli64(T a) { return P##_srli_epi64(a, S); }                                                \
    static T packs32(T a, T b) { return P##_packs_epi32(a, b); }                                         \
    static T and_(T a, T b) { return P##_and_##SI(a, b); }                                              \
    static T or_(T a, T b) { return P##_or_##SI(a, b); }                                                 \
    static T unpacklo16(T a, T b) { return P##_unpacklo_epi16(a, b); }                                   \
    static T unpackhi16(T a, T b) { return P##_unpackhi_epi16(a, b); }                                   \
    static T unpacklo32(T a, T b) { return P##_unpacklo_epi32(a, b); }                                   \
    static T unpackhi32(T a, T b) { return P##_unpackhi_epi32(a, b); }                                   \
    static T unpacklo64(T a, T b) { return P##_unpacklo_epi64(a, b); }                                   \
    static T unpackhi64(T a, T b) { return P##_unpackhi_epi64(a, b); }

// The codec's kernel entry points of one instruction set (kernels.h), named
// by its lane trait.
#define LV_CODEC_KERNEL_ENTRY_POINTS(V)                                                                     \
    void idctBlocks##V(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, \
                       int stride) {                                                                        \
        simd::Idct<simd::V>::run(coefs, quant, count, out, stride);                                          \
    }                                                                                                       \
    void yccToBgr##V(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out, \
                     int width) {                                                                           \
        simd::Colour<simd::V>::run<false>(y, cb, cr, out, width);                                           \
    }                                                                                                       \
    void yccHalfChromaToBgr##V(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr,          \
                               std::uint8_t* out, int width) {                                              \
        simd::Colour<simd::V>::run<true>(y, cb, cr, out, width);                                            \
    }

namespace lv::codec::simd {

template <class V>
struct Idct {
    using T = typename V::T;
    struct Wide {
        T lo, hi;
    };

    static Wide madd(T a, T b, T pair) {
        return {V::madd(V::unpacklo16(a, b), pair), V::madd(V::unpackhi16(a, b), pair)};
    }
    static Wide add(Wide a, Wide b) { return {V::add32(a.lo, b.lo), V::add32(a.hi, b.hi)}; }
    static Wide sub(Wide a, Wide b) { return {V::sub32(a.lo, b.lo), V::sub32(a.hi, b.hi)}; }

    template <int Shift>
    static T descale(Wide x) {
        const T round = V::set32(1 << (Shift - 1));
        return V::packs32(V::template srai32<Shift>(V::add32(x.lo, round)),
                          V::template srai32<Shift>(V::add32(x.hi, round)));
    }

    // One 1-D pass down the lanes: r[k] holds input k of every lane.
    template <int Shift>
    static void pass(T r[8]) {
        const Wide tmp3 = madd(r[2], r[6], V::pair(10703, 4433));
        const Wide tmp2 = madd(r[2], r[6], V::pair(4433, -10704));
        const Wide tmp0 = madd(r[0], r[4], V::pair(8192, 8192));
        const Wide tmp1 = madd(r[0], r[4], V::pair(8192, -8192));
        const Wide tmp10 = add(tmp0, tmp3), tmp13 = sub(tmp0, tmp3), tmp11 = add(tmp1, tmp2),
                   tmp12 = sub(tmp1, tmp2);

        const T t0 = r[7], t1 = r[5], t2 = r[3], t3 = r[1];
        const T a = V::add16(t0, t2), b = V::add16(t1, t3);
        const Wide z3 = madd(a, b, V::pair(-6436, 9633));
        const Wide z4 = madd(a, b, V::pair(9633, 6437));
        const Wide o0 = add(madd(t0, t3, V::pair(-4927, -7373)), z3);
        const Wide o3 = add(madd(t0, t3, V::pair(-7373, 4926)), z4);
        const Wide o1 = add(madd(t1, t2, V::pair(-4176, -20995)), z4);
        const Wide o2 = add(madd(t1, t2, V::pair(-20995, 4177)), z3);

        r[0] = descale<Shift>(add(tmp10, o3));
        r[7] = descale<Shift>(sub(tmp10, o3));
        r[1] = descale<Shift>(add(tmp11, o2));
        r[6] = descale<Shift>(sub(tmp11, o2));
        r[2] = descale<Shift>(add(tmp12, o1));
        r[5] = descale<Shift>(sub(tmp12, o1));
        r[3] = descale<Shift>(add(tmp13, o0));
        r[4] = descale<Shift>(sub(tmp13, o0));
    }

    static void transpose(T r[8]) {
        const T a0 = V::unpacklo16(r[0], r[1]), a1 = V::unpackhi16(r[0], r[1]);
        const T a2 = V::unpacklo16(r[2], r[3]), a3 = V::unpackhi16(r[2], r[3]);
        const T a4 = V::unpacklo16(r[4], r[5]), a5 = V::unpackhi16(r[4], r[5]);
        const T a6 = V::unpacklo16(r[6], r[7]), a7 = V::unpackhi16(r[6], r[7]);
        const T b0 = V::unpacklo32(a0, a2), b1 = V::unpackhi32(a0, a2);
        const T b2 = V::unpacklo32(a1, a3), b3 = V::unpackhi32(a1, a3);
        const T b4 = V::unpacklo32(a4, a6), b5 = V::unpackhi32(a4, a6);
        const T b6 = V::unpacklo32(a5, a7), b7 = V::unpackhi32(a5, a7);
        r[0] = V::unpacklo64(b0, b4);
        r[1] = V::unpackhi64(b0, b4);
        r[2] = V::unpacklo64(b1, b5);
        r[3] = V::unpackhi64(b1, b5);
        r[4] = V::unpacklo64(b2, b6);
        r[5] = V::unpackhi64(b2, b6);
        r[6] = V::unpacklo64(b3, b7);
        r[7] = V::unpackhi64(b3, b7);
    }

    // V::kBlocks adjacent blocks at once.
    static void blocks(const std::int16_t* coefs, const std::uint16_t* quant, std::uint8_t* out, int stride) {
        T r[8];
        for (int k = 0; k < 8; ++k) r[k] = V::mullo16(V::loadRows(coefs + 8 * k), V::loadQuant(quant + 8 * k));
        pass<11>(r);  // columns, keeping 2 extra bits
        transpose(r);
        pass<18>(r);  // rows
        transpose(r);
        const T bias = V::set16(128);
        for (int k = 0; k < 8; k += 2)
            V::storeRowPair(V::adds16(r[k], bias), V::adds16(r[k + 1], bias), out + k * stride, out + (k + 1) * stride);
    }

    static void run(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride) {
        int i = 0;
        for (; i + V::kBlocks <= count; i += V::kBlocks) blocks(coefs + 64 * i, quant, out + 8 * i, stride);
        if (i < count) idctBlocksPlain(coefs + 64 * i, quant, count - i, out + 8 * i, stride);
    }
};

template <class V>
struct Colour {
    using T = typename V::T;

    // (a, b) pairs times (first, second), shifted down by 14, back to 16 bits.
    static T mulPairs(T a, T b, T pair, T round) {
        const T lo = V::add32(V::madd(V::unpacklo16(a, b), pair), round);
        const T hi = V::add32(V::madd(V::unpackhi16(a, b), pair), round);
        return V::packs32(V::template srai32<14>(lo), V::template srai32<14>(hi));
    }

    static T clampByte(T v) { return V::min16(V::max16(v, V::set16(0)), V::set16(255)); }

    // HalfChroma: chroma rows of half the width, each sample read twice.
    template <bool HalfChroma>
    static T loadChroma(const std::uint8_t* row, int x) {
        if constexpr (HalfChroma)
            return V::loadBytesDoubled(row + x / 2);
        else
            return V::loadBytes(row + x);
    }

    template <bool HalfChroma>
    static void run(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                    int width) {
        constexpr int n = V::kPixels;
        const T centre = V::set16(128), one = V::set16(1), zero32 = V::set32(0), round = V::set32(8192);
        int x = 0;
        // Each group writes 2 bytes past its last pixel, so a group runs only
        // when at least one more pixel follows; the plain code ends the row.
        for (; x + n < width; x += n) {
            const T l = V::loadBytes(y + x);
            const T b = V::sub16(loadChroma<HalfChroma>(cb, x), centre);
            const T r = V::sub16(loadChroma<HalfChroma>(cr, x), centre);
            const T blue = clampByte(V::add16(l, mulPairs(b, one, V::pair(29032, 8192), zero32)));
            const T green = clampByte(V::add16(l, mulPairs(b, r, V::pair(-5638, -11700), round)));
            const T red = clampByte(V::add16(l, mulPairs(r, one, V::pair(22970, 8192), zero32)));
            const T blueGreen = V::or_(blue, V::template slli16<8>(green));
            V::storeBgr(V::unpacklo16(blueGreen, red), V::unpackhi16(blueGreen, red), out + 3 * x);
        }
        // n is even, so the rest starts on a whole chroma sample.
        if constexpr (HalfChroma)
            yccHalfChromaToBgrPlain(y + x, cb + x / 2, cr + x / 2, out + 3 * x, width - x);
        else
            yccToBgrPlain(y + x, cb + x, cr + x, out + 3 * x, width - x);
    }
};

// Squeezes two 32-bit blue-green-red-zero pixels of each 64-bit lane into 6
// bytes at the bottom of the lane.
template <class V>
typename V::T packPixelPairs(typename V::T p) {
    const typename V::T low = V::and_(p, V::set64(0xFFFFFF));
    const typename V::T high = V::and_(V::template srli64<8>(p), V::set64(0xFFFFFF000000));
    return V::or_(low, high);
}

}  // namespace lv::codec::simd
