#include "render/image_ops.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/paint.h"

namespace lv {

namespace {

constexpr double kUnitStep = 0.003921414846476609;  // just under 1 / 255

int gammaStep(double v, double gamma) { return static_cast<int>((std::pow(v / 255, gamma) - v / 255) * 255 + 0.5); }

int bytesPerPixel(const Bitmap& b) { return b.depth / 8; }

}  // namespace

// ---------------------------------------------------------------- adjust

std::array<std::uint8_t, 256> adjustTable(int bright, int contrast, int black, int white) {
    std::array<std::uint8_t, 256> table;
    int hi = white + 255, lo = black;
    double gc = 1;
    if (contrast < 0) {
        const int t = (black - hi) * contrast / 255;
        lo = black + t;
        hi = hi - t;
    } else {
        gc = 1 / ((contrast + 255) * kUnitStep + 1e-8);
    }
    const double gb = 1 / ((bright + 255) * kUnitStep + 1e-8);
    for (int v = 0; v < 256; ++v) {
        int u = v;
        if (bright != 0) u = v + gammaStep(v, gb);
        if (contrast > 0) {
            if (u < 128) {
                const int e = (127 - u) * 2;
                u = 127 - (gammaStep(e, gc) + e) / 2;
            } else {
                const int e = 2 * u - 256;
                u = (gammaStep(e, gc) + e) / 2 + 128;
            }
        }
        table[v] = static_cast<std::uint8_t>(std::clamp((hi - lo) * u / 256 + lo, 0, 255));
    }
    return table;
}

void adjustBitmap(Bitmap& bitmap, int bright, int contrast, int black, int white) {
    if (bright == 0 && contrast == 0 && black == 0 && white == 0) return;
    const auto table = adjustTable(bright, contrast, black, white);
    for (int y = 0; y < bitmap.height; ++y) {
        std::uint8_t* row = bitmap.rows[y];
        for (int i = 0; i < bitmap.stride; ++i) row[i] = table[row[i]];
    }
}

// ---------------------------------------------------------------- flip, rotate

BitmapPtr flipBitmap(const Bitmap& source, bool horizontal, bool vertical) {
    BitmapPtr result = createBitmap(source.name, source.width, source.height, source.depth);
    if (!result) return nullptr;
    const int bytes = bytesPerPixel(source);
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* in = source.rows[vertical ? source.height - 1 - y : y];
        std::uint8_t* out = result->rows[y];
        if (!horizontal) {
            std::memcpy(out, in, source.stride);
            continue;
        }
        for (int x = 0; x < source.width; ++x)
            std::memcpy(out + (source.width - 1 - x) * bytes, in + x * bytes, bytes);
    }
    return result;
}

namespace {

BitmapPtr transpose(const Bitmap& source) {
    BitmapPtr result = createBitmap(source.name, source.height, source.width, source.depth);
    if (!result) return nullptr;
    const int bytes = bytesPerPixel(source);
    for (int i = 0; i < result->height; ++i)
        for (int j = 0; j < result->width; ++j) std::memcpy(result->rows[i] + j * bytes, source.rows[j] + i * bytes, bytes);
    return result;
}

}  // namespace

BitmapPtr rotateBitmap(const Bitmap& source, int degrees) {
    const int angle = ((degrees % 360) + 360) % 360;
    switch (angle) {
        case 0:
            return copyBitmap(source);
        case 180:
            return flipBitmap(source, true, true);
        case 90:
        case 270: {
            BitmapPtr t = transpose(source);
            if (!t) return nullptr;
            return flipBitmap(*t, angle == 90, angle == 270);
        }
        default:
            return nullptr;
    }
}

// ---------------------------------------------------------------- blur

BitmapPtr padBitmap(const Bitmap& source, int radius) {
    BitmapPtr padded = createBitmap(source.name, source.width + 2 * radius, source.height + 2 * radius, source.depth);
    if (!padded) return nullptr;
    padded->palette = source.palette;
    Paint inside;
    inside.pattern = &source;
    inside.patternX = radius;
    inside.patternY = radius;
    Paint black;
    black.colour = 0;
    paintShape(*padded, Shape{radius, radius, radius + source.width, radius + source.height}, inside, black);
    return padded;
}

namespace {

// The weights of the cone blur with reach R = radius + 1: a (2R+1)^2 table.
struct Cone {
    int reach, side;
    std::vector<int> weights;
    explicit Cone(int radius) : reach(radius + 1), side(2 * reach + 1), weights(static_cast<std::size_t>(side) * side) {
        const int scale = 50 * reach;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const int distance = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy)) * 50);
                weights[(dy + reach) * side + dx + reach] = std::max(0, (scale - distance) * 255 / scale);
            }
    }
    int at(int dx, int dy) const { return weights[(dy + reach) * side + dx + reach]; }
};

// One output pixel from the neighbours that lie inside the picture.
void blurPixel(const Bitmap& source, const Cone& cone, int x, int y, std::uint8_t* out) {
    const int bytes = bytesPerPixel(source);
    const int yFrom = std::max(0, y - cone.reach), yTo = std::min(source.height - 1, y + cone.reach);
    const int xFrom = std::max(0, x - cone.reach), xTo = std::min(source.width - 1, x + cone.reach);
    long sum[3] = {0, 0, 0};
    long total = 0;
    for (int ny = yFrom; ny <= yTo; ++ny) {
        const std::uint8_t* row = source.rows[ny];
        for (int nx = xFrom; nx <= xTo; ++nx) {
            const int weight = cone.at(nx - x, ny - y);
            total += weight;
            for (int c = 0; c < bytes; ++c) sum[c] += static_cast<long>(weight) * row[nx * bytes + c];
        }
    }
    for (int c = 0; c < bytes; ++c) out[c] = static_cast<std::uint8_t>(total ? sum[c] / total : 0);
}

// The columns of row y whose whole neighbourhood lies inside the picture share
// one total weight: their bytes are summed along the row, neighbour offset by
// neighbour offset, which vector kernels do many bytes at a time.
void blurInteriorRow(const Bitmap& source, const Cone& cone, int y, std::uint8_t* out, std::vector<std::int32_t>& sums,
                     AccumulateRow accumulate) {
    const int bytes = bytesPerPixel(source);
    const int first = cone.reach * bytes;
    const int count = (source.width - 2 * cone.reach) * bytes;
    sums.assign(static_cast<std::size_t>(count), 0);
    long total = 0;
    for (int dy = -cone.reach; dy <= cone.reach; ++dy)
        for (int dx = -cone.reach; dx <= cone.reach; ++dx) {
            const int weight = cone.at(dx, dy);
            if (weight == 0) continue;
            total += weight;
            accumulate(sums.data(), source.rows[y + dy] + first + dx * bytes, count, weight);
        }
    for (int i = 0; i < count; ++i) out[first + i] = static_cast<std::uint8_t>(sums[i] / total);
}

// One pass of the cone blur with reach R = radius + 1, no padding.
BitmapPtr coneBlur(const Bitmap& source, int radius, AccumulateRow accumulate) {
    const Cone cone(radius);
    BitmapPtr result = createBitmap(source.name, source.width, source.height, source.depth);
    if (!result) return nullptr;
    result->palette = source.palette;
    const int bytes = bytesPerPixel(source);
    const bool hasInterior = source.width > 2 * cone.reach && source.height > 2 * cone.reach;
    std::vector<std::int32_t> sums;
    for (int y = 0; y < source.height; ++y) {
        std::uint8_t* out = result->rows[y];
        const bool interiorRow = hasInterior && y >= cone.reach && y < source.height - cone.reach;
        if (interiorRow) blurInteriorRow(source, cone, y, out, sums, accumulate);
        for (int x = 0; x < source.width; ++x) {
            if (interiorRow && x >= cone.reach && x < source.width - cone.reach) continue;
            blurPixel(source, cone, x, y, out + x * bytes);
        }
    }
    return result;
}

constexpr int kSingleBlur = 4;
constexpr int kSingleSpread = 18;

}  // namespace

BitmapPtr blurBitmap(const Bitmap& source, int radius, AccumulateRow accumulate) {
    if (radius < 1) return nullptr;
    if (!accumulate) accumulate = bestAccumulateRow();
    if (radius > kSingleBlur) {
        BitmapPtr first = blurBitmap(source, radius - kSingleBlur, accumulate);
        return first ? coneBlur(*first, kSingleBlur, accumulate) : nullptr;
    }
    BitmapPtr padded = padBitmap(source, radius);
    return padded ? coneBlur(*padded, radius, accumulate) : nullptr;
}

// ---------------------------------------------------------------- spread

namespace {

struct Offset {
    int dx, dy;
};

std::vector<Offset> spreadDisc(int radius, int angle) {
    std::vector<Offset> disc;
    if (angle < 0) {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (dx * dx + dy * dy < radius * (radius + 1)) disc.push_back({dx, dy});
        return disc;
    }
    // A half-size disc whose centre lies half the radius away, toward the
    // angle: the picture is taken from the opposite side, so it leans that way.
    const double theta = angle * 3.14159265358979323846 / 180;
    const double cx = -std::cos(theta) * radius / 2, cy = std::sin(theta) * radius / 2;
    const double r2 = radius * (radius + 1) / 4.0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if ((dx - cx) * (dx - cx) + (dy - cy) * (dy - cy) < r2) disc.push_back({dx, dy});
    return disc;
}

// The largest value over the disc; above 240 counts as full.
std::uint8_t spreadPixel(const Bitmap& padded, const std::vector<Offset>& disc, int x, int y) {
    int best = 0;
    for (const Offset& o : disc) {
        const int nx = x + o.dx, ny = y + o.dy;
        if (nx < 0 || ny < 0 || nx >= padded.width || ny >= padded.height) continue;
        best = std::max<int>(best, padded.rows[ny][nx]);
        if (best > 240) return 255;
    }
    return static_cast<std::uint8_t>(best);
}

// Where the whole disc lies inside the picture, a row's largest values are
// taken offset by offset along the row, which vector kernels do many at a time.
void spreadInteriorRow(const Bitmap& padded, const std::vector<Offset>& disc, int radius, int y, std::uint8_t* out,
                       MaxRow keepLarger) {
    const int count = padded.width - 2 * radius;
    std::fill(out + radius, out + radius + count, 0);
    for (const Offset& o : disc) keepLarger(out + radius, padded.rows[y + o.dy] + radius + o.dx, count);
    for (int i = radius; i < radius + count; ++i)
        if (out[i] > 240) out[i] = 255;
}

BitmapPtr spreadOnce(const Bitmap& source, int radius, int angle, MaxRow keepLarger) {
    BitmapPtr padded = padBitmap(source, radius);
    if (!padded) return nullptr;
    BitmapPtr result = createBitmap(source.name, padded->width, padded->height, 8);
    if (!result) return nullptr;
    result->palette = source.palette;
    const std::vector<Offset> disc = spreadDisc(radius, angle);
    const bool hasInterior = padded->width > 2 * radius && padded->height > 2 * radius;
    for (int y = 0; y < padded->height; ++y) {
        std::uint8_t* out = result->rows[y];
        const bool interiorRow = hasInterior && y >= radius && y < padded->height - radius;
        if (interiorRow) spreadInteriorRow(*padded, disc, radius, y, out, keepLarger);
        for (int x = 0; x < padded->width; ++x) {
            if (interiorRow && x >= radius && x < padded->width - radius) continue;
            out[x] = spreadPixel(*padded, disc, x, y);
        }
    }
    return result;
}

}  // namespace

BitmapPtr spreadBitmap(const Bitmap& source, int radius, int angle, int gloss, MaxRow keepLarger) {
    if (source.depth != 8 || radius < 1) return nullptr;
    if (!keepLarger) keepLarger = bestMaxRow();
    if (radius > kSingleSpread) {
        BitmapPtr first = spreadBitmap(source, radius - kSingleSpread, angle, gloss, keepLarger);
        return first ? spreadBitmap(*first, kSingleSpread, angle, gloss, keepLarger) : nullptr;
    }
    return spreadOnce(source, radius, angle, keepLarger);
}

// ---------------------------------------------------------------- emboss

namespace {

// Darkens `target` wherever `mask` is set (the two are the same size).
void clearWhere(Bitmap& target, const Bitmap& mask) {
    Paint black;
    black.mask = &mask;
    Paint none;
    none.opacity = 0;
    paintShape(target, Shape{0, 0, target.width, target.height}, black, none);
}

}  // namespace

void embossBitmap(Bitmap& target, const Bitmap& mask, int left, int top, const EmbossLight& light) {
    const int s = std::clamp(light.radius - 1, 1, 2);
    const int areaLeft = left - s - light.radius, areaTop = top - s - light.radius;
    BitmapPtr lit = spreadBitmap(mask, light.radius, light.angle, light.gloss);
    BitmapPtr shaded = spreadBitmap(mask, light.radius, light.angle + 180, std::min(light.gloss, 30));
    if (!lit || !shaded) return;
    BitmapPtr litCopy = copyBitmap(*lit);
    if (!litCopy) return;
    // Each side keeps only what the other does not cover.
    clearWhere(*lit, *shaded);
    clearWhere(*shaded, *litCopy);

    if (BitmapPtr soft = blurBitmap(*lit, s)) {
        adjustBitmap(*soft, 0, 0, 0, 256);
        if (light.gloss > 50) adjustBitmap(*soft, 0, 0, (50 - light.gloss) * 10, 0);
        paintThroughMask(target, *soft, areaLeft, areaTop, light.lightColour, light.lightOpacity);
    }
    if (BitmapPtr soft = blurBitmap(*shaded, s)) {
        adjustBitmap(*soft, 0, 0, 0, 256);
        paintThroughMask(target, *soft, areaLeft, areaTop, light.shadowColour, light.shadowOpacity);
    }
}

}  // namespace lv
