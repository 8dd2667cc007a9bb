// The Huffman code tables of Layer III as the standard prints them: code word
// and length per value. The decoder builds its lookup tables from these once
// per process (mp3_huffman.h).
#pragma once

#include <cstdint>

namespace lv::audio::mp3 {

// A big-value table: size x size pairs, row x, column y. A size of 0 marks a
// table that does not exist (4 and 14) or decodes nothing (0).
struct PairCodeTable {
    int size;
    int linbits;
    const uint16_t* codes;
    const uint8_t* lengths;
};

struct QuadCodeTable {
    const uint16_t* codes;
    const uint8_t* lengths;
};

const PairCodeTable& pairCodeTable(int index);  // 0..31
QuadCodeTable quadCodeTableA();

}  // namespace lv::audio::mp3
