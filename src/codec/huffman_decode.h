// Huffman decoding tables of T.81 Annex C and F.2.2.3, with a 9-bit lookup
// for the common short codes.
#pragma once

#include <cstdint>

#include "codec/jpeg_input.h"

namespace lv::codec {

class HuffmanDecoder {
public:
    static constexpr int kLookupBits = 9;

    bool defined() const { return defined_; }

    // counts[i] codes of length i + 1; `values` holds their symbols in order.
    // Fails for more than 256 codes or lengths that cannot be assigned.
    void build(const std::uint8_t counts[16], const std::uint8_t* values);

    // The next symbol. A bit pattern that is no code gives symbol 0 (the data
    // is corrupt; the block ends as if it were).
    int decode(BitReader& bits) const {
        const std::uint16_t entry = lookup_[bits.peek(kLookupBits)];
        if (entry >> 8) {
            bits.skip(entry >> 8);
            return entry & 0xFF;
        }
        return decodeLong(bits);
    }

    // For AC tables: when the next code and the value bits after it fit in
    // kLookupBits, decodes both: returns value << 8 | run << 4 | bits used,
    // else 0 (the caller then goes the long way).
    std::int32_t fastAc(BitReader& bits) const { return fastAc_[bits.peek(kLookupBits)]; }

private:
    int decodeLong(BitReader& bits) const;
    void buildFastAc();

    std::int32_t fastAc_[1 << kLookupBits] = {};

    bool defined_ = false;
    std::uint16_t lookup_[1 << kLookupBits] = {};  // code length << 8 | symbol; 0 when longer
    std::int32_t maxCode_[17] = {};                // largest code of each length, -1 if none
    std::int32_t valueOffset_[17] = {};            // index of a code's symbol = code + offset
    std::uint8_t values_[256] = {};
};

}  // namespace lv::codec
