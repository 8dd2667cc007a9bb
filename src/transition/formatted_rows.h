// A surface's rows kept in one output's pixel format, each converted the
// first time it is asked for, so copying whole blocks of the surface to that
// output again and again is a row copy instead of a conversion per frame.
//
//     FormattedRows rows;
//     const std::uint8_t* r = rows.row(surface, *out.format, y);
//     if (r != nullptr) std::memcpy(target, r + x * out.format->bytesPerPixel, n * out.format->bytesPerPixel);
//
// Limits: only the layouts fixed by their code (24 and 32 bits) are kept; a
// 16-bit format gives null and the caller converts as before. One surface and
// one format at a time: asking for another starts over. The surface must not
// change while its rows are kept; clear() forgets them.
#pragma once

#include <cstdint>
#include <vector>

#include "display/pixel_format.h"
#include "transition/surface.h"

namespace lv {

class FormattedRows {
public:
    // Row y of the surface in the format (0 <= y < height); null when the
    // format is not kept.
    const std::uint8_t* row(const Surface& surface, const PixelFormat& format, std::int32_t y);
    // Converts every row now (a transition's begin), so that its frames only copy.
    void prepare(const Surface& surface, const PixelFormat& format);
    void clear();
    // Rows top ... top + count - 1 (all inside the surface) converted, as one
    // block: row top + i starts at the result + i x rowBytes(). Null when the
    // format is not kept. One call per rectangle instead of one per row.
    const std::uint8_t* rows(const Surface& surface, const PixelFormat& format, std::int32_t top, std::int32_t count);
    std::size_t rowBytes() const { return rowBytes_; }

private:
    void start(const Surface& surface, const PixelFormat& format);

    const Surface* surface_ = nullptr;
    int code_ = pixel_code::kUnsupported;
    std::size_t rowBytes_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint8_t> ready_;  // per row: converted yet
};

}  // namespace lv
