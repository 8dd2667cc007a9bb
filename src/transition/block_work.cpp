#include "transition/block_work.h"

#include <algorithm>
#include <cstring>

namespace lv {

namespace {

// `grown` minus `old`, when `grown` contains it: up to four bands.
std::vector<Rect> gained(const Rect& grown, const Rect& old) {
    if (old.empty()) return {grown};
    return {Rect{grown.left, grown.top, grown.width, old.top - grown.top},
            Rect{grown.left, old.bottom(), grown.width, grown.bottom() - old.bottom()},
            Rect{grown.left, old.top, old.left - grown.left, old.height},
            Rect{old.right(), old.top, grown.right() - old.right(), old.height}};
}

bool contains(const Rect& outer, const Rect& inner) {
    return inner.empty() || (inner.left >= outer.left && inner.top >= outer.top && inner.right() <= outer.right() &&
                             inner.bottom() <= outer.bottom());
}

}  // namespace

void BlockWork::reset(const Pictures& pictures, const PixelFormat* format, std::int32_t splitColumn) {
    pictures_ = pictures;
    const Surface& outgoing = *pictures.outgoing;
    const bool kept = format != nullptr && pictures.outgoingRows->row(outgoing, *format, 0) != nullptr;
    kept_ = kept;
    if (kept) format_ = *format;
    code_ = kept ? format->code : pixel_code::kUnsupported;
    bytesPerPixel_ = kept ? format->bytesPerPixel : 4;
    width_ = outgoing.width;
    height_ = outgoing.height;
    split_ = splitColumn > 0 && splitColumn < width_ ? splitColumn : width_;
    const std::size_t bytes = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) *
                              static_cast<std::size_t>(bytesPerPixel_);
    storage_.assign((bytes + 3) / 4, 0);
    held_.clear();
    copyFrom(false, Rect{0, 0, outgoing.width, outgoing.height});
}

std::size_t BlockWork::rowBytesAt(std::int32_t x) const {
    return static_cast<std::size_t>(x < split_ ? split_ : width_ - split_) * static_cast<std::size_t>(bytesPerPixel_);
}

std::size_t BlockWork::offsetOf(std::int32_t x, std::int32_t y) const {
    // The second band follows the first band's rows.
    const std::size_t band = x < split_ ? 0 : static_cast<std::size_t>(height_) * rowBytesAt(0);
    const std::int32_t column = x < split_ ? x : x - split_;
    return band + rowBytesAt(x) * static_cast<std::size_t>(y) +
           static_cast<std::size_t>(column) * static_cast<std::size_t>(bytesPerPixel_);
}

void BlockWork::copyFrom(bool incoming, const Rect& area) {
    const Surface& surface = incoming ? *pictures_.incoming : *pictures_.outgoing;
    FormattedRows& rows = incoming ? *pictures_.incomingRows : *pictures_.outgoingRows;
    const Rect whole = intersect(area, Rect{0, 0, surface.width, surface.height});
    for (std::int32_t left = whole.left; left < whole.right(); left = bandEnd(left)) {
        const std::int32_t right = std::min(whole.right(), bandEnd(left));
        const std::size_t offset = static_cast<std::size_t>(left) * static_cast<std::size_t>(bytesPerPixel_);
        const std::size_t length = static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bytesPerPixel_);
        for (std::int32_t y = whole.top; y < whole.bottom(); ++y) {
            const std::uint8_t* from = kept_ ? rows.row(surface, format_, y)
                                             : reinterpret_cast<const std::uint8_t*>(surface.row(y));
            std::memcpy(bytes() + offsetOf(left, y), from + offset, length);
        }
    }
}

void BlockWork::hold(const std::vector<Rect>& incoming) {
    if (!ready() || incoming == held_) return;
    bool grew = incoming.size() == held_.size();
    for (std::size_t i = 0; grew && i < incoming.size(); ++i) grew = contains(incoming[i], held_[i]);
    if (grew) {
        for (std::size_t i = 0; i < incoming.size(); ++i) {
            for (const Rect& band : gained(incoming[i], held_[i])) {
                if (!band.empty()) copyFrom(true, band);
            }
        }
    } else {
        for (const Rect& old : held_) copyFrom(false, old);
        for (const Rect& now : incoming) copyFrom(true, now);
    }
    held_ = incoming;
}

}  // namespace lv
