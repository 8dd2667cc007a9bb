#include "browse/picture_save.h"

#include <algorithm>

#include "codec/byte_stream.h"
#include "codec/jpeg.h"

namespace lv {

bool savePictureAsJpeg(const Bitmap& picture, const std::string& path, int quality) {
    codec::AtomicFileSink sink(path);
    if (!sink.ok()) return false;
    // encodeJpeg closes (renames into place) only after the encoder finished.
    if (codec::encodeJpeg(sink, picture, quality) != 0) {
        sink.discard();
        return false;
    }
    return true;
}

std::string dialogFileName(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace lv
