#include "audio/mp3_huffman.h"

#include <algorithm>
#include <vector>

#include "audio/mp3_huffman_codes.h"

namespace lv::audio::mp3 {
namespace {

// A lookup entry is either a leaf (value and the code bits it uses at this
// level) or a reference to a sub-table for codes longer than this level.
constexpr uint32_t subTableFlag = 0x80000000u;
constexpr int rootBits = 8;

struct Code {
    uint32_t bits;
    int length;
    int value;
};

class LookupTable {
public:
    LookupTable() = default;
    explicit LookupTable(const std::vector<Code>& codes) {
        int longest = 0;
        for (const Code& c : codes) longest = std::max(longest, c.length);
        rootBits_ = std::min(longest, rootBits);
        build(codes, rootBits_);
    }

    // The code at the top of `window`: its value, and its length in *length.
    int decode(uint32_t window, int* length) const {
        int used = 0;
        int width = rootBits_;
        uint32_t entry = entries_[window >> (32 - width)];
        while (entry & subTableFlag) {
            used += width;
            width = static_cast<int>((entry >> 20) & 31);
            entry = entries_[(entry & 0xFFFFF) + ((window << used) >> (32 - width))];
        }
        *length = used + static_cast<int>((entry >> 8) & 0xFF);
        return static_cast<int>(entry & 0xFF);
    }

private:
    // Appends a table of 2^width entries for `codes` (their lengths counted
    // from this level) and returns its offset.
    size_t build(const std::vector<Code>& codes, int width) {
        const size_t offset = entries_.size();
        entries_.resize(offset + (size_t{1} << width), 0);
        std::vector<std::vector<Code>> longer(size_t{1} << width);
        for (const Code& c : codes) {
            if (c.length <= width) {
                const uint32_t first = c.bits << (width - c.length);
                const uint32_t count = 1u << (width - c.length);
                for (uint32_t i = 0; i < count; ++i)
                    entries_[offset + first + i] = static_cast<uint32_t>(c.length) << 8 | static_cast<uint32_t>(c.value);
            } else {
                const int rest = c.length - width;
                longer[c.bits >> rest].push_back({c.bits & ((1u << rest) - 1), rest, c.value});
            }
        }
        for (size_t prefix = 0; prefix < longer.size(); ++prefix) {
            if (longer[prefix].empty()) continue;
            int subWidth = 0;
            for (const Code& c : longer[prefix]) subWidth = std::max(subWidth, c.length);
            const size_t sub = build(longer[prefix], subWidth);
            entries_[offset + prefix] = subTableFlag | static_cast<uint32_t>(subWidth) << 20 | static_cast<uint32_t>(sub);
        }
        return offset;
    }

    std::vector<uint32_t> entries_;
    int rootBits_ = 0;
};

struct Tables {
    LookupTable pairs[32];
    LookupTable quadA;

    Tables() {
        for (int t = 0; t < 32; ++t) {
            const PairCodeTable& codeTable = pairCodeTable(t);
            if (codeTable.size == 0) continue;
            std::vector<Code> codes;
            for (int x = 0; x < codeTable.size; ++x)
                for (int y = 0; y < codeTable.size; ++y) {
                    const int i = x * codeTable.size + y;
                    codes.push_back({codeTable.codes[i], codeTable.lengths[i], x << 4 | y});
                }
            pairs[t] = LookupTable(codes);
        }
        const QuadCodeTable a = quadCodeTableA();
        std::vector<Code> codes;
        for (int i = 0; i < 16; ++i) codes.push_back({a.codes[i], a.lengths[i], i});
        quadA = LookupTable(codes);
    }
};

const Tables& tables() {
    static const Tables instance;  // built once per process
    return instance;
}

// The top bit of `window` after `used` bits is the sign of a non-zero
// magnitude (1: negative); it is consumed only for non-zero magnitudes.
// Without branches: signs are random, so a branch would be mispredicted
// half the time.
inline int withSign(uint64_t window, int& used, int magnitude) {
    const int present = magnitude != 0;
    const int negative = static_cast<int>((window << used) >> 63) & present;
    used += present;
    return (magnitude ^ -negative) + negative;
}

}  // namespace

void decodePairs(BitReader& bits, int table, int* out, int count) {
    const PairCodeTable& codeTable = pairCodeTable(table);
    if (codeTable.size == 0) {
        std::fill(out, out + count, 0);
        return;
    }
    const LookupTable& lookup = tables().pairs[table & 31];
    const int linbits = codeTable.linbits;
    // One peek holds a pair's code (at most 19 bits), both escapes (13 each)
    // and both signs: 47 of its 57 bits.
    for (int i = 0; i + 1 < count; i += 2) {
        const uint64_t window = bits.peek64();
        int used = 0;
        const int value = lookup.decode(static_cast<uint32_t>(window >> 32), &used);
        int x = value >> 4;
        int y = value & 15;
        if (linbits > 0 && x == 15) {
            x += static_cast<int>((window << used) >> (64 - linbits));
            used += linbits;
        }
        out[i] = withSign(window, used, x);
        if (linbits > 0 && y == 15) {
            y += static_cast<int>((window << used) >> (64 - linbits));
            used += linbits;
        }
        out[i + 1] = withSign(window, used, y);
        bits.skip(static_cast<size_t>(used));
    }
}

void decodeQuad(BitReader& bits, int select, int out[4]) {
    const uint64_t window = bits.peek64();
    int used = 4;
    const int value = select == 0 ? tables().quadA.decode(static_cast<uint32_t>(window >> 32), &used)
                                  : 15 - static_cast<int>(window >> 60);
    for (int i = 0; i < 4; ++i) out[i] = withSign(window, used, (value >> (3 - i)) & 1);
    bits.skip(static_cast<size_t>(used));
}

}  // namespace lv::audio::mp3
