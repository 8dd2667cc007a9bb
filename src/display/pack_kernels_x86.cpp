// SSE2 and AVX2 forms of the 32-to-24-bit row packer; the rows' ends go
// through the plain form.
#include "display/pack_kernels.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include "display/pack_vectors_x86.h"

namespace lv {

namespace {

__attribute__((target("sse2"))) void packSse2(const std::uint32_t* pixels, std::int32_t count, std::uint8_t* out) {
    std::int32_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i* in = reinterpret_cast<const __m128i*>(pixels + i);
        pack_x86::store16Sse2(out + static_cast<std::size_t>(i) * 3, _mm_loadu_si128(in), _mm_loadu_si128(in + 1),
                              _mm_loadu_si128(in + 2), _mm_loadu_si128(in + 3));
    }
    packRow24Plain(pixels + i, count - i, out + static_cast<std::size_t>(i) * 3);
}

__attribute__((target("avx2"))) void packAvx2(const std::uint32_t* pixels, std::int32_t count, std::uint8_t* out) {
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        pack_x86::store8Avx2(out + static_cast<std::size_t>(i) * 3,
                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + i)));
    }
    packRow24Plain(pixels + i, count - i, out + static_cast<std::size_t>(i) * 3);
}

}  // namespace

PackRowKernel packRow24Sse2() { return packSse2; }
PackRowKernel packRow24Avx2() { return packAvx2; }

}  // namespace lv

#else

namespace lv {
PackRowKernel packRow24Sse2() { return nullptr; }
PackRowKernel packRow24Avx2() { return nullptr; }
}  // namespace lv

#endif
