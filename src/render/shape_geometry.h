// Where the script's image statements put things: the rectangle of a `rect`
// or `oval` from its optional edges and sizes, and the size a `scale` with
// only one of width and height keeps the picture's proportions at.
#pragma once

#include <optional>

#include "codec/fit.h"
#include "render/bitmap_draw.h"

namespace lv {

// The explicit empty defaults let a caller name only the edges it gives
// ({.left = 10}) without GCC's missing-initializer warning.
struct EdgeProperties {
    std::optional<int> left = {}, top = {}, right = {}, bottom = {}, width = {}, height = {};
};

// Starts from the whole picture. A width with a left gives the right, else
// with a right gives the left (heights likewise); each given or worked-out
// edge replaces the picture's; a given width or height finally sets the right
// or bottom from the left or top.
IntRect shapeRectangle(int pictureWidth, int pictureHeight, const EdgeProperties& p);

// The size of a `scale`: a missing side follows the picture's proportions
// (fitted, by the shared fitting rule, into a box 10000 long on that side). Nothing when neither is given.
std::optional<PictureSize> scaledSize(int width, int height, std::optional<int> wantedWidth, std::optional<int> wantedHeight);

}  // namespace lv
