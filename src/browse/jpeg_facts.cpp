#include "browse/jpeg_facts.h"

#include <cstring>

#include "render/image_ops.h"

namespace lv {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kStartOfScan = 0xDA;

struct Tiff {
    std::span<const std::uint8_t> bytes;
    bool little = true;

    bool has(std::size_t offset, std::size_t count) const { return offset <= bytes.size() && count <= bytes.size() - offset; }
    std::uint16_t u16(std::size_t at) const {
        return little ? static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8)
                      : static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
    }
    std::uint32_t u32(std::size_t at) const {
        const std::uint32_t a = u16(at), b = u16(at + 2);
        return little ? (a | b << 16) : (a << 16 | b);
    }
};

// The orientation in a TIFF block ("II*\0" or "MM\0*"), or 1.
int tiffOrientation(std::span<const std::uint8_t> block) {
    Tiff tiff{block};
    if (!tiff.has(0, 8)) return 1;
    if (block[0] == 'I' && block[1] == 'I')
        tiff.little = true;
    else if (block[0] == 'M' && block[1] == 'M')
        tiff.little = false;
    else
        return 1;
    if (tiff.u16(2) != 42) return 1;
    const std::uint32_t directory = tiff.u32(4);
    if (!tiff.has(directory, 2)) return 1;
    const std::uint16_t entries = tiff.u16(directory);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t at = directory + 2 + std::size_t{i} * 12;
        if (!tiff.has(at, 12)) return 1;
        if (tiff.u16(at) != kOrientationTag) continue;
        if (tiff.u16(at + 2) != kShortType || tiff.u32(at + 4) < 1) return 1;
        const int value = tiff.u16(at + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

}  // namespace

// Start-of-frame markers: C0 to CF except C4 (Huffman tables), C8 (reserved)
// and CC (arithmetic conditioning).
static bool isStartOfFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

JpegFacts readJpegFacts(std::span<const std::uint8_t> bytes) {
    JpegFacts facts;
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return facts;
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF) return facts;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == kStartOfScan || marker == 0xD9) return facts;
        const std::size_t length = static_cast<std::size_t>(bytes[at + 2] << 8 | bytes[at + 3]);
        if (length < 2 || length > bytes.size() - at - 2) return facts;
        const auto body = bytes.subspan(at + 4, length - 2);
        if (marker == kApp1 && body.size() >= 6 && std::memcmp(body.data(), "Exif\0\0", 6) == 0 &&
            facts.orientation == 1)
            facts.orientation = tiffOrientation(body.subspan(6));
        // Frame header: precision, height, width (big-endian 16 bits each).
        if (isStartOfFrame(marker) && body.size() >= 5)
            facts.frame = {body[3] << 8 | body[4], body[1] << 8 | body[2]};
        at += 2 + length;
    }
    return facts;
}

bool orientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

BitmapPtr turnUpright(const Bitmap& picture, int orientation) {
    switch (orientation) {
    case 2: return flipBitmap(picture, true, false);
    case 3: return rotateBitmap(picture, 180);
    case 4: return flipBitmap(picture, false, true);
    case 5: {  // mirrored along the main diagonal: a quarter turn, then left-right
        BitmapPtr turned = rotateBitmap(picture, 90);
        return turned ? flipBitmap(*turned, true, false) : nullptr;
    }
    case 6: return rotateBitmap(picture, 90);
    case 7: {
        BitmapPtr turned = rotateBitmap(picture, 270);
        return turned ? flipBitmap(*turned, true, false) : nullptr;
    }
    case 8: return rotateBitmap(picture, 270);
    default: return nullptr;
    }
}

}  // namespace lv
