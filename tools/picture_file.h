// Pictures that the tool reads and writes for people: PNG, or PPM/PGM.
//
// The format is chosen by the file name's extension: ".png" (any case) is
// PNG, everything else PPM (PGM for a grey 8-bit Bitmap); "-" is standard
// input or output as PPM/PGM. PNG goes through stb_image / stb_image_write
// (Debian's libstb-dev), never a hand-written encoder. Output goes through
// the shared FileWriter (shell/file_writer.h): a regular target is replaced
// only when complete, a device or FIFO is written directly.
//
//     std::string error;
//     if (!lv::tool::savePicture(*bitmap, "frame-000.png", error)) report(error);
//
// PictureWriter streams a picture row by row: PPM rows go to the file as
// they come, PNG rows are gathered (the PNG encoder needs them all).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/bitmap.h"
#include "shell/file_writer.h"

namespace lv::tool {

bool isPngName(const std::string& path);

// Null with a reason in `error` for an unreadable or malformed picture.
BitmapPtr loadPicture(const std::string& path, std::string& error);

// PNG of the Bitmap's colours (grey PNG for an 8-bit Bitmap with the grey
// ramp), or PPM/PGM; false with a reason in `error` when it cannot be written.
bool savePicture(const Bitmap& bitmap, const std::string& path, std::string& error);

class PictureWriter {
public:
    // False with a reason when the target cannot be written.
    bool open(const std::string& path, int width, int height, bool grey, std::string& error);
    // One row in file order: width bytes of grey, or 3 * width of red, green, blue.
    bool writeRow(const std::uint8_t* row);
    // Finishes the file; nothing replaces the target unless every row came.
    bool commit(std::string& error);

private:
    FileWriter file_;
    bool png_ = false;
    int width_ = 0, height_ = 0, channels_ = 0, rowsWritten_ = 0;
    std::vector<std::uint8_t> pngRows_;
};

}  // namespace lv::tool
