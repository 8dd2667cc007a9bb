#include "codec/block_decode.h"

#include "codec/jpeg_tables.h"

namespace lv::codec {

namespace {

// The longest code (16 bits) and the largest value category (15 bits).
constexpr int kLongestSymbol = 31;

void decodeDcCareful(BitReader& bits, const HuffmanDecoder& table, int& predictor, std::int16_t* block) {
    const int size = dcCategory(table.decode(bits));
    block[0] = addDc(predictor, BitReader::extend(bits.bits(size), size), 0);
}

void decodeDcFast(BitReader& bits, const HuffmanDecoder& table, int& predictor, std::int16_t* block) {
    bits.ensure(kLongestSymbol);
    // The AC look-up read as DC: a category symbol (run 0) comes back with
    // its extended value, category 0 as an end of block with value 0. Other
    // runs only come from corrupt tables and go the long way.
    if (const std::int32_t fast = table.fastAc(bits)) {
        const int run = (fast >> 8) & 0xFF;
        if (run == 0 || run == 64) {
            bits.skip(fast & 0xFF);
            block[0] = addDc(predictor, fast >> 16, 0);
            return;
        }
    }
    const int size = dcCategory(table.decodeBuffered(bits));
    block[0] = addDc(predictor, BitReader::extend(bits.bitsBuffered(size), size), 0);
}

}  // namespace

void decodeBlockCareful(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block) {
    decodeDcCareful(bits, *tables.dc, predictor, block);
    for (int k = 1; k < 64;) {
        const int rs = tables.ac->decode(bits);
        const int run = rs >> 4, size = rs & 15;
        if (size == 0) {
            if (run != 15) break;  // end of block
            k += 16;
            continue;
        }
        k += run;
        const int value = BitReader::extend(bits.bits(size), size);
        if (k > 63) break;
        block[kZigzag[k++]] = static_cast<std::int16_t>(value);
    }
}

void decodeBlockFast(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block) {
    decodeDcFast(bits, *tables.dc, predictor, block);
    const HuffmanDecoder& ac = *tables.ac;
    for (int k = 1; k < 64;) {
        bits.ensure(HuffmanDecoder::kLookupBits);
        if (const std::int32_t fast = ac.fastAc(bits)) {
            k += (fast >> 8) & 0xFF;
            bits.skip(fast & 0xFF);
            if (k > 63) break;
            block[kZigzag[k++]] = static_cast<std::int16_t>(fast >> 16);
            continue;
        }
        bits.ensure(kLongestSymbol);
        const int rs = ac.decodeBuffered(bits);
        const int run = rs >> 4, size = rs & 15;
        if (size == 0) {
            if (run != 15) break;
            k += 16;
            continue;
        }
        k += run;
        const int value = BitReader::extend(bits.bitsBuffered(size), size);
        if (k > 63) break;
        block[kZigzag[k++]] = static_cast<std::int16_t>(value);
    }
}

void decodeDcOnlyCareful(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block) {
    decodeDcCareful(bits, *tables.dc, predictor, block);
    for (int k = 1; k < 64;) {
        const int rs = tables.ac->decode(bits);
        const int run = rs >> 4, size = rs & 15;
        if (size == 0 && run != 15) break;
        bits.bits(size);
        k += run + 1;
    }
}

void decodeDcOnlyFast(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block) {
    decodeDcFast(bits, *tables.dc, predictor, block);
    const HuffmanDecoder& ac = *tables.ac;
    for (int k = 1; k < 64;) {
        bits.ensure(kLongestSymbol);
        if (const std::uint32_t step = ac.skipAc(bits)) {
            // Two codes at once, unless the first ends the block. (A branch
            // beats selecting by arithmetic here: the processor runs on to
            // the next code without waiting for the position count.)
            using Step = HuffmanDecoder::SkipStep;
            const int firstAdvance = Step::firstAdvance(step);
            const bool alone = k + firstAdvance > 63;
            bits.skip(alone ? Step::firstBits(step) : Step::pairBits(step));
            k += alone ? firstAdvance : Step::pairAdvance(step);
            continue;
        }
        const int rs = ac.decodeBuffered(bits);
        const int run = rs >> 4, size = rs & 15;
        if (size == 0 && run != 15) break;
        bits.skip(size);
        k += run + 1;
    }
}

}  // namespace lv::codec
