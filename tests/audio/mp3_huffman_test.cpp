// The Huffman code tables as data: each big-value table and count1 table A
// must be a complete prefix code (no code a prefix of another, Kraft sum 1),
// which a mistyped code or length breaks.
#include "audio/mp3_huffman_codes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "audio/bit_reader.h"
#include "audio/mp3_huffman.h"

namespace lv::audio::mp3 {
namespace {

struct Code {
    uint32_t bits;
    int length;
};

void expectCompletePrefixCode(const std::vector<Code>& codes, int table) {
    double kraft = 0;
    for (const Code& c : codes) kraft += std::ldexp(1.0, -c.length);
    EXPECT_DOUBLE_EQ(kraft, 1.0) << "table " << table;
    for (size_t a = 0; a < codes.size(); ++a)
        for (size_t b = 0; b < codes.size(); ++b) {
            if (a == b || codes[a].length > codes[b].length) continue;
            const uint32_t prefix = codes[b].bits >> (codes[b].length - codes[a].length);
            EXPECT_NE(prefix, codes[a].bits) << "table " << table << ": code " << a << " prefixes " << b;
        }
}

// The big-value tables 1 to 31, and count1 table A as table 32.
TEST(HuffmanCodes, EveryTableIsACompletePrefixCode) {
    for (int t = 1; t < 32; ++t) {
        const PairCodeTable& codeTable = pairCodeTable(t);
        std::vector<Code> codes;
        for (int i = 0; i < codeTable.size * codeTable.size; ++i) codes.push_back({codeTable.codes[i], codeTable.lengths[i]});
        if (!codes.empty()) expectCompletePrefixCode(codes, t);
    }
    const QuadCodeTable a = quadCodeTableA();
    std::vector<Code> codes;
    for (int i = 0; i < 16; ++i) codes.push_back({a.codes[i], a.lengths[i]});
    expectCompletePrefixCode(codes, 32);
}

// The decoding test below reads linbits from the tables themselves: only
// this catches a mistyped one.
TEST(HuffmanCodes, LinbitsFollowTheStandard) {
    const int expected[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              1, 2, 3, 4, 6, 8, 10, 13, 4, 5, 6, 7, 8, 9, 11, 13};
    for (int t = 0; t < 32; ++t) EXPECT_EQ(pairCodeTable(t).linbits, expected[t]) << t;
}

// Every code of every table, written out (with escape bits of 1 after a
// 15 where the table has linbits, and signs) and decoded back.
TEST(HuffmanDecoding, DecodesEveryCodeWordOfEveryTable) {
    for (int t = 1; t < 32; ++t) {
        const PairCodeTable& codeTable = pairCodeTable(t);
        if (codeTable.size == 0) continue;
        const int linbits = codeTable.linbits;
        for (int x = 0; x < codeTable.size; ++x)
            for (int y = 0; y < codeTable.size; ++y) {
                const int i = x * codeTable.size + y;
                uint64_t word = codeTable.codes[i];
                int length = codeTable.lengths[i];
                const auto append = [&](uint64_t bits, int count) { word = word << count | bits, length += count; };
                const int expectedX = linbits && x == 15 ? 16 : x, expectedY = linbits && y == 15 ? 16 : y;
                if (linbits && x == 15) append(1, linbits);
                if (x) append(1, 1);  // negative
                if (linbits && y == 15) append(1, linbits);
                if (y) append(0, 1);  // positive
                uint8_t bytes[16] = {};
                for (int b = 0; b < length; ++b)
                    if ((word >> (length - 1 - b)) & 1) bytes[b / 8] |= static_cast<uint8_t>(0x80 >> (b % 8));
                BitReader bits(bytes, sizeof bytes);
                int out[2];
                decodePairs(bits, t, out, 2);
                EXPECT_EQ(out[0], -expectedX) << "table " << t << " x " << x << " y " << y;
                EXPECT_EQ(out[1], expectedY) << "table " << t << " x " << x << " y " << y;
                EXPECT_EQ(bits.position(), static_cast<size_t>(length)) << "table " << t;
            }
    }
}

TEST(HuffmanDecoding, DecodesEveryCountOneQuadruple) {
    const QuadCodeTable a = quadCodeTableA();
    for (int select = 0; select < 2; ++select)
        for (int v = 0; v < 16; ++v) {
            // table B codes a quadruple as its 4 bits inverted
            uint32_t word = select == 0 ? a.codes[v] : 15u - static_cast<uint32_t>(v);
            int length = select == 0 ? a.lengths[v] : 4;
            for (int bit = 3; bit >= 0; --bit)
                if ((v >> bit) & 1) word = word << 1 | (bit & 1), ++length;  // odd positions negative
            uint8_t bytes[8] = {};
            for (int b = 0; b < length; ++b)
                if ((word >> (length - 1 - b)) & 1) bytes[b / 8] |= static_cast<uint8_t>(0x80 >> (b % 8));
            BitReader bits(bytes, sizeof bytes);
            int out[4];
            decodeQuad(bits, select, out);
            for (int q = 0; q < 4; ++q) {
                const int magnitude = (v >> (3 - q)) & 1;
                EXPECT_EQ(out[q], (3 - q) & 1 ? -magnitude : magnitude) << "select " << select << " value " << v;
            }
            EXPECT_EQ(bits.position(), static_cast<size_t>(length));
        }
}

}  // namespace
}  // namespace lv::audio::mp3
