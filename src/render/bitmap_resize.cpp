#include "render/bitmap_resize.h"

#include <cstring>

#include "render/scaler.h"

namespace lv {

int resizeMethodFor(int sourceLength, int destLength) {
    if (destLength < sourceLength) return kScaleHermite;
    if (5 * static_cast<std::int64_t>(sourceLength) > 2 * static_cast<std::int64_t>(destLength)) return kScaleBilinear;
    return kScaleCubic;
}

BitmapPtr scaleBitmap(const Bitmap& source, int width, int height, int horizontalMethod, int verticalMethod) {
    if (width < 1 || height < 1) return nullptr;
    if (source.depth == 8 && source.palette != greyRamp()) {
        BitmapPtr expanded = expandTo24(source);
        if (!expanded) return nullptr;
        return scaleBitmap(*expanded, width, height, horizontalMethod, verticalMethod);
    }
    BitmapPtr result = createBitmap(source.name, width, height, source.depth);
    if (!result) return nullptr;
    result->palette = source.palette;
    if (width == source.width && height == source.height) {
        for (int y = 0; y < height; ++y) std::memcpy(result->rows[y], source.rows[y], source.stride);
        return result;
    }
    if (source.width < 1 || source.height < 1) return nullptr;

    ScaleJob job;
    job.sourceWidth = source.width;
    job.sourceHeight = source.height;
    job.destWidth = width;
    job.destHeight = height;
    if (source.depth == 8) {
        // An intensity image: through the grey ramp, one byte back per pixel.
        job.sourceKind = kSourceIndexed;
        job.destPixelSize = 1;
        job.indexOutput = true;
        job.palette = &source.palette;
    } else {
        job.sourceKind = kSourceBgr;
        job.destPixelSize = 3;
    }
    Scaler scaler(horizontalMethod, verticalMethod);
    std::vector<const std::uint8_t*> sourceRows(source.rows.begin(), source.rows.end());
    if (!scaleRows(scaler, job, sourceRows, result->rows)) return nullptr;
    return result;
}

BitmapPtr resizeBitmap(const Bitmap& source, int width, int height) {
    return scaleBitmap(source, width, height, resizeMethodFor(source.width, width), resizeMethodFor(source.height, height));
}

}  // namespace lv
