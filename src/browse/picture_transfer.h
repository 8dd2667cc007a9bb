// Byte layouts that carry a picture or a file to other programs: the packed
// device-independent bitmap of the clipboard (and of printing), and the
// file-drop block of dragging and of the clipboard.
//
// Packed DIB: a 40-byte BITMAPINFOHEADER (width, positive height: rows bottom
// up, 1 plane, 8 or 24 bits, no compression, image size 0, 2592 pixels per
// metre both ways), for 8 bits the 256 palette colours as blue, green, red,
// 0, then the rows last picture row first, each padded with zeros to
// (width x bits / 8 + 3) rounded down to a multiple of 4, then four spare
// zero bytes. A 24-bit picture 101 pixels wide has rows of 304 bytes.
//
// Drop block: a 20-byte header (file list offset 20, the drop point, non-
// client flag 0, 8-bit names), the path, its terminating zero and at least
// two more zeros, the size rounded up to a multiple of 4.
//
// Limits: null (empty) for a picture whose block would not fit 32-bit sizes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "render/bitmap.h"

namespace lv {

inline constexpr int kDibHeaderSize = 40;
inline constexpr int kDibPixelsPerMetre = 2592;

// The row length of a DIB of that width and depth.
std::int32_t dibRowBytes(int width, int depth);
// The header and colour table size: 40, or 40 + 1024 for 8 bits.
std::int32_t dibHeaderBytes(int depth);

std::vector<std::uint8_t> packedDib(const Bitmap& picture);

inline constexpr int kDropHeaderSize = 20;
std::vector<std::uint8_t> dropFilesBlock(std::string_view path, int x, int y);

}  // namespace lv
