// The decoder's input: bytes pulled through a read callback in chunks, and
// the bit reader of entropy-coded data on top of them.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "codec/jpeg_error.h"

namespace lv::codec {

// Returns the number of bytes read; below 1 means the data has ended.
using ReadCallback = std::function<int(std::uint8_t* buffer, int count)>;

class ByteInput {
public:
    explicit ByteInput(ReadCallback read) : read_(std::move(read)), buffer_(kChunk + 1) {}

    // The next byte, or -1 at the end of the data.
    int byte() {
        if (position_ == end_ && !refill()) return -1;
        return buffer_[position_++];
    }
    int peek() {
        if (position_ == end_ && !refill()) return -1;
        return buffer_[position_];
    }
    // Steps back over the byte just read (one step only).
    void unget() { --position_; }

    // The bytes already buffered, for readers that take many at once.
    const std::uint8_t* buffered() const { return buffer_.data() + position_; }
    std::size_t bufferedCount() const { return end_ - position_; }
    void advance(std::size_t n) { position_ += n; }

    int u8() {
        const int b = byte();
        if (b < 0) fail("the file ends inside a marker segment");
        return b;
    }
    int u16() {
        const int high = u8();
        return high << 8 | u8();
    }

private:
    static constexpr int kChunk = 64 * 1024;

    // Keeps the last byte read so that unget() works across a refill.
    bool refill() {
        if (ended_) return false;
        const std::size_t keep = end_ > 0 ? 1 : 0;
        if (keep) buffer_[0] = buffer_[end_ - 1];
        position_ = end_ = keep;
        const int n = read_(buffer_.data() + keep, kChunk);
        if (n < 1 || n > kChunk) {
            ended_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(n);
        return true;
    }

    ReadCallback read_;
    std::vector<std::uint8_t> buffer_;
    std::size_t position_ = 0, end_ = 0;
    bool ended_ = false;
};

// Bits of entropy-coded data, most significant first. A stuffed 0xFF 0x00
// stands for 0xFF; any other marker, or the end of the data, stops the
// reader, which then supplies zero bits. exhausted() tells when only those
// zero fillers remain: a decoder then leaves the remaining blocks empty
// (grey), as common decoders do with files that end early.
class BitReader {
public:
    explicit BitReader(ByteInput& in) : in_(in) {}

    // Drops buffered bits (the padding at the end of an interval or a scan).
    void reset() {
        accumulator_ = 0;
        count_ = 0;
        filler_ = 0;
        stopped_ = false;
    }
    // Supplies zero bits from now on (a marker other than the expected one).
    void stop() { stopped_ = true; }
    bool exhausted() const { return stopped_ && count_ <= filler_; }

    std::uint32_t peek(int n) {
        if (count_ < n) refill();
        return static_cast<std::uint32_t>(accumulator_ >> (64 - n));
    }

    // The unchecked reads of the fast block decoders: ensure(n) makes at
    // least n bits (n at most 57) available, counting zero fillers after the
    // end of the data; the *Buffered reads may then take that many bits.
    void ensure(int n) {
        if (count_ < n) refill();
    }
    std::uint32_t peekBuffered(int n) const { return static_cast<std::uint32_t>(accumulator_ >> (64 - n)); }
    int bitsBuffered(int n) {
        if (n == 0) return 0;
        const int v = static_cast<int>(peekBuffered(n));
        skip(n);
        return v;
    }
    void skip(int n) {
        accumulator_ <<= n;
        count_ -= n;
    }
    int bits(int n) {
        if (n == 0) return 0;
        const int v = static_cast<int>(peek(n));
        skip(n);
        return v;
    }
    int bit() { return bits(1); }

    // The signed value of an n-bit magnitude category (T.81 F.2.2.1).
    static int extend(int v, int n) { return n == 0 ? 0 : v < (1 << (n - 1)) ? v - (1 << n) + 1 : v; }

private:
    // True when one of the eight bytes of v is 0xFF.
    static bool hasFFByte(std::uint64_t v) {
        const std::uint64_t inverted = ~v;
        return ((inverted - 0x0101010101010101u) & ~inverted & 0x8080808080808080u) != 0;
    }

    static std::uint64_t loadBigEndian64(const std::uint8_t* p) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        return __builtin_bswap64(v);
#else
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
        return v;
#endif
    }

    void refill() {
        if (filler_ > count_) filler_ = count_;
        // Fastest path: the whole bytes that fit hold no 0xFF, so no stuffing
        // and no marker can be among them; they go in with one load.
        if (!stopped_ && in_.bufferedCount() >= 8) {
            const int take = (64 - count_) / 8;
            const std::uint64_t word = loadBigEndian64(in_.buffered());
            const std::uint64_t taken = take == 8 ? word : word & ~(~std::uint64_t{0} >> (8 * take));
            if (!hasFFByte(taken)) {
                accumulator_ |= taken >> count_;
                count_ += 8 * take;
                in_.advance(static_cast<std::size_t>(take));
                return;
            }
        }
        if (!stopped_) {
            // Fast path: buffered bytes up to the next 0xFF go straight in.
            const std::uint8_t* p = in_.buffered();
            const std::size_t available = in_.bufferedCount();
            std::size_t used = 0;
            for (; count_ <= 56 && used < available && p[used] != 0xFF; ++used, count_ += 8)
                accumulator_ |= static_cast<std::uint64_t>(p[used]) << (56 - count_);
            in_.advance(used);
        }
        while (count_ <= 56) {
            int b = 0;
            if (!stopped_) {
                b = in_.byte();
                if (b < 0) {
                    stopped_ = true;
                    b = 0;
                } else if (b == 0xFF) {
                    if (in_.peek() == 0) {
                        in_.byte();
                    } else {
                        in_.unget();  // the marker stays for whoever reads markers
                        stopped_ = true;
                        b = 0;
                    }
                }
            }
            if (stopped_) filler_ += 8;
            accumulator_ |= static_cast<std::uint64_t>(b) << (56 - count_);
            count_ += 8;
        }
    }

    ByteInput& in_;
    std::uint64_t accumulator_ = 0;
    int count_ = 0;
    int filler_ = 0;  // zero bits at the bottom of the accumulator that are not data
    bool stopped_ = false;
};

}  // namespace lv::codec
