// Huffman code tables for encoding (T.81 C.2), and the example tables of
// T.81 Annex K.3 that the encoder writes.
#pragma once

#include <cstdint>

namespace lv::codec {

struct HuffmanDefinition {
    std::uint8_t counts[16];  // codes of each length 1 to 16
    const std::uint8_t* values;
    int valueCount;
};

const HuffmanDefinition& standardDcLuminance();
const HuffmanDefinition& standardAcLuminance();
const HuffmanDefinition& standardDcChrominance();
const HuffmanDefinition& standardAcChrominance();

struct HuffmanEncoder {
    std::uint16_t code[256] = {};
    std::uint8_t length[256] = {};  // 0: the symbol has no code
    explicit HuffmanEncoder(const HuffmanDefinition& definition);
};

}  // namespace lv::codec
