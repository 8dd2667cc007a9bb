// Text as an 8-bit coverage mask (a Bitmap named "text"): the platform's font
// engine draws the text once into a one-bit image and the mask measures ink,
// 0 for background. Plain rendering gives 255 for ink; four-fold rendering
// draws at four times the size in each direction and turns each 4 x 4 block
// into 0..252 (the set samples among 16, times 126 / 8), for smooth edges
// without a grey-level font renderer.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/font_rasteriser.h"
#include "render/bitmap.h"

namespace lv {

// Entry v is popcount(v) * 126 / 8: the coverage of 8 samples.
const std::array<std::uint8_t, 256>& coverageTable();

// The mask of the text drawn with the font, or null when the font engine or
// memory failed. The font description is the caller's character size; the
// four-fold rendering scales a copy of it.
BitmapPtr renderTextMask(const FontDescription& font, std::string_view text, bool fourFold,
                         FontRasteriser& rasteriser = fontRasteriser());

// The mask of a one-bit image, as above (exposed for tests).
BitmapPtr maskFromOneBitImage(const OneBitImage& image, bool fourFold);

}  // namespace lv
