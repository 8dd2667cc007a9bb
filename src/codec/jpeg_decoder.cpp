// JPEG decoder. Sections:
//   Segment reading    marker segments with their lengths checked
//   Headers            frame, scan, tables, restart interval, Adobe marker
//   Entropy decoding   sequential and progressive blocks (T.81 F.2, G.2)
//   Scans              MCU order, restart intervals, the scan loop
//   Output             inverse DCT of a row of blocks, upsampling, colour
#include "codec/jpeg_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "codec/block_decode.h"
#include "codec/huffman_decode.h"
#include "codec/jpeg_tables.h"
#include "codec/kernels.h"

namespace lv::codec {

namespace {

constexpr int kMaxComponents = 3;
constexpr int kMaxScans = 256;        // more is treated as the end of the image
constexpr int kMaxBlocksInMcu = 10;   // T.81 B.2.3

// ---- Segment reading -------------------------------------------------------

// The payload of one marker segment, read whole so that every field is
// checked against the length the segment declared.
class Segment {
public:
    explicit Segment(ByteInput& in) {
        const int length = in.u16();
        if (length < 2) fail("a marker segment is shorter than its length field");
        bytes_.resize(static_cast<std::size_t>(length - 2));
        for (auto& b : bytes_) b = static_cast<std::uint8_t>(in.u8());
    }
    int u8() {
        if (position_ >= bytes_.size()) fail("a marker segment is shorter than its contents");
        return bytes_[position_++];
    }
    int u16() {
        const int high = u8();
        return high << 8 | u8();
    }
    std::size_t remaining() const { return bytes_.size() - position_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

struct Component {
    int id = 0, h = 1, v = 1, quantTable = 0;
    int dcTable = 0, acTable = 0;
    int dcPredictor = 0;
    int blocksWide = 0, blocksHigh = 0;  // blocks that hold image samples
    int paddedWide = 0, paddedHigh = 0;  // blocks of whole MCUs
    std::vector<std::int16_t> coefs;     // the whole image, or one MCU row
    // Pixels per block side in the output (see scaledBlockSide).
    int blockWidth = 8, blockHeight = 8;
    std::vector<std::uint8_t> plane;  // one MCU row of samples
    int planeStride = 0;
    bool upsampling = false;              // plane columns are wider than output pixels
    std::vector<std::uint8_t> upsampled;  // one output row
    std::vector<int> sourceColumn;        // output column -> plane column
    // Only the block means are shown (1x1 output blocks): AC data is passed
    // over, and progressive AC scans of the component are not decoded.
    bool dcOnly = false;
    void (*decodeSequentialBlock)(BitReader&, BlockTables, int&, std::int16_t*) = decodeBlockCareful;

    std::int16_t* block(int row, int column) {
        return coefs.data() + (static_cast<std::size_t>(row) * paddedWide + column) * 64;
    }
};

struct Scan {
    int count = 0;
    int component[4] = {};
    int ss = 0, se = 63, ah = 0, al = 0;
};

}  // namespace

struct JpegDecoder::State {
    explicit State(ReadCallback read) : in(std::move(read)), bits(in) {}

    ByteInput in;
    BitReader bits;
    HuffmanDecoder dcTables[4], acTables[4];
    std::array<std::array<std::uint16_t, 64>, 4> quant{};
    bool quantDefined[4] = {};
    int restartInterval = 0;
    int adobeTransform = -1;

    bool frameSeen = false, progressive = false;
    int width = 0, height = 0, componentCount = 0;
    Component components[kMaxComponents];
    int hmax = 1, vmax = 1, mcusWide = 0, mcusHigh = 0;

    Scan scan;
    int scansSeen = 0;
    bool buffered = false;  // all coefficients kept (progressive or several scans)
    int eobRun = 0;
    int mcusToRestart = 0;
    int pendingMarker = -1;  // a marker met where a restart marker belonged

    DecoderOptions options;
    bool started = false;
    int blockSize = 8;  // output pixels per block side: 8, 4, 2 or 1
    int outputWidth = 0, outputHeight = 0;
    int decodedMcuRow = -1;
    int nextRow = 0;
    IdctBlocksFn idct = idctBlocksPlain;
    YccToBgrFn yccToBgr = yccToBgrPlain;
    YccToBgrFn yccHalfChromaToBgr = yccHalfChromaToBgrPlain;
    bool halfChroma = false;  // YCbCr with both chroma planes at half the output width
    std::vector<std::uint8_t> paddedRow;  // colour mode 0 staging

    // ---- Headers -----------------------------------------------------------

    int nextMarker() {
        if (pendingMarker >= 0) return std::exchange(pendingMarker, -1);
        // Bytes before a marker are skipped (garbage after a scan), as are
        // fill bytes 0xFF before the marker code.
        for (;;) {
            int b = in.byte();
            if (b < 0) return -1;
            if (b != 0xFF) continue;
            do b = in.byte();
            while (b == 0xFF);
            if (b < 0) return -1;
            if (b != 0) return b;
        }
    }

    void readHeaders() {
        if (in.byte() != 0xFF || in.byte() != marker::kSoi) fail("not a JPEG file");
        for (;;) {
            const int code = nextMarker();
            if (code < 0) fail("the file ends before the image data");
            if (code == marker::kEoi) fail("the file has no image data");
            if (code == marker::kSos) {
                if (!frameSeen) fail("image data before the frame header");
                readScanHeader();
                return;
            }
            handleMarker(code);
        }
    }

    // Markers allowed between scans as well as before the first.
    void handleMarker(int code) {
        if (code >= marker::kRst0 && code <= marker::kRst7) return;  // stray, no segment
        if (code == marker::kSoi) fail("a second start of image");
        Segment segment(in);
        switch (code) {
            case marker::kSof0:
            case marker::kSof1:
            case marker::kSof2:
                readFrame(segment, code == marker::kSof2);
                return;
            case marker::kDht:
                readHuffmanTables(segment);
                return;
            case marker::kDqt:
                readQuantTables(segment);
                return;
            case marker::kDri:
                if (segment.remaining() != 2) fail("a restart interval segment of the wrong length");
                restartInterval = segment.u16();
                return;
            case marker::kApp14:
                readAdobe(segment);
                return;
            case marker::kDac:
                fail("arithmetic coding is not supported");
            default:
                if (code >= 0xC0 && code <= 0xCF && code != marker::kJpg)
                    fail("lossless, hierarchical and arithmetic-coded files are not supported");
                return;  // APPn, COM and the rest: skipped
        }
    }

    void readFrame(Segment& s, bool isProgressive) {
        if (frameSeen) fail("a second frame header");
        if (s.u8() != 8) fail("only 8-bit samples are supported");
        height = s.u16();
        width = s.u16();
        componentCount = s.u8();
        if (height == 0) fail("the image height is given after the data, which is not supported");
        if (width == 0) fail("the image width is 0");
        if (std::int64_t{width} * height > kMaxPixels) fail("the image has more pixels than the decoder allows");
        if (componentCount != 1 && componentCount != 3) fail("only 1 or 3 components are supported");
        if (s.remaining() != static_cast<std::size_t>(3 * componentCount)) fail("a frame header of the wrong length");
        for (int i = 0; i < componentCount; ++i) {
            Component& c = components[i];
            c.id = s.u8();
            const int sampling = s.u8();
            c.h = sampling >> 4;
            c.v = sampling & 15;
            c.quantTable = s.u8();
            if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) fail("a sampling factor outside 1 to 4");
            if (c.quantTable > 3) fail("a quantization table number above 3");
            for (int j = 0; j < i; ++j)
                if (components[j].id == c.id) fail("two components with the same id");
        }
        // One component is never interleaved: its MCU is one block.
        if (componentCount == 1) components[0].h = components[0].v = 1;
        progressive = isProgressive;
        frameSeen = true;
        computeGeometry();
    }

    void computeGeometry() {
        hmax = vmax = 1;
        for (int i = 0; i < componentCount; ++i) {
            hmax = std::max(hmax, components[i].h);
            vmax = std::max(vmax, components[i].v);
        }
        mcusWide = (width + 8 * hmax - 1) / (8 * hmax);
        mcusHigh = (height + 8 * vmax - 1) / (8 * vmax);
        for (int i = 0; i < componentCount; ++i) {
            Component& c = components[i];
            const int samplesWide = (width * c.h + hmax - 1) / hmax;
            const int samplesHigh = (height * c.v + vmax - 1) / vmax;
            c.blocksWide = (samplesWide + 7) / 8;
            c.blocksHigh = (samplesHigh + 7) / 8;
            c.paddedWide = mcusWide * c.h;
            c.paddedHigh = mcusHigh * c.v;
        }
    }

    void readHuffmanTables(Segment& s) {
        while (s.remaining() > 0) {
            const int classAndNumber = s.u8();
            const int tableClass = classAndNumber >> 4, number = classAndNumber & 15;
            if (tableClass > 1 || number > 3) fail("a Huffman table class or number out of range");
            std::uint8_t counts[16];
            int total = 0;
            for (auto& n : counts) total += n = static_cast<std::uint8_t>(s.u8());
            if (total > 256) fail("a Huffman table has more than 256 codes");
            std::uint8_t values[256];
            for (int i = 0; i < total; ++i) values[i] = static_cast<std::uint8_t>(s.u8());
            (tableClass == 0 ? dcTables : acTables)[number].build(counts, values);
        }
    }

    void readQuantTables(Segment& s) {
        while (s.remaining() > 0) {
            const int precisionAndNumber = s.u8();
            const int precision = precisionAndNumber >> 4, number = precisionAndNumber & 15;
            if (precision > 1 || number > 3) fail("a quantization table precision or number out of range");
            for (int k = 0; k < 64; ++k)
                quant[number][kZigzag[k]] = static_cast<std::uint16_t>(precision ? s.u16() : s.u8());
            quantDefined[number] = true;
        }
    }

    void readAdobe(Segment& s) {
        const auto& b = s.bytes();
        if (b.size() >= 12 && std::memcmp(b.data(), "Adobe", 5) == 0) adobeTransform = b[11];
    }

    void readScanHeader() {
        Segment s(in);
        Scan next;
        next.count = s.u8();
        if (next.count < 1 || next.count > componentCount) fail("a scan with a bad number of components");
        if (s.remaining() != static_cast<std::size_t>(2 * next.count + 3)) fail("a scan header of the wrong length");
        int blocksInMcu = 0;
        for (int i = 0; i < next.count; ++i) {
            const int id = s.u8(), tables = s.u8();
            int index = -1;
            for (int j = 0; j < componentCount; ++j)
                if (components[j].id == id) index = j;
            if (index < 0) fail("a scan names a component the frame does not have");
            for (int j = 0; j < i; ++j)
                if (next.component[j] == index) fail("a scan names a component twice");
            if ((tables >> 4) > 3 || (tables & 15) > 3) fail("a Huffman table number above 3");
            next.component[i] = index;
            components[index].dcTable = tables >> 4;
            components[index].acTable = tables & 15;
            blocksInMcu += components[index].h * components[index].v;
        }
        if (next.count > 1 && blocksInMcu > kMaxBlocksInMcu) fail("an MCU of more than 10 blocks");
        next.ss = s.u8();
        next.se = s.u8();
        const int approximation = s.u8();
        next.ah = approximation >> 4;
        next.al = approximation & 15;
        if (progressive) {
            if (next.ss > next.se || next.se > 63) fail("a scan with a bad spectral band");
            if (next.ss == 0 && next.se != 0) fail("a progressive DC scan that includes AC coefficients");
            if (next.ss > 0 && next.count != 1) fail("a progressive AC scan of more than one component");
            if (next.ah > 13 || next.al > 13) fail("a scan with a bad successive approximation");
        } else {
            next.ss = 0, next.se = 63, next.ah = next.al = 0;
        }
        scan = next;
        ++scansSeen;
    }

    // ---- Entropy decoding ----------------------------------------------------

    void decodeDc(Component& c, std::int16_t* block, int shift) {
        const int size = dcCategory(dcTables[c.dcTable].decode(bits));
        block[0] = addDc(c.dcPredictor, BitReader::extend(bits.bits(size), size), shift);
    }

    void decodeSequential(Component& c, std::int16_t* block) {
        c.decodeSequentialBlock(bits, BlockTables{&dcTables[c.dcTable], &acTables[c.acTable]}, c.dcPredictor, block);
    }

    void decodeDcRefine(std::int16_t* block) {
        if (bits.bit()) block[0] = static_cast<std::int16_t>(block[0] | (1 << scan.al));
    }

    void decodeAcFirst(Component& c, std::int16_t* block) {
        if (eobRun > 0) {
            --eobRun;
            return;
        }
        const HuffmanDecoder& table = acTables[c.acTable];
        for (int k = scan.ss; k <= scan.se; ++k) {
            const int rs = table.decode(bits);
            const int run = rs >> 4, size = rs & 15;
            if (size == 0) {
                if (run < 15) {  // a run of end-of-bands (T.81 G.1.2.2)
                    eobRun = (1 << run) - 1 + bits.bits(run);
                    return;
                }
                k += 15;
                continue;
            }
            k += run;
            if (k > scan.se) return;
            const int value = BitReader::extend(bits.bits(size), size) * (1 << scan.al);
            block[kZigzag[k]] = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
        }
    }

    // A correction bit for a coefficient that already has a value: adds the
    // current bit in the direction of its sign.
    void refineNonZero(std::int16_t& coef) {
        if (!bits.bit()) return;
        const int bit = 1 << scan.al;
        if ((coef & bit) != 0) return;
        coef = static_cast<std::int16_t>(coef >= 0 ? coef + bit : coef - bit);
    }

    void decodeAcRefine(Component& c, std::int16_t* block) {
        const HuffmanDecoder& table = acTables[c.acTable];
        int k = scan.ss;
        if (eobRun == 0) {
            for (; k <= scan.se; ++k) {
                const int rs = table.decode(bits);
                int run = rs >> 4;
                const int size = rs & 15;
                int value = 0;
                if (size != 0) {
                    value = bits.bit() ? (1 << scan.al) : -(1 << scan.al);
                } else if (run != 15) {
                    eobRun = (1 << run) + bits.bits(run);
                    break;
                }
                // Skip `run` zero coefficients, refining the non-zero ones
                // passed on the way; the new value lands on the next zero.
                for (; k <= scan.se; ++k) {
                    std::int16_t& coef = block[kZigzag[k]];
                    if (coef != 0) {
                        refineNonZero(coef);
                    } else {
                        if (run == 0) break;
                        --run;
                    }
                }
                if (value != 0 && k <= scan.se) block[kZigzag[k]] = static_cast<std::int16_t>(value);
            }
        }
        if (eobRun > 0) {
            for (; k <= scan.se; ++k) {
                std::int16_t& coef = block[kZigzag[k]];
                if (coef != 0) refineNonZero(coef);
            }
            --eobRun;
        }
    }

    void decodeBlock(Component& c, std::int16_t* block) {
        if (!progressive) return decodeSequential(c, block);
        if (scan.ss == 0) {
            if (scan.ah == 0) return decodeDc(c, block, scan.al);
            return decodeDcRefine(block);
        }
        if (scan.ah == 0) return decodeAcFirst(c, block);
        decodeAcRefine(c, block);
    }

    // ---- Scans ---------------------------------------------------------------

    void startScan() {
        for (int i = 0; i < scan.count; ++i) {
            const Component& c = components[scan.component[i]];
            if (!quantDefined[c.quantTable]) fail("a component's quantization table is missing");
            const bool needsDc = !progressive || (scan.ss == 0 && scan.ah == 0);
            const bool needsAc = !progressive || scan.ss > 0;
            if (needsDc && !dcTables[c.dcTable].defined()) fail("a DC Huffman table is missing");
            if (needsAc && !acTables[c.acTable].defined()) fail("an AC Huffman table is missing");
        }
        bits.reset();
        resetPredictors();
        mcusToRestart = restartInterval;
    }

    void resetPredictors() {
        for (auto& c : components) c.dcPredictor = 0;
        eobRun = 0;
    }

    // Called before every MCU of a scan: at the end of each
    // restart interval the padding bits are dropped and a restart marker must
    // follow; it resets the DC predictors and the end-of-band run. Any other
    // marker ends the data of this scan (the remaining blocks stay empty).
    void countRestart() {
        if (restartInterval == 0) return;
        if (mcusToRestart == 0) {
            readRestartMarker();
            mcusToRestart = restartInterval;
        }
        --mcusToRestart;
    }

    void readRestartMarker() {
        bits.reset();
        for (;;) {
            int b = in.byte();
            if (b < 0) return bits.stop();
            if (b != 0xFF) continue;
            do b = in.byte();
            while (b == 0xFF);
            if (b < 0) return bits.stop();
            if (b == 0) continue;
            if (b >= marker::kRst0 && b <= marker::kRst7) {
                resetPredictors();
                return;
            }
            pendingMarker = b;  // for the scan's end to handle
            return bits.stop();
        }
    }

    // One MCU of an interleaved scan at MCU position (mcuRow, mcuColumn);
    // blocks of the streamed row buffer sit at row 0.
    void decodeMcu(int mcuRow, int mcuColumn) {
        for (int i = 0; i < scan.count; ++i) {
            Component& c = components[scan.component[i]];
            const int rowBase = buffered ? mcuRow * c.v : 0;
            for (int y = 0; y < c.v; ++y)
                for (int x = 0; x < c.h; ++x) decodeBlock(c, c.block(rowBase + y, mcuColumn * c.h + x));
        }
    }

    // A whole scan into the kept coefficients.
    void decodeBufferedScan() {
        startScan();
        if (scan.count == 1) {
            Component& c = components[scan.component[0]];
            for (int row = 0; row < c.blocksHigh; ++row)
                for (int column = 0; column < c.blocksWide; ++column) {
                    countRestart();
                    if (!bits.exhausted()) decodeBlock(c, c.block(row, column));
                }
        } else {
            for (int row = 0; row < mcusHigh; ++row)
                for (int column = 0; column < mcusWide; ++column) {
                    countRestart();
                    if (!bits.exhausted()) decodeMcu(row, column);
                }
        }
        bits.reset();
    }

    // A progressive scan of AC coefficients nobody will look at.
    bool scanIsUnused() const {
        return progressive && scan.ss > 0 && components[scan.component[0]].dcOnly;
    }

    void decodeAllScans() {
        for (;;) {
            // An unused scan's data is passed over by the search for the next
            // marker.
            if (!scanIsUnused()) decodeBufferedScan();
            for (;;) {
                const int code = nextMarker();
                if (code < 0 || code == marker::kEoi) return;
                if (code == marker::kSos) break;
                handleMarker(code);
            }
            if (scansSeen >= kMaxScans) return;
            readScanHeader();
        }
    }

    // One MCU row of a single interleaved sequential scan into the row buffers.
    void decodeStreamedRow(int mcuRow) {
        // Blocks start empty; of a DC-only component only the DC terms are
        // ever read.
        for (int i = 0; i < componentCount; ++i) {
            Component& c = components[i];
            if (c.dcOnly) {
                for (std::size_t k = 0; k < c.coefs.size(); k += 64) c.coefs[k] = 0;
            } else {
                std::fill(c.coefs.begin(), c.coefs.end(), std::int16_t{0});
            }
        }
        // The MCU's blocks in scan order, each with its component's decoder
        // and tables looked up once for the row.
        struct McuBlock {
            Component* component;
            BlockTables tables;
            std::size_t offset;  // in the component's coefficients, from the MCU's first
        };
        McuBlock order[kMaxBlocksInMcu];
        int blocks = 0;
        for (int i = 0; i < scan.count; ++i) {
            Component& c = components[scan.component[i]];
            for (int y = 0; y < c.v; ++y)
                for (int x = 0; x < c.h; ++x)
                    order[blocks++] = {&c, BlockTables{&dcTables[c.dcTable], &acTables[c.acTable]},
                                       (static_cast<std::size_t>(y) * c.paddedWide + x) * 64};
        }
        for (int column = 0; column < mcusWide; ++column) {
            countRestart();
            if (bits.exhausted()) continue;
            for (int b = 0; b < blocks; ++b) {
                Component& c = *order[b].component;
                c.decodeSequentialBlock(bits, order[b].tables, c.dcPredictor,
                                        c.coefs.data() + static_cast<std::size_t>(column) * c.h * 64 + order[b].offset);
            }
        }
    }

    // ---- Output ----------------------------------------------------------------

    void start() {
        started = true;
        blockSize = 8 / options.scaleDenominator;
        const SimdLevel level = simdLevel();
        idct = idctBlocksFor(level);
        yccToBgr = yccToBgrFor(level);
        yccHalfChromaToBgr = yccHalfChromaToBgrFor(level);
        buffered = progressive || scan.count != componentCount;
        for (int i = 0; i < componentCount; ++i) {
            Component& c = components[i];
            const std::size_t rows = buffered ? static_cast<std::size_t>(c.paddedHigh) : static_cast<std::size_t>(c.v);
            c.coefs.assign(rows * static_cast<std::size_t>(c.paddedWide) * 64, 0);
            c.blockWidth = c.blockHeight = scaledBlockSide(c);
            if (blockSize == 4) {
                // At 1/2 each axis on its own: along a 2:1 subsampled axis
                // the component's samples are the output's, decoded whole.
                if ((hmax * blockSize) % (c.h * 8) == 0) c.blockWidth = 8;
                if ((vmax * blockSize) % (c.v * 8) == 0) c.blockHeight = 8;
            }
            c.dcOnly = c.blockWidth == 1 && c.blockHeight == 1;
            const bool fast = options.fastEntropyDecoding;
            c.decodeSequentialBlock = c.dcOnly ? (fast ? decodeDcOnlyFast : decodeDcOnlyCareful)
                                               : (fast ? decodeBlockFast : decodeBlockCareful);
            c.planeStride = c.paddedWide * c.blockWidth;
            c.plane.assign(static_cast<std::size_t>(c.planeStride) * c.v * c.blockHeight, 128);
            c.upsampling = c.h * c.blockWidth != hmax * blockSize;
            if (c.upsampling) {
                c.upsampled.assign(static_cast<std::size_t>(outputWidth), 0);
                c.sourceColumn.resize(static_cast<std::size_t>(outputWidth));
                for (int x = 0; x < outputWidth; ++x) c.sourceColumn[x] = x * c.h * c.blockWidth / (hmax * blockSize);
            }
        }
        halfChroma = componentCount == 3 && !isRgb() && !components[0].upsampling && halfWidth(components[1]) &&
                     halfWidth(components[2]);
        if (componentCount == 3 && options.colourMode == 0) paddedRow.assign(static_cast<std::size_t>(outputWidth) * 3, 0);
        if (buffered) {
            decodeAllScans();
        } else {
            startScan();
        }
    }

    // A subsampled component at a reduced scale: its blocks grow (square, by
    // powers of 2, up to 8 pixels) while both of its subsampling ratios
    // still allow it, so that its inverse DCT instead of replication brings
    // it towards the output resolution, as common decoders do.
    int scaledBlockSide(const Component& c) const {
        int side = blockSize;
        while (side < 8 && (hmax * blockSize) % (c.h * side * 2) == 0 && (vmax * blockSize) % (c.v * side * 2) == 0)
            side *= 2;
        return side;
    }

    void inverseDct(const Component& c, const std::int16_t* coefs, std::uint8_t* out) {
        const std::uint16_t* q = quant[c.quantTable].data();
        if (c.blockWidth == 8 && c.blockHeight == 8)
            idct(coefs, q, c.paddedWide, out, c.planeStride);
        else if ((c.blockWidth == 4 || c.blockWidth == 8) && (c.blockHeight == 4 || c.blockHeight == 8))
            idctBlocksHalf(idct, coefs, q, c.paddedWide, out, c.planeStride, c.blockWidth, c.blockHeight);
        else if (c.blockWidth == 1 && c.blockHeight == 1)
            idctBlocks1x1(coefs, q, c.paddedWide, out, c.planeStride);
        else
            idctBlocksReduced(coefs, q, c.paddedWide, out, c.planeStride, c.blockWidth, c.blockHeight);
    }

    void produceMcuRow(int mcuRow) {
        if (!buffered) decodeStreamedRow(mcuRow);
        for (int i = 0; i < componentCount; ++i) {
            Component& c = components[i];
            for (int y = 0; y < c.v; ++y) {
                const int blockRow = buffered ? mcuRow * c.v + y : y;
                inverseDct(c, c.block(blockRow, 0),
                           c.plane.data() + static_cast<std::size_t>(y) * c.blockHeight * c.planeStride);
            }
        }
        decodedMcuRow = mcuRow;
    }

    // The samples of one component for output row `row` of the MCU row,
    // widened to the output width when the component is subsampled.
    const std::uint8_t* planeRow(const Component& c, int row) const {
        const int planeRow = row * c.v * c.blockHeight / (vmax * blockSize);
        return c.plane.data() + static_cast<std::size_t>(planeRow) * c.planeStride;
    }

    // The component's plane has half the output's columns.
    bool halfWidth(const Component& c) const { return hmax * blockSize == 2 * c.h * c.blockWidth; }

    const std::uint8_t* componentRow(Component& c, int row) {
        const std::uint8_t* source = planeRow(c, row);
        if (!c.upsampling) return source;
        std::uint8_t* out = c.upsampled.data();
        if (halfWidth(c)) {
            for (int x = 0; x + 1 < outputWidth; x += 2) out[x] = out[x + 1] = source[x >> 1];
            if (outputWidth & 1) out[outputWidth - 1] = source[(outputWidth - 1) >> 1];
        } else {
            for (int x = 0; x < outputWidth; ++x) out[x] = source[c.sourceColumn[x]];
        }
        return out;
    }

    bool isRgb() const {
        if (adobeTransform >= 0) return adobeTransform == 0;
        return components[0].id == 'R' && components[1].id == 'G' && components[2].id == 'B';
    }

    void convertRow(int y, std::uint8_t* out) {
        const int rowsPerMcuRow = vmax * blockSize;
        const int mcuRow = y / rowsPerMcuRow;
        if (mcuRow != decodedMcuRow) produceMcuRow(mcuRow);
        const int row = y - mcuRow * rowsPerMcuRow;
        if (componentCount == 1) {
            std::memcpy(out, componentRow(components[0], row), static_cast<std::size_t>(outputWidth));
            return;
        }
        std::uint8_t* target = options.colourMode == 0 ? paddedRow.data() : out;
        const std::uint8_t* a = componentRow(components[0], row);
        if (halfChroma) {
            // The common 2:1 chroma: widened inside the colour conversion.
            yccHalfChromaToBgr(a, planeRow(components[1], row), planeRow(components[2], row), target, outputWidth);
        } else if (isRgb()) {
            rgbToBgr(a, componentRow(components[1], row), componentRow(components[2], row), target, outputWidth);
        } else {
            yccToBgr(a, componentRow(components[1], row), componentRow(components[2], row), target, outputWidth);
        }
        if (options.colourMode == 0) {
            for (int x = 0; x < outputWidth; ++x) {
                std::memcpy(out + 4 * x, target + 3 * x, 3);
                out[4 * x + 3] = 0;
            }
        }
    }
};

JpegDecoder::JpegDecoder(ReadCallback read) : state_(std::make_unique<State>(std::move(read))) {
    state_->readHeaders();
    setOptions(DecoderOptions{});
}

JpegDecoder::~JpegDecoder() = default;

void JpegDecoder::setOptions(const DecoderOptions& options) {
    State& s = *state_;
    if (s.started) fail("options changed after decoding started");
    const int scale = options.scaleDenominator;
    if (scale != 1 && scale != 2 && scale != 4 && scale != 8) fail("a scale other than 1, 1/2, 1/4 or 1/8");
    if (options.colourMode != 0 && options.colourMode != 3) fail("an unknown colour mode");
    s.options = options;
    s.outputWidth = (s.width + scale - 1) / scale;
    s.outputHeight = (s.height + scale - 1) / scale;
}

ImageInfo JpegDecoder::imageInfo() const {
    const State& s = *state_;
    ImageInfo info;
    info.sourceWidth = s.width;
    info.sourceHeight = s.height;
    info.outputWidth = s.outputWidth;
    info.outputHeight = s.outputHeight;
    info.components = s.componentCount;
    info.rowsPerStrip = std::min(16, s.outputHeight);
    info.bytesPerPixel = s.componentCount == 1 ? 1 : s.options.colourMode == 0 ? 4 : 3;
    info.bytesPerRow = info.bytesPerPixel * s.outputWidth;
    return info;
}

int JpegDecoder::readRows(std::uint8_t* const* rows) {
    State& s = *state_;
    if (!s.started) s.start();
    const int count = std::min(std::min(16, s.outputHeight), s.outputHeight - s.nextRow);
    for (int i = 0; i < count; ++i) s.convertRow(s.nextRow++, rows[i]);
    return count;
}

}  // namespace lv::codec
