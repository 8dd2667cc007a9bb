// The platform's font engine: draws a text once into a one-bit image.
//
// On Windows this is GDI with the font the description names. The headless
// host (native tests, lumavine-tool) has no font engine; it draws with a small
// built-in bitmap font (the 6x13 "fixed" face) scaled to the wanted height,
// so that text composition runs and is tested everywhere, though with other
// letter shapes and widths than Windows gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

struct FontDescription {
    int height = -20;  // negative: a character height
    int width = 0;     // 0: the font's own proportions
    int weight = 400;  // 700 for bold
    bool italic = false, underline = false, strikeOut = false;
    std::string face = "Arial";
};

// Rows top first, most significant bit leftmost; `rowBytes` per row.
struct OneBitImage {
    int width = 0, height = 0, rowBytes = 0;
    std::vector<std::uint8_t> bits;
    bool bit(int x, int y) const { return bits[static_cast<std::size_t>(y) * rowBytes + x / 8] & (0x80 >> (x % 8)); }
};

// The image a measured text of w x h pixels is drawn into: plain rendering
// keeps w x h with rows of w raised to a multiple of 16 bits; four-fold
// rendering raises w to a multiple of 16 and h to a multiple of 4.
OneBitImage oneBitImageFor(int measuredWidth, int measuredHeight, bool fourFold);

class FontRasteriser {
public:
    virtual ~FontRasteriser() = default;
    // Measures the text with the font and draws it, centred, into the image
    // that oneBitImageFor gives for the measured size. Nothing when the font
    // or the drawing surface cannot be made.
    virtual std::optional<OneBitImage> rasterise(const FontDescription& font, std::string_view text,
                                                 bool fourFold) = 0;
};

FontRasteriser& fontRasteriser();

}  // namespace lv
