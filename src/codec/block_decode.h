// Entropy-coded blocks of sequential scans (T.81 F.2.2): the DC difference
// and the AC run/size codes of one block.
//
// Two paths give the same coefficients and consume the same bits for every
// input, valid or not:
// - careful: one symbol at a time, every read checked (the reference);
// - fast: reads from bits made available in bulk and takes the common short
//   codes together with their values from one table look-up.
// The DC-only variants are for blocks of which only the mean is wanted (the
// 1/8 decode): the AC codes are passed over without extending or storing
// their values.
//
// `block` is in natural order and zero on entry; `predictor` is the
// component's DC predictor. A run that passes the block's end ends it (the
// data is corrupt); its value bits have been consumed.
#pragma once

#include <cstdint>

#include "codec/huffman_decode.h"

namespace lv::codec {

struct BlockTables {
    const HuffmanDecoder* dc = nullptr;
    const HuffmanDecoder* ac = nullptr;
};

void decodeBlockCareful(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block);
void decodeBlockFast(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block);

// Only block[0] is written.
void decodeDcOnlyCareful(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block);
void decodeDcOnlyFast(BitReader& bits, BlockTables tables, int& predictor, std::int16_t* block);

// The DC difference category decoded from a table: symbols above 15 come
// only from corrupt data and count as 0.
inline int dcCategory(int symbol) { return symbol > 15 ? 0 : symbol; }

// The new DC value after a difference: 16-bit wrap-around, as stored.
inline std::int16_t addDc(int& predictor, int diff, int shift) {
    predictor = static_cast<std::int16_t>(static_cast<std::uint16_t>(predictor + diff));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(predictor * (1 << shift)));
}

}  // namespace lv::codec
