#include "browse/picture_decode.h"

#include <utility>

#include "browse/jpeg_facts.h"
#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "render/bitmap_resize.h"

namespace lv {

namespace {

BitmapPtr decode(std::span<const std::uint8_t> bytes, int wantedWidth, int wantedHeight) {
    codec::MemoryStream stream(bytes);
    return codec::decodeJpeg(stream, wantedWidth, wantedHeight);
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

}  // namespace lv
