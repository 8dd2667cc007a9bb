#include "render/pnm.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <vector>

#include "codec/byte_stream.h"

namespace lv {

namespace {

// The next header number, skipping white space and # comments.
bool readNumber(std::istream& in, long& value) {
    int c = in.get();
    for (;;) {
        if (c == '#') {
            while (c != '\n' && c != EOF) c = in.get();
        } else if (std::isspace(c)) {
            c = in.get();
        } else {
            break;
        }
    }
    if (!std::isdigit(c)) return false;
    value = 0;
    while (std::isdigit(c)) {
        value = value * 10 + (c - '0');
        if (value > 1000000) return false;
        c = in.get();
    }
    return std::isspace(c) != 0;  // exactly one white-space byte before the pixels
}

}  // namespace

BitmapPtr readPnm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    if (!in.read(magic, 2) || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6')) return nullptr;
    long width = 0, height = 0, maxValue = 0;
    if (!readNumber(in, width) || !readNumber(in, height) || !readNumber(in, maxValue) || maxValue != 255)
        return nullptr;
    if (width < 1 || height < 1 || width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) return nullptr;
    const bool colour = magic[1] == '6';
    BitmapPtr bitmap = createBitmap("pnm", static_cast<int>(width), static_cast<int>(height), colour ? 24 : 8);
    if (!bitmap) return nullptr;
    for (int y = 0; y < bitmap->height; ++y) {
        std::uint8_t* row = bitmap->rows[y];
        if (!in.read(reinterpret_cast<char*>(row), bitmap->stride)) return nullptr;
        if (colour)
            for (int x = 0; x < bitmap->width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    }
    return bitmap;
}

bool writePnm(const std::string& path, const Bitmap& bitmap) {
    codec::AtomicFileSink sink(path);
    if (!sink.ok()) return false;
    const bool colour = bitmap.depth == 24;
    char header[64];
    const int n = std::snprintf(header, sizeof header, "P%c\n%d %d\n255\n", colour ? '6' : '5', bitmap.width,
                                bitmap.height);
    if (sink.write(reinterpret_cast<const std::uint8_t*>(header), n) != n) return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.stride));
    for (int y = 0; y < bitmap.height; ++y) {
        row.assign(bitmap.rows[y], bitmap.rows[y] + bitmap.stride);
        if (colour)
            for (int x = 0; x < bitmap.width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
        if (sink.write(row.data(), bitmap.stride) != bitmap.stride) return false;
    }
    return sink.close();
}

}  // namespace lv
