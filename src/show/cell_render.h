// Rendering a show cell into a finished picture of the output size: the
// decoded JPEG turned, mirrored, framed (cell_geometry.h), tinted and toned,
// resized, laid over the background with the cell's image opacity, then the
// cell's captions and the banner (caption_draw.h).
//
//     CellRenderer renderer;                       // pictures through the file services
//     BitmapPtr frame = renderer.render(show, 0, 1024, 768, true);
//
// A position outside the show's cells gives a 4 x 3 black picture (a show
// ends on black). A cell whose image is missing or does not decode is drawn
// as its background and captions: never a failure, never a skipped cell.
// The result is a 24-bit Bitmap of the asked size (sides at least 1), or null
// only when memory runs out.
//
// Tone and tint go before the resize when the picture is enlarged (fewer
// pixels to touch), after it otherwise. Tone: Adjust with bright, black and
// white = the cell's thousandths × 255 / 1000 and contrast 0.
#pragma once

#include <functional>
#include <string>

#include "platform/font_rasteriser.h"
#include "render/bitmap.h"
#include "show/show_file.h"

namespace lv {

// Opens and decodes a cell's picture by its file name; null when it cannot.
using PictureSource = std::function<BitmapPtr(const std::string& fileName)>;

// The file services' opener (packed files first) and the JPEG decoder at full size.
BitmapPtr decodeCellPicture(const std::string& fileName);

struct CellRenderOptions {
    bool bannerAllowed = true;         // false for the intro
    bool screenSaverPreview = false;   // no banner in the preview window
};

class CellRenderer {
public:
    explicit CellRenderer(PictureSource pictures = decodeCellPicture, FontRasteriser* fonts = nullptr)
        : pictures_(std::move(pictures)), fonts_(fonts) {}

    BitmapPtr render(const Show& show, int position, int width, int height, const CellRenderOptions& options) const;

    // Only the picture of the cell, prepared and placed, over its background
    // (no captions, no banner); exposed for tests and the bench.
    BitmapPtr renderPicture(const Show& show, const ShowCell& cell, int width, int height) const;

private:
    FontRasteriser& fonts() const { return fonts_ ? *fonts_ : fontRasteriser(); }
    PictureSource pictures_;
    FontRasteriser* fonts_;
};

// The background colour of a cell: black without its flag, else the show's
// or its own.
std::uint32_t cellBackground(const Show& show, const ShowCell& cell);

}  // namespace lv
