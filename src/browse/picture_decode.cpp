#include "browse/picture_decode.h"

#include <utility>

#include "browse/jpeg_facts.h"
#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "browse/view_geometry.h"
#include "render/bitmap_resize.h"

namespace lv {

namespace {

BitmapPtr decode(std::span<const std::uint8_t> bytes, int wantedWidth, int wantedHeight) {
    codec::MemoryStream stream(bytes);
    return codec::decodeJpeg(stream, wantedWidth, wantedHeight);
}

BitmapPtr decodeScaled(std::span<const std::uint8_t> bytes, int scale) {
    codec::MemoryStream stream(bytes);
    return codec::decodeJpegScaled(stream, scale);
}

BitmapPtr upright(BitmapPtr picture, int orientation) {
    if (!picture) return picture;
    if (BitmapPtr turned = turnUpright(*picture, orientation)) return turned;
    return picture;
}

}  // namespace

BitmapPtr decodeFullPicture(std::span<const std::uint8_t> bytes) {
    return upright(decode(bytes, 0, 0), readJpegFacts(bytes).orientation);
}

BitmapPtr decodeTilePicture(std::span<const std::uint8_t> bytes, PictureSize box) {
    if (box.width < 1 || box.height < 1) return nullptr;
    const JpegFacts facts = readJpegFacts(bytes);
    // A picture stored on its side is fitted into the box turned with it.
    const bool swaps = orientationSwapsSides(facts.orientation);
    const PictureSize storedBox = swaps ? PictureSize{box.height, box.width} : box;
    BitmapPtr picture = decode(bytes, storedBox.width, storedBox.height);
    if (!picture) return nullptr;
    const PictureSize source = facts.frame.width > 0 && facts.frame.height > 0
                                   ? facts.frame
                                   : PictureSize{picture->width, picture->height};
    const PictureSize fitted = fitSize(source, storedBox);
    if (fitted.width >= 1 && fitted.height >= 1 && (picture->width != fitted.width || picture->height != fitted.height)) {
        BitmapPtr resized = resizeBitmap(*picture, fitted.width, fitted.height);
        if (!resized) return nullptr;
        picture = std::move(resized);
    }
    return upright(std::move(picture), facts.orientation);
}

ViewerDecode decodeViewerPicture(std::span<const std::uint8_t> bytes, PictureSize window) {
    const JpegFacts facts = readJpegFacts(bytes);
    const bool swaps = orientationSwapsSides(facts.orientation);
    const PictureSize whole = swaps ? PictureSize{facts.frame.height, facts.frame.width} : facts.frame;
    const bool known = whole.width > 0 && whole.height > 0 && window.width > 0 && window.height > 0;
    // Drawn at most half size: trunc(side x zoom) never passes ceil(side / 2).
    if (known && fitZoom(whole, window) <= 0.5) {
        BitmapPtr half = upright(decodeScaled(bytes, 2), facts.orientation);
        // The facts name the frame that was decoded (else: decode it whole).
        if (half && half->width == (whole.width + 1) / 2 && half->height == (whole.height + 1) / 2)
            return ViewerDecode{std::move(half), whole, 2};
    }
    BitmapPtr full = decodeFullPicture(bytes);
    const PictureSize size = full ? PictureSize{full->width, full->height} : PictureSize{};
    return ViewerDecode{std::move(full), size, 1};
}

}  // namespace lv
