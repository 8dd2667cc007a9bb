#include "browse/picture_transfer.h"

#include <algorithm>
#include <cstring>

#include "render/bitmap_draw.h"

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
    // The drawing code's DIB, with the clipboard's resolution and spare bytes.
    const DeviceIndependentBitmap dib = makeDeviceIndependentBitmap(picture);
    std::vector<std::uint8_t> block;
    block.reserve(static_cast<std::size_t>(total));
    block.insert(block.end(), dib.info.begin(), dib.info.end());
    block.insert(block.end(), dib.bits.begin(), dib.bits.end());
    block.resize(static_cast<std::size_t>(total), 0);
    put32(block.data() + 20, 0);  // image size
    put32(block.data() + 24, kDibPixelsPerMetre);
    put32(block.data() + 28, kDibPixelsPerMetre);
    put32(block.data() + 32, 0);  // no colour counts
    put32(block.data() + 36, 0);
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
