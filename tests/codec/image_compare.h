// Helpers shared by the codec tests: PSNR between Bitmaps, files as bytes,
// and decoding or encoding through memory streams.
#pragma once

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codec/byte_stream.h"
#include "codec/jpeg_codec.h"
#include "codec/jpeg.h"
#include "render/bitmap.h"

namespace lv::test {

// Peak signal-to-noise ratio in dB over all bytes; -1 when the Bitmaps differ
// in size or depth, 999 when they are equal.
inline double psnr(const Bitmap& a, const Bitmap& b) {
    if (a.width != b.width || a.height != b.height || a.depth != b.depth) return -1;
    double sum = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.stride; ++x) {
            const double d = a.rows[y][x] - b.rows[y][x];
            sum += d * d;
        }
    const double count = static_cast<double>(a.stride) * a.height;
    if (sum == 0 || count == 0) return 999;
    return 10 * std::log10(255.0 * 255.0 * count / sum);
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline BitmapPtr decodeBytes(const std::vector<std::uint8_t>& bytes, int wantedWidth = 0, int wantedHeight = 0) {
    codec::MemoryStream stream(bytes);
    return codec::decodeJpeg(stream, wantedWidth, wantedHeight);
}

inline std::vector<std::uint8_t> encodeToBytes(const Bitmap& bitmap, int quality) {
    codec::MemoryStream stream;
    if (codec::encodeJpeg(stream, bitmap, quality) != 0) return {};
    return stream.bytes();
}

// A reader over `bytes` from `position` on, at most `chunk` bytes a call.
inline auto chunkReader(const std::vector<std::uint8_t>& bytes, std::size_t& position, int chunk = 1 << 30) {
    return [&bytes, &position, chunk](std::uint8_t* buffer, int count) {
        const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::min(count, chunk)),
                                                             bytes.size() - position));
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(position), n, buffer);
        position += static_cast<std::size_t>(n);
        return n;
    };
}

// Decodes through the codec's entry points with the given options; the
// pixels as delivered (empty on failure).
inline std::vector<std::uint8_t> decodeRows(const std::vector<std::uint8_t>& file, const codec::DecoderOptions& options,
                                            codec::ImageInfo& info) {
    std::size_t position = 0;
    codec::DecoderSlot decoder;
    codec::jpegDecoderOpen(decoder, chunkReader(file, position));
    if (codec::jpegDecoderSetOptions(decoder.get(), options) != codec::kJpegOk) return {};
    codec::jpegDecoderImageInfo(decoder.get(), info);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(info.bytesPerRow) * info.outputHeight);
    for (int y = 0, delivered = 0; y < info.outputHeight; y += delivered) {
        std::vector<std::uint8_t*> rows;
        std::vector<std::uint8_t> spare(static_cast<std::size_t>(info.bytesPerRow) * 16);
        for (int i = 0; i < info.rowsPerStrip; ++i)
            rows.push_back(y + i < info.outputHeight ? &pixels[static_cast<std::size_t>(y + i) * info.bytesPerRow]
                                                     : &spare[static_cast<std::size_t>(i) * info.bytesPerRow]);
        if (codec::jpegDecoderReadRows(decoder.get(), rows.data(), delivered) != codec::kJpegOk || delivered < 1)
            return {};
    }
    return pixels;
}

inline std::string jpegDataPath(const std::string& name) {
    return std::string(LUMAVINE_SOURCE_DIR) + "/tests/data/jpeg/" + name;
}

}  // namespace lv::test
