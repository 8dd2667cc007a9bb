#include "platform/font_rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lv {

namespace {

constexpr int kCellWidth = 6, kCellHeight = 13, kAscent = 11;

constexpr std::uint8_t kGlyphs[95][kCellHeight] = {
#include "render/builtin_font_data.inc"
};

const std::uint8_t* glyphFor(char c) {
    const auto code = static_cast<unsigned char>(c);
    return kGlyphs[(code >= 32 && code <= 126 ? code : '?') - 32];
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            std::string_view line = text.substr(start, i - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines.push_back(line);
            start = i + 1;
        }
    }
    return lines;
}

// The built-in face scaled to a character height.
struct ScaledFace {
    double scale;
    int advance, lineHeight, boldWidth;

    explicit ScaledFace(const FontDescription& font) {
        const int charHeight = std::max(1, std::abs(font.height));
        scale = static_cast<double>(charHeight) / kAscent;
        advance = font.width > 0 ? font.width : std::max(1, static_cast<int>(std::lround(kCellWidth * scale)));
        lineHeight = std::max(1, static_cast<int>(std::lround(kCellHeight * scale)));
        boldWidth = font.weight >= 600 ? std::max(1, static_cast<int>(scale / 2)) : 0;
    }
};

void setBit(OneBitImage& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    image.bits[static_cast<std::size_t>(y) * image.rowBytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
}

void drawLine(OneBitImage& image, const FontDescription& font, const ScaledFace& face, std::string_view line,
              int left, int top) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::uint8_t* glyph = glyphFor(line[i]);
        const int x0 = left + static_cast<int>(i) * face.advance;
        for (int y = 0; y < face.lineHeight; ++y) {
            const int row = std::min(kCellHeight - 1, y * kCellHeight / face.lineHeight);
            const int slant = font.italic ? (face.lineHeight - y) / 4 : 0;
            for (int x = 0; x < face.advance; ++x) {
                const int column = std::min(kCellWidth - 1, x * kCellWidth / face.advance);
                if (!(glyph[row] & (0x20 >> column))) continue;
                for (int b = 0; b <= face.boldWidth; ++b) setBit(image, x0 + x + slant + b, top + y);
            }
        }
        const int baseline = static_cast<int>(std::lround((kAscent + 1) * face.scale));
        const int middle = static_cast<int>(std::lround(kAscent * face.scale * 0.6));
        for (int x = 0; x < face.advance; ++x) {
            if (font.underline) setBit(image, x0 + x, top + baseline);
            if (font.strikeOut) setBit(image, x0 + x, top + middle);
        }
    }
}

class BuiltinFontRasteriser final : public FontRasteriser {
public:
    std::optional<OneBitImage> rasterise(const FontDescription& font, std::string_view text, bool fourFold) override {
        const ScaledFace face(font);
        const std::vector<std::string_view> lines = splitLines(text);
        int width = 0;
        for (std::string_view line : lines) width = std::max(width, static_cast<int>(line.size()) * face.advance);
        const int height = static_cast<int>(lines.size()) * face.lineHeight;
        OneBitImage image = oneBitImageFor(width, height, fourFold);
        // Each line centred across; the block centred down.
        int top = (image.height - height) / 2;
        for (std::string_view line : lines) {
            const int lineWidth = static_cast<int>(line.size()) * face.advance;
            drawLine(image, font, face, line, (image.width - lineWidth) / 2, top);
            top += face.lineHeight;
        }
        return image;
    }
};

}  // namespace

FontRasteriser& fontRasteriser() {
    static BuiltinFontRasteriser builtin;
    return builtin;
}

}  // namespace lv
