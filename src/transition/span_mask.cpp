#include "transition/span_mask.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "transition/prefetch.h"

namespace lv {

// --- claim map and sources -------------------------------------------------

ClaimMap::ClaimMap(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      map_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

bool ClaimMap::claim(std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    std::uint8_t& cell = map_[static_cast<std::size_t>(y) * width_ + x];
    if (cell != 0) return false;
    cell = 1;
    return true;
}

void ClaimMap::clear() { std::fill(map_.begin(), map_.end(), 0); }

bool SetSource::valid() const {
    return outgoing != nullptr && incoming != nullptr && outgoing->width == incoming->width &&
           outgoing->height == incoming->height && outgoing->stride == incoming->stride && incoming->width <= 65536;
}

namespace {

PixelSet emptySet(const SetSource& source) {
    PixelSet set;
    if (source.valid()) set.rowCounts.assign(static_cast<std::size_t>(source.height()), 0);
    return set;
}

void fetchSet(const SetSource& source, PixelSet& set) {
    std::size_t at = 0;
    for (std::int32_t y = 0; y < set.rowCount(); ++y) {
        const std::uint32_t* in = source.incoming->row(y);
        const std::uint32_t* out = source.outgoing->row(y);
        for (std::uint16_t k = 0; k < set.rowCounts[y]; ++k, ++at) {
            set.pixels[at].incoming = in[set.pixels[at].x];
            set.pixels[at].outgoing = out[set.pixels[at].x];
        }
    }
    set.valuesFetched = true;
}

// Sorts a row's columns; the walks of lines and rings mostly give them in
// order or in reverse order already.
void sortColumns(std::vector<std::uint16_t>::iterator first, std::vector<std::uint16_t>::iterator last) {
    if (std::is_sorted(first, last)) return;
    if (std::is_sorted(first, last, std::greater<>())) {
        std::reverse(first, last);
        return;
    }
    std::sort(first, last);
}

}  // namespace

// --- builders ----------------------------------------------------------------

PixelSet setOfPoints(const SetSource& source, std::vector<SetPoint> points) {
    PixelSet set = emptySet(source);
    if (set.rowCounts.empty()) return set;
    const std::int32_t w = source.width(), h = source.height();
    std::erase_if(points, [&](const SetPoint& p) { return p.x < 0 || p.y < 0 || p.x >= w || p.y >= h; });
    if (points.empty()) return set;
    // Rows by counting over the rows the points span (a row's points then
    // keep their order), columns by sorting each row.
    std::int32_t top = h, bottom = 0;
    for (const SetPoint& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y + 1);
    }
    const std::size_t span = static_cast<std::size_t>(bottom - top);
    set.firstRow = top;
    std::vector<std::uint32_t> start(span + 1, 0);
    for (const SetPoint& p : points) ++start[static_cast<std::size_t>(p.y - top) + 1];
    for (std::size_t r = 0; r < span; ++r) start[r + 1] += start[r];
    std::vector<std::uint16_t> columns(points.size());
    {
        std::vector<std::uint32_t> at(start.begin(), start.end() - 1);
        for (const SetPoint& p : points) columns[at[static_cast<std::size_t>(p.y - top)]++] = static_cast<std::uint16_t>(p.x);
    }
    set.pixels.reserve(points.size());
    for (std::size_t r = 0; r < span; ++r) {
        const auto first = columns.begin() + start[r], last = columns.begin() + start[r + 1];
        if (first == last) continue;
        sortColumns(first, last);
        const auto end = std::unique(first, last);
        // A row holds at most 65535 pixels of one set: a surface is that wide at most.
        std::uint32_t count = 0;
        for (auto x = first; x != end && count < 0xFFFF; ++x, ++count) set.pixels.push_back(PixelRecord{0, 0, *x});
        set.rowCounts[static_cast<std::size_t>(top) + r] = static_cast<std::uint16_t>(count);
    }
    return set;
}

PixelSet rectangleSet(const SetSource& source, const Rect& rect, bool fetch) {
    PixelSet set = emptySet(source);
    if (set.rowCounts.empty()) return set;
    const Rect inside = intersect(rect, Rect{0, 0, source.width(), source.height()});
    if (!inside.empty()) set.firstRow = inside.top;
    set.pixels.reserve(static_cast<std::size_t>(std::max(inside.width, 0)) * static_cast<std::size_t>(std::max(inside.height, 0)));
    for (std::int32_t y = inside.top; y < inside.bottom(); ++y) {
        set.rowCounts[y] = static_cast<std::uint16_t>(std::min(inside.width, 0xFFFF));
        for (std::int32_t x = inside.left; x < inside.left + set.rowCounts[y]; ++x) {
            set.pixels.push_back(PixelRecord{0, 0, static_cast<std::uint16_t>(x)});
        }
    }
    if (fetch) fetchSet(source, set);
    return set;
}

PixelSet columnSet(const SetSource& source, std::int32_t x, std::int32_t y, std::int32_t n, bool fetch) {
    return rectangleSet(source, Rect{x, y, 1, n}, fetch);
}

PixelSet rowSet(const SetSource& source, std::int32_t y, std::int32_t x, std::int32_t n, bool fetch) {
    return rectangleSet(source, Rect{x, y, n, 1}, fetch);
}

void linePoints(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, ClaimMap& claims,
                std::vector<SetPoint>& out) {
    if (y0 == y1 || x0 == x1) {
        // A row or column set: no claim map.
        for (std::int32_t y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
            for (std::int32_t x = std::min(x0, x1); x <= std::max(x0, x1); ++x) out.push_back(SetPoint{x, y});
        }
        return;
    }
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const std::int32_t dx = std::abs(x1 - x0), dy = y1 - y0, stepX = x1 > x0 ? 1 : -1;
    const bool alongX = dx >= dy;
    const std::int32_t longer = alongX ? dx : dy, shorter = alongX ? dy : dx;
    out.reserve(out.size() + static_cast<std::size_t>(longer) + 1);
    std::int32_t x = x0, y = y0, error = 0;
    for (std::int32_t i = 0; i <= longer; ++i) {
        if (claims.claim(x, y)) out.push_back(SetPoint{x, y});
        error += shorter;
        if (error >= longer) {
            error -= longer;
            if (alongX) {
                ++y;
            } else {
                x += stepX;
            }
        }
        if (alongX) {
            x += stepX;
        } else {
            ++y;
        }
    }
}

PixelSet lineSet(const SetSource& source, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 ClaimMap& claims, bool fetch) {
    if (y0 == y1 && x0 != x1) return rowSet(source, y0, std::min(x0, x1), std::abs(x1 - x0) + 1, fetch);
    if (x0 == x1) return columnSet(source, x0, std::min(y0, y1), std::abs(y1 - y0) + 1, fetch);
    std::vector<SetPoint> points;
    linePoints(x0, y0, x1, y1, claims, points);
    PixelSet set = setOfPoints(source, std::move(points));
    if (fetch) fetchSet(source, set);
    return set;
}

PixelSet circleRingSet(const SetSource& source, std::int32_t cx, std::int32_t cy, std::int32_t r, ClaimMap& claims,
                       bool fetch) {
    // The midpoint walk over one octant.
    std::vector<SetPoint> octant;
    if (r <= 0) {
        octant.push_back(SetPoint{0, 0});
    } else {
        octant.reserve(static_cast<std::size_t>(r) * 2 + 2);
        std::int32_t x = 0, y = r, d = 3 - 2 * r;
        while (x < y) {
            octant.push_back(SetPoint{x, y});
            if (d >= 0) {
                octant.push_back(SetPoint{x, y - 1});
                --y;
                d += 4 * (x - y) + 10;
            } else {
                d += 4 * x + 6;
            }
            ++x;
        }
        if (x == y) octant.push_back(SetPoint{x, y});
    }
    // Mirrored round the centre into the whole ring. Which ring a pixel joins
    // does not depend on the order of claiming within the ring, so the pixels
    // are claimed as they come and laid out by rows afterwards.
    std::vector<SetPoint> taken;
    taken.reserve(octant.size() * 8);
    for (const SetPoint& p : octant) {
        for (const SetPoint& q : {p, SetPoint{p.y, p.x}}) {
            for (std::int32_t sx : {1, -1}) {
                for (std::int32_t sy : {1, -1}) {
                    if (claims.claim(cx + sx * q.x, cy + sy * q.y)) taken.push_back(SetPoint{cx + sx * q.x, cy + sy * q.y});
                }
            }
        }
    }
    PixelSet set = setOfPoints(source, std::move(taken));
    if (fetch) fetchSet(source, set);
    return set;
}

PixelSet setFromPoints(const SetSource& source, std::vector<PointValue> points) {
    PixelSet set = emptySet(source);
    if (set.rowCounts.empty()) return set;
    points.erase(std::remove_if(points.begin(), points.end(),
                                [&](const PointValue& p) {
                                    return p.x < 0 || p.y < 0 || p.x >= source.width() || p.y >= source.height();
                                }),
                 points.end());
    std::stable_sort(points.begin(), points.end(),
                     [](const PointValue& a, const PointValue& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    if (!points.empty()) set.firstRow = points.front().y;
    for (const PointValue& p : points) {
        if (set.rowCounts[p.y] == 0xFFFF) continue;
        ++set.rowCounts[p.y];
        set.pixels.push_back(PixelRecord{p.incoming, p.outgoing, static_cast<std::uint16_t>(p.x)});
    }
    set.valuesFetched = true;
    return set;
}

namespace {

// A set's rows from its first to its last with pixels.
struct FetchCursor {
    const std::uint16_t* counts;
    PixelRecord* next;
    PixelRecord* end;
    std::int32_t first, last;  // [first, last)
};
constexpr std::ptrdiff_t kAhead = 16;  // pixel records read ahead in each set of a batch

FetchCursor fetchCursor(PixelSet& set) {
    std::int32_t first = 0, last = set.rowCount();
    while (first < last && set.rowCounts[first] == 0) ++first;
    while (last > first && set.rowCounts[last - 1] == 0) --last;
    return FetchCursor{set.rowCounts.data(), set.pixels.data(), set.pixels.data() + set.pixels.size(), first, last};
}

}  // namespace

void fetchValues(const SetSource& source, std::vector<PixelSet*>& sets) {
    if (!source.valid()) return;
    constexpr std::size_t kBatch = 32;
    std::vector<FetchCursor> batch;
    batch.reserve(kBatch);
    for (std::size_t first = 0; first < sets.size(); first += kBatch) {
        const std::size_t last = std::min(first + kBatch, sets.size());
        batch.clear();
        std::int32_t top = source.height(), bottom = 0;
        for (std::size_t s = first; s < last; ++s) {
            batch.push_back(fetchCursor(*sets[s]));
            if (batch.back().first < batch.back().last) {
                top = std::min(top, batch.back().first);
                bottom = std::max(bottom, batch.back().last);
            }
        }
        // Row by row across the batch, so reads stay within a few rows.
        for (std::int32_t y = top; y < std::min(bottom, source.height()); ++y) {
            const std::uint32_t* in = source.incoming->row(y);
            const std::uint32_t* out = source.outgoing->row(y);
            for (FetchCursor& set : batch) {
                if (y < set.first || y >= set.last) continue;
                if (set.end - set.next > kAhead) prefetch(set.next + kAhead);
                for (std::uint16_t n = set.counts[y]; n > 0; --n, ++set.next) {
                    set.next->incoming = in[set.next->x];
                    set.next->outgoing = out[set.next->x];
                }
            }
        }
        for (std::size_t s = first; s < last; ++s) sets[s]->valuesFetched = true;
    }
}

// --- visible region ------------------------------------------------------------

VisibleRegion VisibleRegion::build(const std::vector<ClipRect>& rects, std::int32_t width, std::int32_t height) {
    VisibleRegion region;
    region.rects_ = rects;
    region.width_ = std::max(width, 0);
    region.height_ = std::max(height, 0);
    region.whole_ = {0, region.width_};
    std::vector<std::vector<std::int32_t>> rows(static_cast<std::size_t>(region.height_));
    for (const ClipRect& r : rects) {
        const std::int32_t left = std::max(r.left, 0), right = std::min(r.right, region.width_);
        const std::int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, region.height_);
        if (left >= right) continue;
        for (std::int32_t y = top; y < bottom; ++y) {
            std::vector<std::int32_t>& spans = rows[y];
            if (!spans.empty() && spans.back() == left) {
                spans.back() = right;
            } else {
                spans.push_back(left);
                spans.push_back(right);
            }
        }
    }
    region.allVisible_ = true;
    region.rowEntry_.assign(rows.size(), kNone);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        if (y > 0 && rows[y] == rows[y - 1]) {
            region.rowEntry_[y] = region.rowEntry_[y - 1];
        } else if (rows[y].empty()) {
            region.rowEntry_[y] = kNone;
        } else if (rows[y] == region.whole_) {
            region.rowEntry_[y] = kWhole;
        } else {
            region.lists_.push_back(rows[y]);
            region.rowEntry_[y] = static_cast<std::int32_t>(region.lists_.size()) - 1;
        }
        region.allVisible_ = region.allVisible_ && region.rowEntry_[y] == kWhole;
    }
    return region;
}

const std::vector<std::int32_t>& VisibleRegion::spans(std::int32_t y) const {
    if (y < 0 || y >= height_) return none_;
    const std::int32_t entry = rowEntry_[y];
    if (entry == kWhole) return whole_;
    if (entry == kNone) return none_;
    return lists_[static_cast<std::size_t>(entry)];
}

std::string VisibleRegion::dump() const {
    std::string text;
    char line[96];
    std::snprintf(line, sizeof line, "nr of rectangles = %d\n", static_cast<int>(rects_.size()));
    text += line;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        std::snprintf(line, sizeof line, "  rect[%4d] = {%4d,%4d,%4d,%4d}\n", static_cast<int>(i), rects_[i].left,
                      rects_[i].top, rects_[i].right, rects_[i].bottom);
        text += line;
    }
    for (std::int32_t y = 0; y < height_; ++y) {
        const std::int32_t entry = rowEntry_[y];
        const std::vector<std::int32_t>& s = spans(y);
        const int count = entry == kWhole ? -1 : static_cast<int>(s.size() / 2);
        std::snprintf(line, sizeof line, "  line[%4d], #segments = %d", y, count);
        text += line;
        if (entry >= 0) {
            for (std::size_t k = 0; k + 1 < s.size(); k += 2) {
                std::snprintf(line, sizeof line, " [%4d,%4d]", s[k], s[k + 1]);
                text += line;
            }
        }
        text += '\n';
    }
    return text;
}

}  // namespace lv
