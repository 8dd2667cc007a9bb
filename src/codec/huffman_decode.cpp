#include "codec/huffman_decode.h"

#include <algorithm>

namespace lv::codec {

void HuffmanDecoder::build(const std::uint8_t counts[16], const std::uint8_t* values) {
    int total = 0;
    for (int i = 0; i < 16; ++i) total += counts[i];
    if (total > 256) fail("a Huffman table has more than 256 codes");
    std::fill(std::begin(lookup_), std::end(lookup_), std::uint16_t{0});
    std::copy(values, values + total, values_);

    // Canonical codes (T.81 C.2): consecutive within a length, doubled
    // between lengths. A length that overflows its bits, or uses the code of
    // all ones, makes the table invalid.
    int code = 0, index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int n = counts[length - 1];
        if (code + n >= (1 << length)) fail("a Huffman table has codes that do not fit their lengths");
        valueOffset_[length] = index - code;
        for (int i = 0; i < n; ++i, ++code, ++index) {
            if (length <= kLookupBits) {
                const int shift = kLookupBits - length;
                const auto entry = static_cast<std::uint16_t>(length << 8 | values_[index]);
                std::fill(lookup_ + (code << shift), lookup_ + ((code + 1) << shift), entry);
            }
        }
        maxCode_[length] = n ? code - 1 : -1;
        code <<= 1;
    }
    defined_ = true;
    buildAcTables();
}

void HuffmanDecoder::buildAcTables() {
    constexpr int kWindow = (1 << kLookupBits) - 1;
    // Bits of a code with its value, and positions moved: every code but an
    // end of block moves past its run and one more coefficient (the run of
    // 16 zeros, 0xF0, is run 15 plus one zero). 0 bits: not in the window.
    const auto step = [this](int look, int available, int& advance) {
        const int length = lookup_[look] >> 8, symbol = lookup_[look] & 0xFF;
        const int run = symbol >> 4, size = symbol & 15;
        if (length == 0 || length + size > available) return 0;
        advance = size == 0 && run != 15 ? 64 : run + 1;
        return length + size;
    };
    for (int look = 0; look <= kWindow; ++look) {
        fastAc_[look] = 0;
        skipAc_[look] = 0;
        const int length = lookup_[look] >> 8, symbol = lookup_[look] & 0xFF;
        if (length == 0) continue;
        const int run = symbol >> 4, size = symbol & 15;
        int advance = 0;
        const int first = step(look, kLookupBits, advance);
        if (first == 0) continue;
        int secondAdvance = 0;
        const int second = advance < 64 ? step((look << first) & kWindow, kLookupBits - first, secondAdvance) : 0;
        const int pairBits = first + second, pairAdvance = advance + (second > 0 ? secondAdvance : 0);
        skipAc_[look] = static_cast<std::uint32_t>(first | advance << 5 | (pairBits | pairAdvance << 5) << SkipStep::kPairShift);

        const int raw = (look >> (kLookupBits - length - size)) & ((1 << size) - 1);
        const int value = BitReader::extend(raw, size);
        fastAc_[look] = value * 65536 + ((advance == 64 ? 64 : run) << 8) + first;
    }
}

int HuffmanDecoder::decodeLong(BitReader& bits) const {
    const std::uint32_t code16 = bits.peek(16);
    for (int length = kLookupBits + 1; length <= 16; ++length) {
        const auto code = static_cast<std::int32_t>(code16 >> (16 - length));
        if (code <= maxCode_[length]) {
            bits.skip(length);
            return values_[code + valueOffset_[length]];
        }
    }
    bits.skip(16);
    return 0;
}

}  // namespace lv::codec
