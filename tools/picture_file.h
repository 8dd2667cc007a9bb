// Pictures that the tool reads and writes for people: PNG, or PPM/PGM.
//
// The format is chosen by the file name's extension: ".png" (any case) is
// PNG, everything else PPM (PGM for a grey 8-bit Bitmap). PNG goes through
// stb_image / stb_image_write (Debian's libstb-dev), never a hand-written
// encoder. Writing goes to a temporary file beside a regular target and is
// renamed over it only when complete.
//
//     std::string error;
//     if (!lv::tool::savePicture(*bitmap, "frame-000.png", error)) report(error);
#pragma once

#include <string>

#include "render/bitmap.h"

namespace lv::tool {

bool isPngName(const std::string& path);

// Null with a reason in `error` for an unreadable or malformed picture.
BitmapPtr loadPicture(const std::string& path, std::string& error);

// PNG of the Bitmap's colours (grey PNG for an 8-bit Bitmap with the grey
// ramp), or PPM/PGM; false with a reason in `error` when it cannot be written.
bool savePicture(const Bitmap& bitmap, const std::string& path, std::string& error);

}  // namespace lv::tool
