#include "transition/set_painter.h"

#include <algorithm>

#include "transition/frame_painter.h"
#include "transition/prefetch.h"

namespace lv {

namespace {

// Stores of one engine pixel in an output's format. The two formats whose
// bytes are the engine pixel's own (blue, green, red and a zero byte) are
// written directly; any other goes through the format's conversion.
struct StoreBgr24 {
    std::size_t bytes() const { return 3; }
    void operator()(std::uint8_t* at, std::uint32_t v) const {
        at[0] = static_cast<std::uint8_t>(v);
        at[1] = static_cast<std::uint8_t>(v >> 8);
        at[2] = static_cast<std::uint8_t>(v >> 16);
    }
};
struct StoreXrgb32 {
    std::size_t bytes() const { return 4; }
    void operator()(std::uint8_t* at, std::uint32_t v) const {
        at[0] = static_cast<std::uint8_t>(v);
        at[1] = static_cast<std::uint8_t>(v >> 8);
        at[2] = static_cast<std::uint8_t>(v >> 16);
        at[3] = 0;
    }
};
struct StoreConverted {
    const PixelFormat* format;
    std::size_t bytes() const { return static_cast<std::size_t>(format->bytesPerPixel); }
    void operator()(std::uint8_t* at, std::uint32_t v) const { storePixels(*format, &v, 1, at); }
};

// One set while its rows are walked: its row counts and its next pixel.
struct SetCursor {
    const std::uint16_t* counts;
    std::int32_t first, rows;  // its first row with pixels; rows with counts
    const PixelRecord* next;
    const PixelRecord* end;
    SetMode mode;
    std::uint32_t level;
    std::uint32_t colour;
};

SetCursor setCursor(const PixelSet& set) {
    std::int32_t first = std::clamp(set.firstRow, 0, set.rowCount());
    while (first < set.rowCount() && set.rowCounts[static_cast<std::size_t>(first)] == 0) ++first;
    return SetCursor{set.rowCounts.data(), first, set.rowCount(), set.pixels.data(),
                     set.pixels.data() + set.pixels.size(), set.mode,
                     static_cast<std::uint32_t>(std::clamp(set.level, 0, 256)), set.colour};
}

// The display is written in bands of rows, set by set within a band: a set
// walks its rows with its mode fixed and nothing but its own records in
// hand, and the band's display lines stay in the cache from the first set
// that writes them to the last.
constexpr std::int32_t kBandRows = 64;
constexpr std::ptrdiff_t kAhead = 16;  // pixel records read ahead
constexpr std::int32_t kRowsAhead = 8; // display rows fetched ahead

// Writes one output.
template <class Store>
class OutputWriter {
public:
    OutputWriter(const LockedOutput& out, Store store, std::int32_t ox, std::int32_t oy)
        : out_(out), store_(store), bytes_(store.bytes()), ox_(ox), oy_(oy) {}

    void paint(const std::vector<const PixelSet*>& sets) {
        std::vector<SetCursor> cursors;
        cursors.reserve(sets.size());
        std::int32_t rows = 0;
        for (const PixelSet* set : sets) {
            cursors.push_back(setCursor(*set));
            rows = std::max(rows, set->rowCount());
        }
        for (std::int32_t band = 0; band < rows; band += kBandRows) {
            const std::int32_t bandEnd = std::min(band + kBandRows, rows);
            for (SetCursor& c : cursors) {
                if (c.next == c.end || c.first >= bandEnd) continue;
                switch (c.mode) {
                case SetMode::ShowIncoming: walk<SetMode::ShowIncoming>(c, bandEnd); break;
                case SetMode::Blend: walk<SetMode::Blend>(c, bandEnd); break;
                case SetMode::Fill: walk<SetMode::Fill>(c, bandEnd); break;
                }
            }
        }
    }

private:
    // The set's rows from where it stands up to `to`.
    template <SetMode mode>
    void walk(SetCursor& c, std::int32_t to) {
        const std::int32_t last = std::min(to, c.rows);
        std::int32_t y = c.first;
        for (; y < last && c.next != c.end; ++y) {
            const std::uint32_t n = c.counts[y];
            if (n == 0) continue;
            const PixelRecord* p = c.next;
            c.next += n;
            if (c.end - c.next > kAhead) prefetch(c.next + kAhead);
            const std::int32_t row = y + oy_ - out_.area.top;
            if (row < 0 || row >= out_.area.height) continue;
            std::uint8_t* line = out_.first + static_cast<std::ptrdiff_t>(row) * out_.pitch;
            fetchAhead(row + kRowsAhead, p->x);
            for (std::uint32_t k = 0; k < n; ++k) put(line, p[k].x, value<mode>(p[k], c));
        }
        c.first = y;
    }

    template <SetMode mode>
    static std::uint32_t value(const PixelRecord& p, const SetCursor& c) {
        if constexpr (mode == SetMode::ShowIncoming) return p.incoming;
        if constexpr (mode == SetMode::Blend) return blendPixel(p.outgoing, p.incoming, c.level);
        return c.colour;
    }

    // Column x of the picture on the row at `line`, clipped to the output.
    void put(std::uint8_t* line, std::uint16_t x, std::uint32_t value) {
        const std::int32_t at = x + ox_ - out_.area.left;
        if (static_cast<std::uint32_t>(at) >= static_cast<std::uint32_t>(out_.area.width)) return;
        store_(line + static_cast<std::size_t>(at) * bytes_, value);
    }

    // A set's pixels mostly stand in the same few columns row after row (a
    // column, a line): the line at its first column a few rows further on is
    // asked for now, every display row being on its own memory page, which
    // the processor does not fetch ahead by itself.
    void fetchAhead(std::int32_t row, std::uint16_t x) {
        const std::int32_t at = x + ox_ - out_.area.left;
        if (row >= out_.area.height || static_cast<std::uint32_t>(at) >= static_cast<std::uint32_t>(out_.area.width)) return;
        prefetchForWrite(out_.first + static_cast<std::ptrdiff_t>(row) * out_.pitch + static_cast<std::size_t>(at) * bytes_);
    }

    const LockedOutput& out_;
    Store store_;
    std::size_t bytes_;
    std::int32_t ox_, oy_;
};

template <class Store>
void paintOutput(const std::vector<const PixelSet*>& sets, const LockedOutput& out, Store store, std::int32_t ox,
                 std::int32_t oy) {
    OutputWriter<Store>(out, store, ox, oy).paint(sets);
}

}  // namespace

void sortForPainting(std::vector<const PixelSet*>& sets) {
    std::stable_sort(sets.begin(), sets.end(), [](const PixelSet* a, const PixelSet* b) {
        if (a->mode != b->mode) return a->mode < b->mode;
        return a->mode == SetMode::Blend && a->level < b->level;
    });
}

bool paintSets(std::vector<const PixelSet*> sets, Display& display, std::int32_t ox, std::int32_t oy) {
    FramePainter painter(display);
    if (!painter.locked()) return false;
    sortForPainting(sets);
    for (const LockedOutput& out : painter.outputs()) {
        if (out.area.empty()) continue;
        switch (out.format->code) {
        case pixel_code::kBgr24: paintOutput(sets, out, StoreBgr24{}, ox, oy); break;
        case pixel_code::kXrgb32: paintOutput(sets, out, StoreXrgb32{}, ox, oy); break;
        default: paintOutput(sets, out, StoreConverted{out.format}, ox, oy); break;
        }
    }
    return true;
}

}  // namespace lv
