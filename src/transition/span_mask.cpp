#include "transition/span_mask.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "transition/blend_kernels.h"
#include "transition/frame_painter.h"

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

// Points collected in any order become a set laid out by rows.
struct Point {
    std::int32_t x, y;
};

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

PixelSet setFromSortedPoints(const SetSource& source, std::vector<Point>& points, bool fetch) {
    PixelSet set = emptySet(source);
    if (set.rowCounts.empty()) return set;
    std::sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    set.pixels.reserve(points.size());
    for (const Point& p : points) {
        // A row holds at most 65535 pixels of one set: a surface is that wide at most.
        if (set.rowCounts[p.y] == 0xFFFF) continue;
        ++set.rowCounts[p.y];
        set.pixels.push_back(PixelRecord{0, 0, static_cast<std::uint16_t>(p.x)});
    }
    if (fetch) fetchSet(source, set);
    return set;
}

}  // namespace

// --- builders ----------------------------------------------------------------

PixelSet rectangleSet(const SetSource& source, const Rect& rect, bool fetch) {
    PixelSet set = emptySet(source);
    if (set.rowCounts.empty()) return set;
    const Rect inside = intersect(rect, Rect{0, 0, source.width(), source.height()});
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

PixelSet lineSet(const SetSource& source, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 ClaimMap& claims, bool fetch) {
    if (y0 == y1 && x0 != x1) return rowSet(source, y0, std::min(x0, x1), std::abs(x1 - x0) + 1, fetch);
    if (x0 == x1) return columnSet(source, x0, std::min(y0, y1), std::abs(y1 - y0) + 1, fetch);
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const std::int32_t dx = std::abs(x1 - x0), dy = y1 - y0, stepX = x1 > x0 ? 1 : -1;
    const bool alongX = dx >= dy;
    const std::int32_t longer = alongX ? dx : dy, shorter = alongX ? dy : dx;
    std::vector<Point> points;
    std::int32_t x = x0, y = y0, error = 0;
    for (std::int32_t i = 0; i <= longer; ++i) {
        if (claims.claim(x, y)) points.push_back(Point{x, y});
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
    return setFromSortedPoints(source, points, fetch);
}

PixelSet circleRingSet(const SetSource& source, std::int32_t cx, std::int32_t cy, std::int32_t r, ClaimMap& claims,
                       bool fetch) {
    std::vector<Point> octant;
    if (r <= 0) {
        octant.push_back(Point{0, 0});
    } else {
        std::int32_t x = 0, y = r, d = 3 - 2 * r;
        while (x < y) {
            octant.push_back(Point{x, y});
            if (d >= 0) {
                octant.push_back(Point{x, y - 1});
                --y;
                d += 4 * (x - y) + 10;
            } else {
                d += 4 * x + 6;
            }
            ++x;
        }
        if (x == y) octant.push_back(Point{x, y});
    }
    // Mirrored round the centre into the whole ring, then laid out from the top.
    std::vector<Point> ring;
    for (const Point& p : octant) {
        for (const Point& q : {Point{p.x, p.y}, Point{p.y, p.x}}) {
            for (std::int32_t sx : {1, -1}) {
                for (std::int32_t sy : {1, -1}) ring.push_back(Point{cx + sx * q.x, cy + sy * q.y});
            }
        }
    }
    // Points outside the picture are never claimed: drop them before sorting
    // (rings of the rising and sideways circles lie mostly outside).
    const std::int32_t w = source.valid() ? source.width() : 0, h = source.valid() ? source.height() : 0;
    std::erase_if(ring, [&](const Point& p) { return p.x < 0 || p.y < 0 || p.x >= w || p.y >= h; });
    std::sort(ring.begin(), ring.end(), [](const Point& a, const Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    std::vector<Point> taken;
    for (const Point& p : ring) {
        if (claims.claim(p.x, p.y)) taken.push_back(p);
    }
    return setFromSortedPoints(source, taken, fetch);
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
    for (const PointValue& p : points) {
        if (set.rowCounts[p.y] == 0xFFFF) continue;
        ++set.rowCounts[p.y];
        set.pixels.push_back(PixelRecord{p.incoming, p.outgoing, static_cast<std::uint16_t>(p.x)});
    }
    set.valuesFetched = true;
    return set;
}

void fetchValues(const SetSource& source, std::vector<PixelSet*>& sets) {
    if (!source.valid()) return;
    constexpr std::size_t kBatch = 32;
    for (std::size_t first = 0; first < sets.size(); first += kBatch) {
        const std::size_t last = std::min(first + kBatch, sets.size());
        std::vector<std::size_t> at(last - first, 0);
        // Row by row across the batch, so reads stay within a few rows.
        for (std::int32_t y = 0; y < source.height(); ++y) {
            const std::uint32_t* in = source.incoming->row(y);
            const std::uint32_t* out = source.outgoing->row(y);
            for (std::size_t s = first; s < last; ++s) {
                PixelSet& set = *sets[s];
                if (y >= set.rowCount()) continue;
                std::size_t& k = at[s - first];
                for (std::uint16_t n = 0; n < set.rowCounts[y]; ++n, ++k) {
                    set.pixels[k].incoming = in[set.pixels[k].x];
                    set.pixels[k].outgoing = out[set.pixels[k].x];
                }
            }
        }
        for (std::size_t s = first; s < last; ++s) sets[s]->valuesFetched = true;
    }
}

// --- frame records -------------------------------------------------------------

void FrameRecord::put(const void* v, std::size_t n) {
    if (used_ + n > bytes_.size()) {
        std::size_t size = bytes_.empty() ? kFirstSize : bytes_.size();
        while (used_ + n > size) size *= 2;
        bytes_.resize(size);
    }
    std::memcpy(bytes_.data() + used_, v, n);
    used_ += n;
}

void mergeSets(std::vector<const PixelSet*> sets, FrameRecord& out) {
    out.clear();
    std::stable_sort(sets.begin(), sets.end(), [](const PixelSet* a, const PixelSet* b) {
        if (a->mode != b->mode) return a->mode < b->mode;
        return a->mode == SetMode::Blend && a->level < b->level;
    });
    std::int32_t rows = 0;
    for (const PixelSet* set : sets) rows = std::max(rows, set->rowCount());
    std::vector<std::size_t> at(sets.size(), 0);
    const auto sameGroup = [](const PixelSet* a, const PixelSet* b) {
        return a->mode == b->mode && (a->mode != SetMode::Blend || a->level == b->level) &&
               (a->mode != SetMode::Fill || a->colour == b->colour);
    };
    for (std::int32_t y = 0; y < rows; ++y) {
        // Groups of this row: runs of sets sharing mode, level and colour.
        std::vector<std::pair<std::size_t, std::size_t>> groups;  // [first, last) set index
        std::vector<std::uint32_t> counts;
        for (std::size_t s = 0; s < sets.size(); ++s) {
            const std::uint32_t n = y < sets[s]->rowCount() ? sets[s]->rowCounts[y] : 0;
            if (n == 0) continue;
            // Sets without pixels on this row do not break a run.
            if (!groups.empty() && sameGroup(sets[groups.back().first], sets[s])) {
                groups.back().second = s + 1;
                counts.back() += n;
            } else {
                groups.emplace_back(s, s + 1);
                counts.push_back(n);
            }
        }
        if (groups.empty()) continue;
        out.put16(static_cast<std::uint16_t>(groups.size()));
        out.put16(static_cast<std::uint16_t>(y));
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const PixelSet& head = *sets[groups[g].first];
            out.put32(counts[g]);
            out.put32(static_cast<std::uint32_t>(head.mode));
            if (head.mode == SetMode::Blend) out.put32(static_cast<std::uint32_t>(head.level));
            if (head.mode == SetMode::Fill) out.put32(head.colour);
            for (std::size_t s = groups[g].first; s < groups[g].second; ++s) {
                const PixelSet& set = *sets[s];
                const std::uint32_t n = y < set.rowCount() ? set.rowCounts[y] : 0;
                for (std::uint32_t k = 0; k < n; ++k) {
                    const PixelRecord& p = set.pixels[at[s]++];
                    out.put16(p.x);
                    if (set.mode == SetMode::Blend) out.put32(p.outgoing);
                    if (set.mode != SetMode::Fill) out.put32(p.incoming);
                }
            }
        }
    }
    out.put16(0);
    out.put16(0);
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

// --- painting ------------------------------------------------------------------

namespace {

class RecordReader {
public:
    RecordReader(const FrameRecord& frame) : at_(frame.data()), end_(frame.data() + frame.size()) {}
    bool has(std::size_t n) const { return static_cast<std::size_t>(end_ - at_) >= n; }
    std::uint16_t get16() {
        std::uint16_t v;
        std::memcpy(&v, at_, 2);
        at_ += 2;
        return v;
    }
    std::uint32_t get32() {
        std::uint32_t v;
        std::memcpy(&v, at_, 4);
        at_ += 4;
        return v;
    }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
};

bool visibleAt(const VisibleRegion* visible, std::int32_t x, std::int32_t y) {
    if (visible == nullptr || visible->allVisible()) return true;
    const std::vector<std::int32_t>& spans = visible->spans(y);
    for (std::size_t k = 0; k + 1 < spans.size(); k += 2) {
        if (x >= spans[k] && x < spans[k + 1]) return true;
    }
    return false;
}

}  // namespace

bool paintFrameRecord(const FrameRecord& frame, Display& display, std::int32_t ox, std::int32_t oy,
                      const VisibleRegion* visible) {
    FramePainter painter(display);
    if (!painter.locked()) return false;
    for (const LockedOutput& out : painter.outputs()) {
        RecordReader reader(frame);
        while (reader.has(4)) {
            const std::uint16_t groups = reader.get16();
            const std::int32_t y = reader.get16() + oy;
            if (groups == 0) break;
            const bool rowInside = y >= out.area.top && y < out.area.bottom();
            for (std::uint16_t g = 0; g < groups && reader.has(8); ++g) {
                const std::uint32_t count = reader.get32();
                const std::uint32_t kind = reader.get32();
                std::uint32_t extra = 0;
                if ((kind == 1 || kind == 2) && reader.has(4)) extra = reader.get32();
                const std::size_t perPixel = 2 + (kind == 0 ? 4 : kind == 1 ? 8 : 0);
                for (std::uint32_t k = 0; k < count && reader.has(perPixel); ++k) {
                    const std::int32_t x = reader.get16() + ox;
                    std::uint32_t value = kind == 2 ? extra : 0;
                    if (kind == 1) {
                        const std::uint32_t o = reader.get32(), n = reader.get32();
                        blendRowPlain(&o, &n, 1, static_cast<std::int32_t>(std::min<std::uint32_t>(extra, 256)), 0, &value);
                    } else if (kind == 0) {
                        value = reader.get32();
                    }
                    if (!rowInside || x < out.area.left || x >= out.area.right() || !visibleAt(visible, x, y)) continue;
                    storePixels(*out.format, &value, 1, out.at(x, y));
                }
            }
        }
    }
    return true;
}

}  // namespace lv
