// JPEG encoder. Sections: quantization tables, forward DCT, entropy coding,
// headers, strips.
#include "codec/jpeg_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "codec/huffman_encode.h"
#include "codec/jpeg_error.h"
#include "codec/jpeg_tables.h"

namespace lv::codec {

namespace {

constexpr int kMaxSide = 65535;

// T.81 Annex K.1, natural order.
constexpr std::uint8_t kLuminanceQuant[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24, 40,  57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55,  64,
    81, 104, 113, 92, 49, 64, 78,  87,  103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr std::uint8_t kChrominanceQuant[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Quality 50 keeps the example tables; lower qualities scale them up by
// 50/quality, higher ones down linearly to a quarter at 99.
std::array<std::uint16_t, 64> scaledTable(const std::uint8_t* base, int quality) {
    quality = std::clamp(quality, 1, 99);
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<std::uint16_t, 64> table{};
    for (int i = 0; i < 64; ++i) table[i] = static_cast<std::uint16_t>(std::clamp((base[i] * scale + 50) / 100, 1, 255));
    return table;
}

// ---- Forward DCT ---------------------------------------------------------------
// The accurate integer algorithm (Loeffler, Ligtenberg and Moschytz), 13-bit
// constants; the output is 8 times the true transform.

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

std::int32_t descale(std::int32_t x, int n) { return (x + (1 << (n - 1))) >> n; }

template <int Step, bool FirstPass>
void fdctPass(std::int32_t* data) {
    constexpr int shiftEven = FirstPass ? 0 : kPass1Bits;
    constexpr int shiftOdd = FirstPass ? kConstBits - kPass1Bits : kConstBits + kPass1Bits;
    std::int32_t* d = data;
    const std::int32_t tmp0 = d[0 * Step] + d[7 * Step], tmp7 = d[0 * Step] - d[7 * Step];
    const std::int32_t tmp1 = d[1 * Step] + d[6 * Step], tmp6 = d[1 * Step] - d[6 * Step];
    const std::int32_t tmp2 = d[2 * Step] + d[5 * Step], tmp5 = d[2 * Step] - d[5 * Step];
    const std::int32_t tmp3 = d[3 * Step] + d[4 * Step], tmp4 = d[3 * Step] - d[4 * Step];

    const std::int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3, tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
    if (FirstPass) {
        d[0] = (tmp10 + tmp11) * (1 << kPass1Bits);
        d[4 * Step] = (tmp10 - tmp11) * (1 << kPass1Bits);
    } else {
        d[0] = descale(tmp10 + tmp11, shiftEven);
        d[4 * Step] = descale(tmp10 - tmp11, shiftEven);
    }
    const std::int32_t z1 = (tmp12 + tmp13) * 4433;
    d[2 * Step] = descale(z1 + tmp13 * 6270, shiftOdd);
    d[6 * Step] = descale(z1 - tmp12 * 15137, shiftOdd);

    const std::int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * 9633;
    const std::int32_t a = (tmp4 + tmp7) * -7373, b = (tmp5 + tmp6) * -20995;
    const std::int32_t c = (tmp4 + tmp6) * -16069 + z5, e = (tmp5 + tmp7) * -3196 + z5;
    d[7 * Step] = descale(tmp4 * 2446 + a + c, shiftOdd);
    d[5 * Step] = descale(tmp5 * 16819 + b + e, shiftOdd);
    d[3 * Step] = descale(tmp6 * 25172 + b + c, shiftOdd);
    d[1 * Step] = descale(tmp7 * 12299 + a + e, shiftOdd);
}

void forwardDct(std::int32_t block[64]) {
    for (int row = 0; row < 8; ++row) fdctPass<1, true>(block + row * 8);
    for (int col = 0; col < 8; ++col) fdctPass<8, false>(block + col);
}

// ---- Entropy coding ---------------------------------------------------------------

class BitWriter {
public:
    explicit BitWriter(WriteCallback& write) : write_(write) { buffer_.reserve(kFlushAt + 64); }

    void put(std::uint32_t bits, int count) {
        accumulator_ = accumulator_ << count | (bits & ((1u << count) - 1));
        count_ += count;
        while (count_ >= 8) {
            const auto byte = static_cast<std::uint8_t>(accumulator_ >> (count_ - 8));
            count_ -= 8;
            buffer_.push_back(byte);
            if (byte == 0xFF) buffer_.push_back(0);  // stuffing
        }
        if (buffer_.size() >= kFlushAt) flush();
    }
    // Pads the last byte with one bits (T.81 F.1.2.3).
    void align() {
        if (count_ > 0) put(0x7F, 8 - count_);
    }
    void bytes(const std::uint8_t* data, std::size_t n) { buffer_.insert(buffer_.end(), data, data + n); }
    void flush() {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            const int chunk = static_cast<int>(std::min<std::size_t>(buffer_.size() - done, 1 << 20));
            if (write_(buffer_.data() + done, chunk) != chunk) fail("the JPEG data could not be written");
            done += static_cast<std::size_t>(chunk);
        }
        buffer_.clear();
    }

private:
    static constexpr std::size_t kFlushAt = 64 * 1024;
    WriteCallback& write_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t accumulator_ = 0;
    int count_ = 0;
};

int magnitudeBits(int v) {
    int n = 0;
    for (int a = v < 0 ? -v : v; a; a >>= 1) ++n;
    return n;
}

}  // namespace

struct JpegEncoder::State {
    State(WriteCallback w, const EncoderImage& i)
        : write(std::move(w)),
          image(i),
          out(write),
          dcLuminance(standardDcLuminance()),
          acLuminance(standardAcLuminance()),
          dcChrominance(standardDcChrominance()),
          acChrominance(standardAcChrominance()) {}

    WriteCallback write;
    EncoderImage image;
    BitWriter out;
    EncoderParameters parameters;
    std::array<std::uint16_t, 64> quant[2]{};
    std::array<float, 64> inverseDivisor[2]{};  // 1 / (8 q): the transform is 8 times too large
    HuffmanEncoder dcLuminance, acLuminance, dcChrominance, acChrominance;
    bool started = false;
    int components = 1;
    int rowsReceived = 0;
    int blockRowsWritten = 0;
    std::vector<std::uint8_t> strip;  // 8 rows of samples per component, planar
    int stripRows = 0;
    int stripStride = 0;  // width rounded up to whole blocks
    int predictor[3] = {};
    int restartCount = 0;    // MCUs since the last restart marker
    int restartMarkers = 0;  // restart markers written

    // ---- Headers ------------------------------------------------------------

    void marker(int code) {
        const std::uint8_t m[2] = {0xFF, static_cast<std::uint8_t>(code)};
        out.bytes(m, 2);
    }
    void segment(int code, const std::vector<std::uint8_t>& payload) {
        marker(code);
        const std::size_t length = payload.size() + 2;
        const std::uint8_t l[2] = {static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
        out.bytes(l, 2);
        out.bytes(payload.data(), payload.size());
    }
    static void put16(std::vector<std::uint8_t>& v, int x) {
        v.push_back(static_cast<std::uint8_t>(x >> 8));
        v.push_back(static_cast<std::uint8_t>(x));
    }

    void writeHeaders() {
        marker(marker::kSoi);
        if (parameters.jfifHeader)
            segment(marker::kApp0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
        std::vector<std::uint8_t> dqt;
        for (int t = 0; t < (components == 3 ? 2 : 1); ++t) {
            dqt.push_back(static_cast<std::uint8_t>(t));
            for (int k = 0; k < 64; ++k) dqt.push_back(static_cast<std::uint8_t>(quant[t][kZigzag[k]]));
        }
        segment(marker::kDqt, dqt);
        std::vector<std::uint8_t> sof = {8};
        put16(sof, image.height);
        put16(sof, image.width);
        sof.push_back(static_cast<std::uint8_t>(components));
        for (int c = 0; c < components; ++c) sof.insert(sof.end(), {static_cast<std::uint8_t>(c + 1), 0x11,
                                                                    static_cast<std::uint8_t>(c == 0 ? 0 : 1)});
        segment(marker::kSof0, sof);
        std::vector<std::uint8_t> dht;
        const auto addTable = [&dht](int classAndNumber, const HuffmanDefinition& definition) {
            dht.push_back(static_cast<std::uint8_t>(classAndNumber));
            dht.insert(dht.end(), definition.counts, definition.counts + 16);
            dht.insert(dht.end(), definition.values, definition.values + definition.valueCount);
        };
        addTable(0x00, standardDcLuminance());
        addTable(0x10, standardAcLuminance());
        if (components == 3) {
            addTable(0x01, standardDcChrominance());
            addTable(0x11, standardAcChrominance());
        }
        segment(marker::kDht, dht);
        if (parameters.restartRows > 0) {
            std::vector<std::uint8_t> dri;
            put16(dri, std::min(65535, parameters.restartRows * blocksWide()));
            segment(marker::kDri, dri);
        }
        std::vector<std::uint8_t> sos = {static_cast<std::uint8_t>(components)};
        for (int c = 0; c < components; ++c)
            sos.insert(sos.end(), {static_cast<std::uint8_t>(c + 1), static_cast<std::uint8_t>(c == 0 ? 0x00 : 0x11)});
        sos.insert(sos.end(), {0, 63, 0});
        segment(marker::kSos, sos);
    }

    int blocksWide() const { return (image.width + 7) / 8; }

    void start() {
        started = true;
        components = image.colour ? 3 : 1;
        quant[0] = scaledTable(kLuminanceQuant, parameters.quality);
        quant[1] = scaledTable(kChrominanceQuant, parameters.quality);
        for (int t = 0; t < 2; ++t)
            for (int k = 0; k < 64; ++k) inverseDivisor[t][k] = 1.0f / static_cast<float>(8 * quant[t][k]);
        stripStride = blocksWide() * 8;
        strip.assign(static_cast<std::size_t>(stripStride) * 8 * components, 0);
        writeHeaders();
    }

    // ---- Strips -----------------------------------------------------------------

    // One input row into the planar strip, converted to YCbCr (JFIF) and
    // widened to whole blocks by repeating the last pixel.
    void takeRow(const std::uint8_t* row) {
        const std::size_t plane = static_cast<std::size_t>(stripStride) * 8;
        std::uint8_t* y = strip.data() + static_cast<std::size_t>(stripRows) * stripStride;
        if (components == 1) {
            std::memcpy(y, row, static_cast<std::size_t>(image.width));
        } else {
            std::uint8_t* cb = y + plane;
            std::uint8_t* cr = cb + plane;
            for (int x = 0; x < image.width; ++x) {
                const int b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
                y[x] = static_cast<std::uint8_t>((19595 * r + 38470 * g + 7471 * b + 32768) >> 16);
                cb[x] = static_cast<std::uint8_t>(std::clamp((-11059 * r - 21709 * g + 32768 * b + 8421376) >> 16, 0, 255));
                cr[x] = static_cast<std::uint8_t>(std::clamp((32768 * r - 27439 * g - 5329 * b + 8421376) >> 16, 0, 255));
            }
        }
        for (int c = 0; c < components; ++c) {
            std::uint8_t* p = y + c * plane;
            std::fill(p + image.width, p + stripStride, p[image.width - 1]);
        }
        ++stripRows;
    }

    void encodeStrip() {
        // Rows below the image repeat the last one.
        const std::size_t plane = static_cast<std::size_t>(stripStride) * 8;
        for (int c = 0; c < components; ++c)
            for (int r = stripRows; r < 8; ++r)
                std::memcpy(strip.data() + c * plane + static_cast<std::size_t>(r) * stripStride,
                            strip.data() + c * plane + static_cast<std::size_t>(stripRows - 1) * stripStride,
                            static_cast<std::size_t>(stripStride));
        for (int bx = 0; bx < blocksWide(); ++bx) {
            writeRestartIfDue();
            for (int c = 0; c < components; ++c)
                encodeBlock(c, strip.data() + c * plane + static_cast<std::size_t>(bx) * 8);
        }
        stripRows = 0;
        ++blockRowsWritten;
    }

    void writeRestartIfDue() {
        if (parameters.restartRows <= 0) return;
        const int interval = std::min(65535, parameters.restartRows * blocksWide());
        if (restartCount == interval) {
            out.align();
            marker(marker::kRst0 + (restartMarkers++ & 7));
            std::fill(std::begin(predictor), std::end(predictor), 0);
            restartCount = 0;
        }
        ++restartCount;
    }

    void encodeBlock(int c, const std::uint8_t* samples) {
        std::int32_t block[64];
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) block[y * 8 + x] = samples[y * stripStride + x] - 128;
        forwardDct(block);
        const HuffmanEncoder& dc = c == 0 ? dcLuminance : dcChrominance;
        const HuffmanEncoder& ac = c == 0 ? acLuminance : acChrominance;

        const auto& inverse = inverseDivisor[c == 0 ? 0 : 1];
        int values[64];
        for (int k = 0; k < 64; ++k) {
            const int natural = kZigzag[k];
            const int v = block[natural];
            const int magnitude = static_cast<int>(static_cast<float>(v < 0 ? -v : v) * inverse[natural] + 0.5f);
            values[k] = v < 0 ? -magnitude : magnitude;
        }
        const int diff = values[0] - predictor[c];
        predictor[c] = values[0];
        emit(dc, magnitudeBits(diff), diff);
        int run = 0;
        for (int k = 1; k < 64; ++k) {
            if (values[k] == 0) {
                ++run;
                continue;
            }
            for (; run >= 16; run -= 16) emitSymbol(ac, 0xF0);
            emit(ac, run << 4 | magnitudeBits(values[k]), values[k]);
            run = 0;
        }
        if (run > 0) emitSymbol(ac, 0x00);
    }

    void emitSymbol(const HuffmanEncoder& table, int symbol) {
        if (table.length[symbol] == 0) fail("a symbol without a Huffman code");
        out.put(table.code[symbol], table.length[symbol]);
    }
    // A symbol whose low 4 bits are the size of the value that follows it.
    void emit(const HuffmanEncoder& table, int symbol, int value) {
        emitSymbol(table, symbol);
        const int size = symbol & 15;
        if (size) out.put(static_cast<std::uint32_t>(value < 0 ? value - 1 : value), size);
    }
};

JpegEncoder::JpegEncoder(WriteCallback write, const EncoderImage& image)
    : state_(std::make_unique<State>(std::move(write), image)) {
    if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide)
        fail("the image size cannot be written as JPEG");
    if (image.colour != 0 && image.colour != 1) fail("an unknown colour flag");
}

JpegEncoder::~JpegEncoder() = default;

void JpegEncoder::setParameters(const EncoderParameters& parameters) {
    if (state_->started) fail("parameters changed after encoding started");
    for (int c = 0; c < 3; ++c)
        if (parameters.hSampling[c] != 1 || parameters.vSampling[c] != 1) fail("only 1x1 sampling is supported");
    if (parameters.progressive != 0) fail("only sequential encoding is supported");
    state_->parameters = parameters;
    state_->parameters.quality = std::clamp(parameters.quality, 0, 99);
}

StripGeometry JpegEncoder::stripGeometry() const {
    return {8, state_->image.width * (state_->image.colour ? 3 : 1)};
}

void JpegEncoder::writeRows(const std::uint8_t* const* rows, int count) {
    State& s = *state_;
    if (!s.started) s.start();
    if (count < 0 || count > 8 || s.rowsReceived + count > s.image.height) fail("more rows than the image has");
    for (int i = 0; i < count; ++i) {
        s.takeRow(rows[i]);
        ++s.rowsReceived;
        if (s.stripRows == 8) s.encodeStrip();
    }
}

void JpegEncoder::close() {
    State& s = *state_;
    if (!s.started) s.start();
    if (s.rowsReceived != s.image.height) fail("fewer rows than the image has");
    if (s.stripRows > 0) s.encodeStrip();
    s.out.align();
    s.marker(marker::kEoi);
    s.out.flush();
}

}  // namespace lv::codec
