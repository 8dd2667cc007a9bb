// Layer III Huffman decoding: lookup tables built once per process from the
// standard's code tables (mp3_huffman_codes.h), each resolving a fixed
// number of leading bits per lookup and referring longer codes to
// sub-tables that resolve the remaining bits.
#pragma once

#include <cstdint>

#include "audio/bit_reader.h"

namespace lv::audio::mp3 {

// Decodes count values (count / 2 pairs) of big-value table `table` (0..31),
// linbits and sign bits included. Table 0 (and the unused 4 and 14) yield
// zeros without reading.
void decodePairs(BitReader& bits, int table, int* out, int count);

// Decodes one count1 quadruple (v, w, x, y) with table A (select 0) or B
// (select 1), sign bits included.
void decodeQuad(BitReader& bits, int select, int out[4]);

// Decodes quadruples into out[start...] while the reader is before bit
// `end` and a whole quadruple fits below 576; one that overruns `end` is not
// part of the granule and is not stored. Returns the index after the last
// quadruple stored.
int decodeCount1(BitReader& bits, int select, int* out, int start, size_t end);

}  // namespace lv::audio::mp3
