// Captions and the banner over a rendered show cell.
//
//     drawCaption(frame, cell.captions[0]);
//     drawBanner(frame, show.bannerText, show.bannerMiddle != 0);
//
// A caption: its anchor is in 1/10000 of the frame, its font height in
// 1/20000 of the frame height. The text is rendered four-fold (smooth
// coverage) and its box is the mask's size, widened by 2 for an outline and
// by twice the shadow margin m = max(1, (box height / 10 + 1) / 2) for a
// shadow. The anchor is the box's left edge, right edge (alignment 1) or
// centre (2), and the box is centred vertically on it. Layers: a blurred
// black shadow (radius min(m, 3), offset m), the one-pixel outline, the text;
// outline and text with the text opacity.
//
// The banner: a band from W / 10 to 9 W / 10 across, 2 H / 40 high at
// 34 H / 40 (or 19 H / 40 in the middle), filled in 0x320080 at opacity 200
// over the full width and grown by H / 40 above and below, with the text in
// bold "Arial" resized to the box, in 0x40C0FF.
//
// Text that cannot be rendered (no font, empty text) is skipped; nothing fails.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/font_rasteriser.h"
#include "render/bitmap.h"
#include "render/paint.h"
#include "show/show_file.h"

namespace lv {

inline constexpr std::uint32_t kBannerBandColour = 0x320080;
inline constexpr int kBannerBandOpacity = 200;
inline constexpr std::uint32_t kBannerTextColour = 0x40C0FF;

// The text mask stamped at the eight places around (1, 1): the letters grown
// by one pixel all round (a mask 2 larger each way); null without memory.
BitmapPtr outlineMask(const Bitmap& text);

void drawCaption(Bitmap& frame, const ShowCaption& caption, FontRasteriser& fonts = fontRasteriser());

// The band rectangle (top and bottom of the filled band, full width) for a frame.
struct BannerBand {
    int boxLeft, boxTop, boxRight, boxBottom;  // where the text goes
    int bandTop, bandBottom;                   // the filled band, 0 to W across
};
BannerBand bannerBand(int width, int height, bool middle);

void drawBanner(Bitmap& frame, std::string_view text, bool middle, FontRasteriser& fonts = fontRasteriser());

}  // namespace lv
