// Span masks: how a span-mask transition paints a frame. The picture is cut
// into pixel sets (a column, a row, a line, a ring of a circle, a rectangle,
// scattered points); each step merges the sets scheduled for it into one
// frame record and paints that record, clipped to the visible region of the
// window. Families only build their ordered sets; building, merging and
// painting are shared here.
//
//     ClaimMap claims(w, h);
//     SetSource source{&outgoing, &incoming};
//     std::vector<PixelSet> sets;
//     for (int r = 0; r < 40; ++r) sets.push_back(circleRingSet(source, cx, cy, r, claims, true));
//     FrameRecord frame;
//     mergeSets({&sets[3], &sets[4]}, frame);
//     paintFrameRecord(frame, display, 0, 0, nullptr);
//
// A set holds, per pixel, its column and both pixel values, in row order and
// within a row by column, and one count per picture row. Sets are built only
// from two surfaces of equal size; a mismatch gives an empty set. Columns
// above 65535 are refused with the surfaces (a surface side is at most 65535).
//
// Frame record layout (little-endian, in a byte buffer that grows by
// doubling from 32776 bytes and never shrinks during a run): per row with
// pixels, a 16-bit group count and the 16-bit row; per group a 32-bit pixel
// count and a 32-bit kind (0 show incoming, 1 blend, 2 fill), a 32-bit level
// (kind 1) or colour (kind 2), then per pixel the 16-bit column and the
// values (kind 0: incoming; kind 1: outgoing, incoming; kind 2: none). The
// record ends with a zero group count and a zero row; an empty record is
// just those two zero words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/display.h"
#include "transition/surface.h"

namespace lv {

enum class SetMode : std::int32_t { ShowIncoming = 0, Blend = 1, Fill = 2 };

struct PixelRecord {
    std::uint32_t incoming = 0;
    std::uint32_t outgoing = 0;
    std::uint16_t x = 0;
};

struct PixelSet {
    std::vector<PixelRecord> pixels;      // row order, then column order
    std::vector<std::uint16_t> rowCounts; // one per picture row
    std::int32_t firstRow = 0;            // no pixels above this row (0 when the builder did not say)
    SetMode mode = SetMode::ShowIncoming;
    std::int32_t level = 256;             // weight of the incoming picture, mode Blend
    std::uint32_t colour = 0;             // mode Fill
    bool valuesFetched = false;

    std::int32_t rowCount() const { return static_cast<std::int32_t>(rowCounts.size()); }
};

// One byte per picture pixel: a pixel claimed by an earlier set is skipped.
class ClaimMap {
public:
    ClaimMap(std::int32_t width, std::int32_t height);
    // True when (x, y) lies in the picture and was free; it is then claimed.
    bool claim(std::int32_t x, std::int32_t y);
    void clear();

private:
    std::int32_t width_, height_;
    std::vector<std::uint8_t> map_;
};

struct SetSource {
    const Surface* outgoing = nullptr;
    const Surface* incoming = nullptr;
    // False for surfaces that differ in size (sets then stay empty).
    bool valid() const;
    std::int32_t width() const { return incoming->width; }
    std::int32_t height() const { return incoming->height; }
};

PixelSet columnSet(const SetSource& source, std::int32_t x, std::int32_t y, std::int32_t n, bool fetch);
PixelSet rowSet(const SetSource& source, std::int32_t y, std::int32_t x, std::int32_t n, bool fetch);
PixelSet lineSet(const SetSource& source, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 ClaimMap& claims, bool fetch);
PixelSet circleRingSet(const SetSource& source, std::int32_t cx, std::int32_t cy, std::int32_t r, ClaimMap& claims,
                       bool fetch);
PixelSet rectangleSet(const SetSource& source, const Rect& rect, bool fetch);

struct SetPoint {
    std::int32_t x = 0, y = 0;
};
// Points in any order as a set laid out by rows, values not fetched: points
// outside the picture are dropped, a point given twice is kept once.
PixelSet setOfPoints(const SetSource& source, std::vector<SetPoint> points);

// The points of lineSet's line from (x0, y0) to (x1, y1), appended to `out`
// in walk order (points outside the picture included); claims as lineSet
// does, so several lines can make one set through setOfPoints.
void linePoints(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, ClaimMap& claims,
                std::vector<SetPoint>& out);

struct PointValue {
    std::int32_t x = 0, y = 0;
    std::uint32_t outgoing = 0, incoming = 0;
};
// Points outside the picture are dropped; the rest are sorted by row, then column.
PixelSet setFromPoints(const SetSource& source, std::vector<PointValue> points);

// Fills the values of sets built without them, 32 sets at a time row by row.
void fetchValues(const SetSource& source, std::vector<PixelSet*>& sets);

class FrameRecord {
public:
    static constexpr std::size_t kFirstSize = 32776;
    void clear() { used_ = 0; }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::size_t size() const { return used_; }
    std::size_t capacity() const { return bytes_.size(); }
    void put16(std::uint16_t v) { put(&v, 2); }
    void put32(std::uint32_t v) { put(&v, 4); }
    // Room for n more bytes at the end, written by the caller.
    std::uint8_t* append(std::size_t n);
    // Grows (by doubling) to hold n bytes, so that no frame pays for growing.
    void reserve(std::size_t n);

private:
    void put(const void* v, std::size_t n);
    std::vector<std::uint8_t> bytes_;
    std::size_t used_ = 0;
};

// Merges the sets of one step: sorted by mode (and blend level), one row
// entry per row with pixels, one group per run of sets sharing mode, level
// and colour.
void mergeSets(std::vector<const PixelSet*> sets, FrameRecord& out);

// The window's visible part as spans per row (see paintFrameRecord).
class VisibleRegion {
public:
    struct ClipRect {
        std::int32_t left, top, right, bottom;
    };
    static VisibleRegion build(const std::vector<ClipRect>& rects, std::int32_t width, std::int32_t height);

    bool allVisible() const { return allVisible_; }
    // Visible columns of a row as [x0, x1) pairs; an invisible row or one
    // outside the window has none.
    const std::vector<std::int32_t>& spans(std::int32_t y) const;
    std::string dump() const;

private:
    enum : std::int32_t { kWhole = -2, kNone = -1 };
    std::vector<ClipRect> rects_;
    std::int32_t width_ = 0, height_ = 0;
    std::vector<std::int32_t> rowEntry_;            // kWhole, kNone or an index into lists_
    std::vector<std::vector<std::int32_t>> lists_;  // shared span lists
    std::vector<std::int32_t> whole_, none_;
    bool allVisible_ = false;
};

// Paints a frame record on the display, the picture's (0, 0) at (ox, oy) of
// the window; only visible pixels (when a region is given) inside the
// locked area are written. False when the lock gave nothing.
bool paintFrameRecord(const FrameRecord& frame, Display& display, std::int32_t ox, std::int32_t oy,
                      const VisibleRegion* visible);

}  // namespace lv
