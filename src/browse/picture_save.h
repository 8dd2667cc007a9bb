// Saving the viewer's picture as a JPEG file.
//
// The file is written to a temporary file beside the target and renamed over
// it only after the encoder succeeded, so a failed save leaves the old file
// as it was. Saving never goes through the packed files: the target is
// always a file on disk.
//
//     if (!savePictureAsJpeg(*picture, "C:\\Pics\\a.jpg", 75)) runLabel("saveError");
#pragma once

#include <string>

#include "render/bitmap.h"

namespace lv {

// Quality 0 ... 99 (the codec limits it). False when the file could not be
// made or the picture could not be encoded; the target is then untouched.
bool savePictureAsJpeg(const Bitmap& picture, const std::string& path, int quality);

// The viewer's path as the save dialog offers it: "/" turned into "\".
std::string dialogFileName(std::string path);

}  // namespace lv
