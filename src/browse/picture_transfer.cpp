#include "browse/picture_transfer.h"

#include <algorithm>
#include <cstring>

namespace lv {

namespace {

constexpr int kSpareBytes = 4;
constexpr std::size_t kMaxBlock = 0x7FFFFFF0;

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

}  // namespace

std::int32_t dibRowBytes(int width, int depth) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(width) * depth / 8 + 3) / 4 * 4);
}

std::int32_t dibHeaderBytes(int depth) { return kDibHeaderSize + (depth == 8 ? 256 * 4 : 0); }

std::vector<std::uint8_t> packedDib(const Bitmap& picture) {
    if (picture.width < 1 || picture.height < 1 || (picture.depth != 8 && picture.depth != 24)) return {};
    const std::int64_t row = dibRowBytes(picture.width, picture.depth);
    const std::int64_t total = dibHeaderBytes(picture.depth) + row * picture.height + kSpareBytes;
    if (total > static_cast<std::int64_t>(kMaxBlock)) return {};
    std::vector<std::uint8_t> block(static_cast<std::size_t>(total), 0);
    std::uint8_t* h = block.data();
    put32(h, kDibHeaderSize);
    put32(h + 4, static_cast<std::uint32_t>(picture.width));
    put32(h + 8, static_cast<std::uint32_t>(picture.height));
    put16(h + 12, 1);
    put16(h + 14, static_cast<std::uint32_t>(picture.depth));
    put32(h + 16, 0);  // BI_RGB
    put32(h + 20, 0);
    put32(h + 24, kDibPixelsPerMetre);
    put32(h + 28, kDibPixelsPerMetre);
    if (picture.depth == 8) {
        std::uint8_t* colour = h + kDibHeaderSize;
        for (const PaletteEntry& p : picture.palette) {
            colour[0] = p.blue;
            colour[1] = p.green;
            colour[2] = p.red;
            colour += 4;
        }
    }
    std::uint8_t* rows = h + dibHeaderBytes(picture.depth);
    const std::size_t used = static_cast<std::size_t>(picture.stride);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(rows + static_cast<std::size_t>(row) * y, picture.rows[picture.height - 1 - y], used);
    return block;
}

std::vector<std::uint8_t> dropFilesBlock(std::string_view path, int x, int y) {
    // Path, its zero and two more zeros, rounded up to a multiple of 4.
    const std::size_t size = (kDropHeaderSize + path.size() + 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> block(size, 0);
    put32(block.data(), kDropHeaderSize);
    put32(block.data() + 4, static_cast<std::uint32_t>(x));
    put32(block.data() + 8, static_cast<std::uint32_t>(y));
    put32(block.data() + 12, 0);  // non-client flag
    put32(block.data() + 16, 0);  // 8-bit names
    std::copy(path.begin(), path.end(), block.begin() + kDropHeaderSize);
    return block;
}

}  // namespace lv
