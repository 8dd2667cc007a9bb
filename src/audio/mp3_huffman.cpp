#include "audio/mp3_huffman.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/mp3_huffman_codes.h"

namespace lv::audio::mp3 {
namespace {

// The decoder tables: at most 100, one per table_select first (tables 16
// to 23 share the one built from table 16's codes, 24 to 31 the one from
// table 24's), then count1 table A, then sub-tables as needed. Each table
// resolves a fixed number of leading code bits: a root the first 8 (fewer
// when its codes are all shorter), a sub-table up to 6 more than the table
// that refers to it. A sub-table holds one block per prefix that needs it.
//
// Entries, 32 bits: a leaf holds the value (bits 0-7) and the code length
// (bits 8-12); a link (bit 31) holds the block's first entry (bits 0-19),
// how many bits the block indexes (20-24) and how many the code has used
// before it (25-29).
constexpr int maxDecoderTables = 100;
constexpr int quadTableA = 32;
constexpr int firstSubTable = 33;
constexpr int rootBits = 8;
constexpr int subTableStep = 6;
constexpr uint32_t linkFlag = 0x80000000u;

struct Code {
    uint32_t bits;
    int length;
    int value;
};

// Breaking a construction limit is a programming error: the tables are
// built from constant data.
void constructionCheck(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "MP3HuffmanTableSpecs: %s\n", rule);
    std::abort();
}

class DecoderTables {
public:
    DecoderTables() {
        for (int t = 0; t < 32; ++t) {
            const PairCodeTable& codeTable = pairCodeTable(t);
            if (codeTable.size == 0) continue;
            if (t > 16 && t < 24) {
                tables_[t] = tables_[16];
                continue;
            }
            if (t > 24) {
                tables_[t] = tables_[24];
                continue;
            }
            std::vector<Code> codes;
            for (int x = 0; x < codeTable.size; ++x)
                for (int y = 0; y < codeTable.size; ++y) {
                    const int i = x * codeTable.size + y;
                    codes.push_back({codeTable.codes[i], codeTable.lengths[i], x << 4 | y});
                }
            build(t, codes);
        }
        const QuadCodeTable a = quadCodeTableA();
        std::vector<Code> codes;
        for (int i = 0; i < 16; ++i) codes.push_back({a.codes[i], a.lengths[i], i});
        build(quadTableA, codes);
    }

    // A root table as the hot loops use it: its entries and how far a
    // 32-bit window shifts to index them.
    struct Root {
        const uint32_t* entries;  // all entries; links index from here
        uint32_t offset;
        int shift;
    };
    Root root(int index) const {
        const Table& table = tables_[index];
        return {entries_.data(), table.offset, 32 - table.bits};
    }

    // The code at the top of `window` in `root`: its value, and its length
    // in *length.
    static int decode(const Root& root, uint32_t window, int* length) {
        uint32_t entry = root.entries[root.offset + (window >> root.shift)];
        while (entry & linkFlag)
            entry = root.entries[(entry & 0xFFFFF) + ((window << ((entry >> 25) & 31)) >> (32 - ((entry >> 20) & 31)))];
        *length = static_cast<int>((entry >> 8) & 31);
        return static_cast<int>(entry & 0xFF);
    }

private:
    struct Table {
        int bits = 0;         // leading code bits resolved
        uint32_t offset = 0;  // first entry (a root's only block)
    };

    void build(int index, const std::vector<Code>& codes) {
        int longest = 0;
        for (const Code& c : codes) longest = std::max(longest, c.length);
        tables_[index] = {std::min(longest, rootBits), static_cast<uint32_t>(entries_.size())};
        std::vector<int> levels{index};  // the table of each depth
        fillBlock(codes, 0, tables_[index].bits, longest, 0, levels);
    }

    // Appends the block resolving code bits [from, to) of `codes` (which
    // share their first `from` bits) and returns its first entry.
    uint32_t fillBlock(const std::vector<Code>& codes, int from, int to, int longest, size_t depth,
                       std::vector<int>& levels) {
        const int width = to - from;
        const auto offset = static_cast<uint32_t>(entries_.size());
        constructionCheck(offset + (1u << width) <= 0xFFFFF, "table entries fit a link");
        entries_.resize(offset + (size_t{1} << width), 0);
        std::vector<std::vector<Code>> longer(size_t{1} << width);
        for (const Code& c : codes) {
            if (c.length <= to) {
                const int spare = to - c.length;
                const uint32_t first = (c.bits & ((1u << (c.length - from)) - 1)) << spare;
                for (uint32_t i = 0; i < (1u << spare); ++i)
                    entries_[offset + first + i] = static_cast<uint32_t>(c.length) << 8 | static_cast<uint32_t>(c.value);
            } else {
                longer[(c.bits >> (c.length - to)) & ((1u << width) - 1)].push_back(c);
            }
        }
        for (size_t prefix = 0; prefix < longer.size(); ++prefix) {
            if (longer[prefix].empty()) continue;
            if (levels.size() <= depth + 1) levels.push_back(reserve(1));
            Table& sub = tables_[levels[depth + 1]];
            if (sub.bits == 0) sub.bits = std::min(longest, to + subTableStep);
            constructionCheck(sub.bits > to, "SubNrOfBits > NrOfBits");
            const uint32_t block = fillBlock(longer[prefix], to, sub.bits, longest, depth + 1, levels);
            if (sub.offset == 0) sub.offset = block;
            entries_[offset + prefix] = linkFlag | static_cast<uint32_t>(to) << 25 |
                                        static_cast<uint32_t>(sub.bits - to) << 20 | block;
        }
        return offset;
    }

    // The next `range` free tables.
    int reserve(int range) {
        constructionCheck(used_ + range <= maxDecoderTables, "StartPos + Range <= MaxNrOfDecoderTables");
        const int start = used_;
        used_ += range;
        return start;
    }

    Table tables_[maxDecoderTables];
    int used_ = firstSubTable;
    std::vector<uint32_t> entries_;
};

const DecoderTables& tables() {
    static const DecoderTables instance;  // built once per process
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

// The escape of a magnitude of 15 in tables with linbits: linbits more bits
// added to it.
template <bool Escapes>
inline int escaped(uint64_t window, int& used, int magnitude, int linbits) {
    if constexpr (Escapes) {
        if (magnitude == 15) {
            magnitude += static_cast<int>((window << used) >> (64 - linbits));
            used += linbits;
        }
    }
    return magnitude;
}

// The table pointers live in locals: stores to `out` could otherwise alias
// the tables and force them to be reloaded for every pair.
template <bool Escapes>
void pairs(BitReader& bits, const DecoderTables::Root root, int linbits, int* out, int count) {
    // The bits stay in a register between pairs, shifted along as codes are
    // used, and are fetched anew only when fewer are left than a pair can
    // take (a code of at most 19 bits, two escapes of 13, two signs: 47):
    // a peek holds at least 57 real bits, and the zeros shifted in behind
    // them are never read.
    constexpr int pairBits = 47, peekBits = 57;
    uint64_t window = bits.peek64();
    int left = peekBits;
    size_t taken = 0;  // bits used since the peek
    for (int i = 0; i + 1 < count; i += 2) {
        if (left < pairBits) {
            bits.skip(taken);
            window = bits.peek64();
            left = peekBits;
            taken = 0;
        }
        int used = 0;
        const int value = DecoderTables::decode(root, static_cast<uint32_t>(window >> 32), &used);
        const int x = escaped<Escapes>(window, used, value >> 4, linbits);
        out[i] = withSign(window, used, x);
        const int y = escaped<Escapes>(window, used, value & 15, linbits);
        out[i + 1] = withSign(window, used, y);
        window <<= used;
        left -= used;
        taken += static_cast<size_t>(used);
    }
    bits.skip(taken);
}

}  // namespace

void decodePairs(BitReader& bits, int table, int* out, int count) {
    const PairCodeTable& codeTable = pairCodeTable(table);
    if (codeTable.size == 0) {
        std::fill(out, out + count, 0);
        return;
    }
    const DecoderTables::Root root = tables().root(table & 31);
    if (codeTable.linbits > 0)
        pairs<true>(bits, root, codeTable.linbits, out, count);
    else
        pairs<false>(bits, root, 0, out, count);
}

namespace {

// One quadruple from the top of `window`: a code of at most 6 bits and 4
// signs; returns the bits used.
inline int quadFrom(uint64_t window, const DecoderTables::Root& rootA, int select, int* out) {
    int used = 4;
    const int value = select == 0 ? DecoderTables::decode(rootA, static_cast<uint32_t>(window >> 32), &used)
                                  : 15 - static_cast<int>(window >> 60);
    for (int i = 0; i < 4; ++i) out[i] = withSign(window, used, (value >> (3 - i)) & 1);
    return used;
}

}  // namespace

void decodeQuad(BitReader& bits, int select, int out[4]) {
    bits.skip(static_cast<size_t>(quadFrom(bits.peek64(), tables().root(quadTableA), select, out)));
}

int decodeCount1(BitReader& bits, int select, int* out, int start, size_t end) {
    // As for the pairs, the bits stay in a register; the reader's position
    // (which stops at the end of the data) is followed in `at`.
    constexpr int quadBits = 10, peekBits = 57;
    const DecoderTables::Root rootA = tables().root(quadTableA);
    const size_t stop = bits.sizeInBits();
    uint64_t window = bits.peek64();
    int left = peekBits;
    size_t at = bits.position();
    int i = start;
    while (i + 4 <= 576 && at < end) {
        if (left < quadBits) {
            bits.setPosition(at);
            window = bits.peek64();
            left = peekBits;
        }
        int values[4];
        const int used = quadFrom(window, rootA, select, values);
        window <<= used;
        left -= used;
        at = std::min(at + static_cast<size_t>(used), stop);
        if (at > end) break;
        for (int q = 0; q < 4; ++q) out[i + q] = values[q];
        i += 4;
    }
    bits.setPosition(at);
    return i;
}

}  // namespace lv::audio::mp3
