// The entropy decoder's fast paths against its careful path, and the bit
// reader against a plain reading of the stuffed bytes: on random data (which
// meets every code length, runs past the block's end and bad codes), with
// 0xFF 0x00 stuffing, markers and early ends, fed in chunks of every size.
#include "codec/block_decode.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/huffman_encode.h"
#include "image_compare.h"

namespace lv::codec {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Block = std::array<std::int16_t, 64>;

// A bit reader over bytes that arrive `chunk` bytes per read.
class BitSource {
public:
    BitSource(const Bytes& bytes, int chunk)
        : bytes_(bytes), input_(test::chunkReader(bytes_, position_, chunk)), bits(input_) {}

private:
    Bytes bytes_;
    std::size_t position_ = 0;
    ByteInput input_;

public:
    BitReader bits;
};

HuffmanDecoder decoderFor(const HuffmanDefinition& definition) {
    HuffmanDecoder decoder;
    decoder.build(definition.counts, definition.values);
    return decoder;
}

// 255 eight-bit codes for the symbols 0 to 254. As a DC table it holds
// categories above 15 and symbols with runs, which only corrupt files have.
HuffmanDefinition everySymbol() {
    static const std::array<std::uint8_t, 255> values = [] {
        std::array<std::uint8_t, 255> v{};
        for (int i = 0; i < 255; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        return v;
    }();
    HuffmanDefinition definition{};
    definition.counts[7] = 255;
    definition.values = values.data();
    definition.valueCount = 255;
    return definition;
}

class EntropyData : public ::testing::Test {
protected:
    std::mt19937 random{2718};
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    // Random entropy-coded bytes: 0xFF (often) always stuffed, and, when
    // asked, a marker or a lone 0xFF at the end part way through.
    Bytes data(int length, bool interrupted) {
        Bytes bytes;
        for (int i = 0; i < length; ++i) {
            const int b = uniform(0, 15) == 0 ? 0xFF : uniform(0, 255);
            bytes.push_back(static_cast<std::uint8_t>(b));
            if (b == 0xFF) bytes.push_back(0);
        }
        if (interrupted) {
            const auto at = bytes.begin() + uniform(0, length - 1);
            if (at != bytes.begin() && at[-1] == 0xFF) return data(length, interrupted);
            const int ending = uniform(0, 2);
            if (ending == 0) bytes.insert(at, {0xFF, static_cast<std::uint8_t>(uniform(0xD0, 0xD7))});  // restart
            if (ending == 1) bytes.insert(at, {0xFF, 0xD9});                                              // end of image
            if (ending == 2) bytes.erase(at, bytes.end()), bytes.push_back(0xFF);                       // cut after 0xFF
        }
        return bytes;
    }

    // What the bit reader must give: the bytes unstuffed up to the first
    // marker or the end, most significant bit first.
    static std::vector<int> plainBits(const Bytes& bytes) {
        std::vector<int> bits;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == 0xFF && (i + 1 >= bytes.size() || bytes[i + 1] != 0)) break;
            for (int bit = 7; bit >= 0; --bit) bits.push_back(bytes[i] >> bit & 1);
            if (bytes[i] == 0xFF) ++i;
        }
        return bits;
    }

    const HuffmanDecoder dc = decoderFor(standardDcLuminance());
    const HuffmanDecoder ac = decoderFor(standardAcLuminance());
    const BlockTables tables{&dc, &ac};
    const HuffmanDecoder odd = decoderFor(everySymbol());
    const BlockTables oddTables{&odd, &odd};

    // Decodes the same data block by block along both paths and expects the
    // same coefficients, predictors and ends of data.
    void expectPathsAgree(const Bytes& bytes, bool dcOnly, BlockTables tables) {
        BitSource careful(bytes, uniform(1, 300)), fast(bytes, uniform(1, 300));
        int carefulPredictor = 0, fastPredictor = 0;
        for (int n = 0; n < 400 && !careful.bits.exhausted(); ++n) {
            Block a{}, b{};
            (dcOnly ? decodeDcOnlyCareful : decodeBlockCareful)(careful.bits, tables, carefulPredictor, a.data());
            (dcOnly ? decodeDcOnlyFast : decodeBlockFast)(fast.bits, tables, fastPredictor, b.data());
            ASSERT_EQ(a, b) << "block " << n;
            ASSERT_EQ(carefulPredictor, fastPredictor) << "block " << n;
            ASSERT_EQ(careful.bits.exhausted(), fast.bits.exhausted()) << "block " << n;
        }
    }
};

TEST_F(EntropyData, BitReaderGivesTheUnstuffedBitsThenZeros) {
    for (int round = 0; round < 200; ++round) {
        const Bytes bytes = data(uniform(1, 400), round % 2 == 1);
        const std::vector<int> expected = plainBits(bytes);
        BitSource source(bytes, uniform(1, 40));
        std::size_t at = 0;
        while (at < expected.size() + 64) {
            int n = uniform(0, 16), value = 0;
            if (uniform(0, 1) == 0) {
                value = source.bits.bits(n);
            } else {
                source.bits.ensure(n + uniform(0, 57 - n));
                value = source.bits.bitsBuffered(n);
            }
            for (int i = n - 1; i >= 0; --i, ++at) {
                const int want = at < expected.size() ? expected[at] : 0;
                ASSERT_EQ(value >> i & 1, want) << "bit " << at << " of " << expected.size() << ", round " << round;
            }
            if (at < expected.size()) {
                ASSERT_FALSE(source.bits.exhausted()) << "bit " << at;
            }
        }
        EXPECT_TRUE(source.bits.exhausted());
    }
}

// Whole and DC-only blocks, with the standard tables and with tables that
// hold every symbol.
TEST_F(EntropyData, FastBlocksEqualCarefulBlocks) {
    for (const bool dcOnly : {false, true})
        for (const BlockTables* t : {&tables, &oddTables})
            for (int round = 0; round < 45; ++round) {
                SCOPED_TRACE(testing::Message() << (dcOnly ? "DC only" : "whole") << (t == &tables ? "" : ", every symbol"));
                expectPathsAgree(data(uniform(1, 3000), round % 3 != 0), dcOnly, *t);
            }
}

TEST_F(EntropyData, DcOnlyBlocksKeepTheDcOfWholeBlocks) {
    const Bytes bytes = data(5000, false);
    BitSource whole(bytes, 4096), dcOnly(bytes, 4096);
    int wholePredictor = 0, dcPredictor = 0;
    for (int n = 0; n < 300; ++n) {
        Block a{}, b{};
        decodeBlockFast(whole.bits, tables, wholePredictor, a.data());
        decodeDcOnlyFast(dcOnly.bits, tables, dcPredictor, b.data());
        ASSERT_EQ(a[0], b[0]) << "block " << n;
    }
}

// Whole pictures through the codec's entry points, fast and careful, at
// every scale: the test files of every form, damaged copies of them, and
// some shared photos when present.
class WholeDecodes : public ::testing::Test {
protected:
    static std::vector<std::uint8_t> decode(const Bytes& file, int scale, bool fast) {
        DecoderOptions options;
        options.scaleDenominator = scale;
        options.fastEntropyDecoding = fast;
        ImageInfo info;
        return test::decodeRows(file, options, info);
    }

    static void expectSamePictures(const Bytes& file, const std::string& name) {
        for (const int scale : {1, 4, 8}) {
            const auto careful = decode(file, scale, false);
            EXPECT_EQ(careful, decode(file, scale, true)) << name << " at 1/" << scale;
        }
    }
};

TEST_F(WholeDecodes, FastAndCarefulGiveTheSamePictures) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(test::jpegDataPath("")))
        if (entry.path().extension() == ".jpg") files.push_back(entry.path());
    for (const char* photo : {"photo02.jpg", "photo06.jpg"}) {
        for (const char* folder : {"/../shared/media/photos/", "/../../shared/media/photos/"}) {
            const fs::path path = std::string(LUMAVINE_SOURCE_DIR) + folder + photo;
            if (fs::exists(path)) {
                files.push_back(path);
                break;
            }
        }
    }
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        const Bytes file = test::readBytes(path.string());
        expectSamePictures(file, path.filename().string());
        // Cut short, and with a stretch of its data overwritten.
        expectSamePictures(Bytes(file.begin(), file.begin() + static_cast<long>(file.size() * 2 / 3)),
                           path.filename().string() + " cut");
        Bytes damaged = file;
        for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 40 && i < damaged.size(); ++i)
            damaged[i] = static_cast<std::uint8_t>(i * 37);
        expectSamePictures(damaged, path.filename().string() + " damaged");
    }
}

}  // namespace
}  // namespace lv::codec
