#include "transition/block_work.h"

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

void BlockWork::reset(const Pictures& pictures, const PixelFormat* format) {
    pictures_ = pictures;
    const Surface& outgoing = *pictures.outgoing;
    const bool kept = format != nullptr && pictures.outgoingRows->row(outgoing, *format, 0) != nullptr;
    kept_ = kept;
    if (kept) format_ = *format;
    code_ = kept ? format->code : pixel_code::kUnsupported;
    bytesPerPixel_ = kept ? format->bytesPerPixel : 4;
    rowBytes_ = static_cast<std::size_t>(outgoing.width) * static_cast<std::size_t>(bytesPerPixel_);
    storage_.assign((rowBytes_ * static_cast<std::size_t>(outgoing.height) + 3) / 4, 0);
    held_.clear();
    copyFrom(false, Rect{0, 0, outgoing.width, outgoing.height});
}

void BlockWork::copyFrom(bool incoming, const Rect& area) {
    const Surface& surface = incoming ? *pictures_.incoming : *pictures_.outgoing;
    FormattedRows& rows = incoming ? *pictures_.incomingRows : *pictures_.outgoingRows;
    const Rect part = intersect(area, Rect{0, 0, surface.width, surface.height});
    const std::size_t offset = static_cast<std::size_t>(part.left) * static_cast<std::size_t>(bytesPerPixel_);
    const std::size_t length = static_cast<std::size_t>(part.width) * static_cast<std::size_t>(bytesPerPixel_);
    for (std::int32_t y = part.top; y < part.bottom(); ++y) {
        const std::uint8_t* from = kept_ ? rows.row(surface, format_, y)
                                                      : reinterpret_cast<const std::uint8_t*>(surface.row(y));
        std::memcpy(bytes() + rowBytes_ * static_cast<std::size_t>(y) + offset, from + offset, length);
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
