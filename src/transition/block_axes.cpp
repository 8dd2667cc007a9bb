#include "transition/block_axes.h"

#include <algorithm>

namespace lv {

Segment stillSegment(std::int32_t start, std::int32_t length) {
    return Segment{Segment::Part::Still, start, length, 0, start, length};
}

std::vector<Segment> closingSegments(std::int32_t extent, std::int32_t p) {
    const std::int32_t a = (extent + 1) / 2, b = extent - a;
    const std::int32_t q = p - (a - b);
    std::vector<Segment> out;
    // The near half enters from position 0, its cut edge (source a) leading.
    if (p > 0) out.push_back(Segment{Segment::Part::Near, 0, p, a - p, 0, extent});
    const std::int32_t middleEnd = extent - std::max(q, 0);
    if (middleEnd > p) out.push_back(Segment{Segment::Part::Middle, p, middleEnd - p, 0, 0, extent});
    if (q > 0) out.push_back(Segment{Segment::Part::Far, extent - q, q, a - (extent - q), 0, extent});
    return out;
}

std::vector<Segment> openingSegments(std::int32_t extent, std::int32_t pictureStart, std::int32_t pictureLength,
                                     std::int32_t p) {
    const std::int32_t a = (extent + 1) / 2, b = extent - a;
    const std::int32_t near = (pictureLength + 1) / 2;
    std::vector<Segment> out;
    const std::int32_t middleStart = a - p, middleEnd = std::max(a, b + p);
    // The near half of the outgoing picture moves towards position 0 by p.
    if (p < a && middleStart > 0) {
        out.push_back(Segment{Segment::Part::Near, 0, middleStart, p, pictureStart, near});
    }
    if (middleEnd > middleStart) out.push_back(Segment{Segment::Part::Middle, middleStart, middleEnd - middleStart, 0, 0, extent});
    // The far half moves towards the far edge by p once the middle has opened.
    if (p < a && middleEnd < extent) {
        out.push_back(Segment{Segment::Part::Far, middleEnd, extent - middleEnd, -p, pictureStart + near,
                              pictureLength - near});
    }
    return out;
}

std::vector<Segment> markShown(const std::vector<Segment>& segments, std::int32_t shownStart, std::int32_t shownEnd) {
    std::vector<Segment> out;
    for (const Segment& segment : segments) {
        const std::int32_t end = segment.start + segment.length;
        const std::int32_t from = std::clamp(shownStart, segment.start, end), to = std::clamp(shownEnd, from, end);
        if (segment.part != Segment::Part::Middle || to == from) {
            out.push_back(segment);
            continue;
        }
        Segment piece = segment;
        const std::int32_t cuts[] = {segment.start, from, to, end};
        for (int i = 0; i < 3; ++i) {
            piece.start = cuts[i];
            piece.length = cuts[i + 1] - cuts[i];
            piece.shown = i == 1;
            if (piece.length > 0) out.push_back(piece);
        }
    }
    return out;
}

}  // namespace lv
