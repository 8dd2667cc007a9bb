#include "transition/mask_picture.h"

#include <algorithm>
#include <array>

#include "codec/jpeg.h"
#include "render/bitmap_resize.h"
#include "render/image_ops.h"
#include "shell/file_services.h"

namespace lv {

std::string_view maskFileName(std::string_view maskName) {
    const std::size_t slash = maskName.rfind('\\');
    return slash == std::string_view::npos ? maskName : maskName.substr(slash + 1);
}

BitmapPtr greyBitmap(const Bitmap& source) {
    if (source.depth != 8 && source.depth != 24) return nullptr;
    BitmapPtr grey = createBitmap(source.name, source.width, source.height, 8);
    if (!grey) return nullptr;
    // Rec. 601 weights in 1/256: 77 red, 150 green, 29 blue; a grey colour keeps its value.
    const auto luma = [](int r, int g, int b) { return static_cast<std::uint8_t>((r * 77 + g * 150 + b * 29 + 128) >> 8); };
    std::array<std::uint8_t, 256> paletteGrey{};
    for (std::size_t i = 0; i < 256; ++i) {
        paletteGrey[i] = luma(source.palette[i].red, source.palette[i].green, source.palette[i].blue);
    }
    for (std::int32_t y = 0; y < source.height; ++y) {
        const std::uint8_t* in = source.rows[static_cast<std::size_t>(y)];
        std::uint8_t* out = grey->rows[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < source.width; ++x) {
            out[x] = source.depth == 8 ? paletteGrey[in[x]] : luma(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        }
    }
    return grey;
}

namespace {

// The puzzle's tile order: a fixed permutation of 0 ... 255. Its first row
// is drawn by hand; the other values follow in the order k x 97 mod 256.
std::array<std::uint8_t, 256> puzzleOrder() {
    constexpr std::uint8_t kFirst[] = {84, 154, 226, 112, 36, 151, 177, 55, 6, 66, 147, 208, 73, 153, 196, 80};
    std::array<bool, 256> used{};
    std::array<std::uint8_t, 256> order{};
    std::size_t n = 0;
    for (std::uint8_t v : kFirst) {
        order[n++] = v;
        used[v] = true;
    }
    for (std::uint32_t k = 0; k < 256; ++k) {
        const std::uint8_t v = static_cast<std::uint8_t>(k * 97 % 256);
        if (!used[v]) order[n++] = v;
    }
    return order;
}

struct Run {
    std::int8_t start, length;
};
// A knob pushed through a vertical edge to the right: 18 rows from 9 above
// the tile's middle row; columns from the first column of the neighbour.
constexpr Run kRightKnob[18] = {{0, 6},  {0, 9},  {0, 11}, {0, 12}, {0, 13}, {0, 14}, {0, 14}, {0, 14}, {0, 14},
                                {0, 14}, {0, 14}, {0, 14}, {0, 14}, {0, 13}, {0, 12}, {0, 11}, {0, 9},  {0, 6}};
// A knob pushed through a horizontal edge downwards: 22 rows from the first
// row of the neighbour, columns about the tile's middle column (a neck, then a head).
constexpr Run kDownKnob[22] = {{-4, 8},   {-4, 8},   {-4, 8},   {-6, 12},  {-8, 16},  {-9, 18},  {-10, 20}, {-10, 20},
                               {-11, 22}, {-11, 22}, {-11, 22}, {-11, 22}, {-11, 22}, {-11, 22}, {-10, 20}, {-10, 20},
                               {-9, 18},  {-8, 16},  {-7, 14},  {-6, 12},  {-4, 8},   {-2, 4}};

constexpr std::int32_t kTileWidth = 60, kTileHeight = 50, kTiles = 16;

void fillRun(Bitmap& mask, std::int32_t y, std::int32_t x, std::int32_t length, std::uint8_t value) {
    if (y < 0 || y >= mask.height) return;
    for (std::int32_t i = 0; i < length; ++i) {
        if (x + i >= 0 && x + i < mask.width) mask.rows[static_cast<std::size_t>(y)][x + i] = value;
    }
}

// The knob of tile (c, r) through its right edge (or, mirrored, its left edge).
void horizontalKnob(Bitmap& mask, std::int32_t c, std::int32_t r, bool toRight, std::uint8_t value) {
    const std::int32_t edge = toRight ? (c + 1) * kTileWidth : c * kTileWidth;
    const std::int32_t top = r * kTileHeight + kTileHeight / 2 - 9;
    for (std::int32_t i = 0; i < 18; ++i) {
        const Run run = kRightKnob[i];
        fillRun(mask, top + i, toRight ? edge + run.start : edge - run.start - run.length, run.length, value);
    }
}

// The knob of tile (c, r) through its bottom edge (or, mirrored, its top edge).
void verticalKnob(Bitmap& mask, std::int32_t c, std::int32_t r, bool down, std::uint8_t value) {
    const std::int32_t middle = c * kTileWidth + kTileWidth / 2;
    for (std::int32_t i = 0; i < 22; ++i) {
        const Run run = kDownKnob[i];
        const std::int32_t y = down ? (r + 1) * kTileHeight + i : r * kTileHeight - 1 - i;
        fillRun(mask, y, middle + run.start, run.length, value);
    }
}

}  // namespace

BitmapPtr puzzleMask() {
    BitmapPtr mask = createBitmap("puzzle", kPuzzleWidth, kPuzzleHeight, 8);
    if (!mask) return nullptr;
    const std::array<std::uint8_t, 256> order = puzzleOrder();
    const auto value = [&](std::int32_t c, std::int32_t r) { return order[static_cast<std::size_t>(kTiles * r + c)]; };
    for (std::int32_t y = 0; y < kPuzzleHeight; ++y) {
        for (std::int32_t x = 0; x < kPuzzleWidth; ++x) mask->rows[static_cast<std::size_t>(y)][x] = value(x / kTileWidth, y / kTileHeight);
    }
    // Each edge between two pieces gets one knob; which side pushes it
    // alternates with the parity of the tile, so neighbours interlock.
    for (std::int32_t r = 0; r < kTiles; ++r) {
        for (std::int32_t c = 0; c < kTiles; ++c) {
            const bool even = (c + r) % 2 == 0;
            if (c + 1 < kTiles) {
                if (even) horizontalKnob(*mask, c, r, true, value(c, r));
                else horizontalKnob(*mask, c + 1, r, false, value(c + 1, r));
            }
            if (r + 1 < kTiles) {
                if (!even) verticalKnob(*mask, c, r, true, value(c, r));
                else verticalKnob(*mask, c, r + 1, false, value(c, r + 1));
            }
        }
    }
    return mask;
}

int loadMaskPicture(std::string_view maskName, std::string_view folder, int rotation, std::int32_t width,
                    std::int32_t height, std::vector<std::uint8_t>& grey) {
    const std::string_view file = maskFileName(maskName);
    BitmapPtr picture;
    if (file == "puzzle") {
        picture = puzzleMask();
    } else {
        std::string path(folder);
        path += file;
        StreamPtr stream = openWithPackedFiles(path, OpenMode::kRead);
        if (!stream) return 2;
        BitmapPtr decoded = codec::decodeJpeg(*stream, 0, 0);
        if (!decoded) return 2;
        picture = greyBitmap(*decoded);
    }
    if (!picture) return 2;
    if (rotation % 360 != 0) {
        picture = rotateBitmap(*picture, rotation);
        if (!picture) return 2;
    }
    if (picture->width != width || picture->height != height) {
        picture = resizeBitmap(*picture, width, height);
        if (!picture || picture->depth != 8) return 2;
    }
    grey.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = picture->rows[static_cast<std::size_t>(y)];
        std::copy(row, row + width, grey.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    return 0;
}

}  // namespace lv
