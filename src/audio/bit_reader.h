// A most-significant-bit-first reader over a byte buffer. Reading past the
// end yields zero bits and never touches memory outside the buffer, so a
// frame that claims more bits than it carries decodes to silence instead of
// reading beyond its main data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/byte_order.h"

namespace lv::audio {

class BitReader {
public:
    BitReader() = default;
    BitReader(const uint8_t* data, size_t bytes) : data_(data), bits_(bytes * 8) {}

    size_t position() const { return position_; }
    size_t sizeInBits() const { return bits_; }
    void setPosition(size_t bit) { position_ = bit < bits_ ? bit : bits_; }
    void skip(size_t count) { setPosition(position_ + count); }

    // At least the next 57 bits, first bit in the top bit; zeros beyond the
    // end. One load where 8 bytes are at hand, so a Huffman code with its
    // escape and sign bits comes out of one peek.
    uint64_t peek64() const {
        const size_t byte = position_ >> 3;
        const size_t size = bits_ >> 3;
        uint64_t v = 0;
        if (byte + 8 <= size) {
            v = readBe64(data_ + byte);
        } else {
            for (size_t i = 0; i < 8; ++i) v = v << 8 | (byte + i < size ? data_[byte + i] : 0);
        }
        return v << (position_ & 7);
    }

    // The next 32 bits, zeros beyond the end.
    uint32_t peek32() const { return static_cast<uint32_t>(peek64() >> 32); }

    // count 0..32
    uint32_t get(int count) {
        if (count == 0) return 0;
        const uint32_t v = peek32() >> (32 - count);
        skip(static_cast<size_t>(count));
        return v;
    }
    bool getBit() { return get(1) != 0; }

private:
    const uint8_t* data_ = nullptr;
    size_t bits_ = 0;
    size_t position_ = 0;
};

}  // namespace lv::audio
