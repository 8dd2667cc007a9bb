// Huffman decoding tables of T.81 Annex C and F.2.2.3, with a lookup of the
// next kLookupBits bits for the common short codes.
#pragma once

#include <cstdint>

#include "codec/jpeg_input.h"

namespace lv::codec {

class HuffmanDecoder {
public:
    static constexpr int kLookupBits = 11;

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

    // The same from bits already made available: the caller has called
    // bits.ensure(16) at least.
    int decodeBuffered(BitReader& bits) const {
        const std::uint16_t entry = lookup_[bits.peekBuffered(kLookupBits)];
        if (entry >> 8) {
            bits.skip(entry >> 8);
            return entry & 0xFF;
        }
        return decodeLong(bits);
    }

    // For AC tables, from at least kLookupBits available bits: when the next
    // code and the value bits after it fit in kLookupBits, gives
    // value << 16 | run << 8 | bits used, else 0 (the caller then goes the
    // long way). An end of block has run 64; the run of 16 zeros is run 15
    // followed by a value 0.
    std::int32_t fastAc(const BitReader& bits) const { return fastAc_[bits.peekBuffered(kLookupBits)]; }

    // For passing over AC codes without their values, from at least
    // kLookupBits available bits: the next code and the one after it when
    // both fit in kLookupBits with their value bits (SkipStep), or 0 when
    // even the first does not.
    std::uint32_t skipAc(const BitReader& bits) const { return skipAc_[bits.peekBuffered(kLookupBits)]; }

    // The fields of a skipAc() entry: the bits of the first code with its
    // value and the coefficient positions it moves on (64 for an end of
    // block), then the same for both codes together (the first alone when
    // no second one fits): a caller takes one or the other, never adding
    // the two up. The pair's fields, shifted down by kPairShift, read as
    // the first code's.
    struct SkipStep {
        static constexpr int kPairShift = 12;
        static int firstBits(std::uint32_t e) { return e & 31; }
        static int firstAdvance(std::uint32_t e) { return e >> 5 & 127; }
        static int pairBits(std::uint32_t e) { return firstBits(e >> kPairShift); }
        static int pairAdvance(std::uint32_t e) { return firstAdvance(e >> kPairShift); }
    };

private:
    int decodeLong(BitReader& bits) const;
    void buildAcTables();

    bool defined_ = false;
    std::uint16_t lookup_[1 << kLookupBits] = {};  // code length << 8 | symbol; 0 when longer
    std::int32_t fastAc_[1 << kLookupBits] = {};
    std::uint32_t skipAc_[1 << kLookupBits] = {};
    std::int32_t maxCode_[17] = {};                // largest code of each length, -1 if none
    std::int32_t valueOffset_[17] = {};            // index of a code's symbol = code + offset
    std::uint8_t values_[256] = {};
};

}  // namespace lv::codec
