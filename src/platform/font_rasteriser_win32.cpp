#include "platform/font_rasteriser.h"

#include <windows.h>

#include <string>

namespace lv {

namespace {

constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOPREFIX | DT_VCENTER | DT_CENTER;
constexpr UINT kDrawFlags = DT_NOPREFIX | DT_VCENTER | DT_CENTER;

HFONT createFont(const FontDescription& font) {
    LOGFONTA description{};
    description.lfHeight = font.height;
    description.lfWidth = font.width;
    description.lfWeight = font.weight;
    description.lfItalic = font.italic;
    description.lfUnderline = font.underline;
    description.lfStrikeOut = font.strikeOut;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_LH_ANGLES;
    description.lfQuality = PROOF_QUALITY;
    description.lfPitchAndFamily = VARIABLE_PITCH;
    lstrcpynA(description.lfFaceName, font.face.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&description);
}

// Draws into a one-bit device bitmap and copies its rows back, top first.
bool drawInto(HDC dc, const std::string& text, OneBitImage& image) {
    if (image.width == 0 || image.height == 0) return true;
    HBITMAP bitmap = CreateBitmap(image.width, image.height, 1, 1, image.bits.data());
    if (!bitmap) return false;
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, 0x02000000);
    SetTextColor(dc, 0x02FFFFFF);
    SetTextAlign(dc, 0);
    RECT area{0, 0, image.width, image.height};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, kDrawFlags);
    SelectObject(dc, previous);
    const LONG copied = GetBitmapBits(bitmap, static_cast<LONG>(image.bits.size()), image.bits.data());
    DeleteObject(bitmap);
    return copied > 0;
}

class GdiFontRasteriser final : public FontRasteriser {
public:
    std::optional<OneBitImage> rasterise(const FontDescription& font, std::string_view text, bool fourFold) override {
        HFONT handle = createFont(font);
        if (!handle) return std::nullopt;
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) {
            DeleteObject(handle);
            return std::nullopt;
        }
        HGDIOBJ previousFont = SelectObject(dc, handle);
        const std::string line(text);
        RECT measured{0, 0, 0, 0};
        DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &measured, kMeasureFlags);
        OneBitImage image = oneBitImageFor(measured.right - measured.left, measured.bottom - measured.top, fourFold);
        const bool drawn = drawInto(dc, line, image);
        SelectObject(dc, previousFont);
        DeleteDC(dc);
        DeleteObject(handle);
        if (!drawn) return std::nullopt;
        return image;
    }
};

}  // namespace

FontRasteriser& fontRasteriser() {
    static GdiFontRasteriser gdi;
    return gdi;
}

}  // namespace lv
