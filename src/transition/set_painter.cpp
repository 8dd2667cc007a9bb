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
    std::int32_t rows;
    const PixelRecord* next;
    const PixelRecord* end;
    SetMode mode;
    std::uint32_t level;
    std::uint32_t colour;
};

// Sets walked together, row by row: the display rows are written in order
// and each set's records are read as one stream; more streams than this
// the processor does not follow, even with the hints below.
constexpr std::size_t kBatch = 64;
constexpr std::ptrdiff_t kAhead = 16;  // pixel records read ahead in each set
constexpr std::int32_t kRowsAhead = 8; // display rows fetched ahead

// Writes one output: the sets in batches, each batch row by row.
template <class Store>
class OutputWriter {
public:
    OutputWriter(const LockedOutput& out, Store store, std::int32_t ox, std::int32_t oy)
        : out_(out), store_(store), bytes_(store.bytes()), ox_(ox), oy_(oy) {}

    void paint(const std::vector<const PixelSet*>& sets) {
        std::vector<SetCursor> cursors;
        cursors.reserve(std::min(sets.size(), kBatch));
        for (std::size_t first = 0; first < sets.size(); first += kBatch) {
            cursors.clear();
            std::int32_t rows = 0;
            for (std::size_t s = first; s < std::min(first + kBatch, sets.size()); ++s) {
                const PixelSet& set = *sets[s];
                cursors.push_back(SetCursor{set.rowCounts.data(), set.rowCount(), set.pixels.data(),
                                            set.pixels.data() + set.pixels.size(), set.mode,
                                            static_cast<std::uint32_t>(std::clamp(set.level, 0, 256)), set.colour});
                rows = std::max(rows, set.rowCount());
            }
            for (std::int32_t y = 0; y < rows; ++y) paintRow(cursors, y);
        }
    }

private:
    void paintRow(std::vector<SetCursor>& cursors, std::int32_t y) {
        const std::int32_t row = y + oy_ - out_.area.top;
        const bool inside = row >= 0 && row < out_.area.height;
        std::uint8_t* line = inside ? out_.first + static_cast<std::ptrdiff_t>(row) * out_.pitch : nullptr;
        lowest_ = out_.area.width;
        highest_ = -1;
        for (SetCursor& c : cursors) {
            const std::uint32_t n = y < c.rows ? c.counts[y] : 0;
            if (n == 0) continue;
            const PixelRecord* p = c.next;
            c.next += n;
            if (line == nullptr) continue;
            if (c.end - c.next > kAhead) prefetch(c.next + kAhead);
            switch (c.mode) {
            case SetMode::ShowIncoming:
                for (std::uint32_t k = 0; k < n; ++k) put(line, p[k].x, p[k].incoming);
                break;
            case SetMode::Blend:
                for (std::uint32_t k = 0; k < n; ++k) put(line, p[k].x, blendPixel(p[k].outgoing, p[k].incoming, c.level));
                break;
            case SetMode::Fill:
                for (std::uint32_t k = 0; k < n; ++k) put(line, p[k].x, c.colour);
                break;
            }
        }
        if (highest_ >= 0) fetchAhead(row + kRowsAhead);
    }

    // Column x of the picture on the row at `line`, clipped to the output.
    void put(std::uint8_t* line, std::uint16_t x, std::uint32_t value) {
        const std::int32_t at = x + ox_ - out_.area.left;
        if (static_cast<std::uint32_t>(at) >= static_cast<std::uint32_t>(out_.area.width)) return;
        lowest_ = std::min(lowest_, at);
        highest_ = std::max(highest_, at);
        store_(line + static_cast<std::size_t>(at) * bytes_, value);
    }

    // A step's pixels mostly stand in the same few columns row after row (a
    // column, a line): the lines this row wrote are asked for a few rows
    // further on, every row being on its own memory page, which the
    // processor does not fetch ahead by itself.
    void fetchAhead(std::int32_t row) {
        if (row >= out_.area.height) return;
        std::uint8_t* line = out_.first + static_cast<std::ptrdiff_t>(row) * out_.pitch;
        const std::size_t from = static_cast<std::size_t>(lowest_) * bytes_, to = static_cast<std::size_t>(highest_) * bytes_;
        constexpr std::size_t kMostLines = 4;
        for (std::size_t at = from, k = 0; at <= to && k < kMostLines; at += 64, ++k) prefetchForWrite(line + at);
        if (to - from > kMostLines * 64) prefetchForWrite(line + to);
    }

    const LockedOutput& out_;
    Store store_;
    std::size_t bytes_;
    std::int32_t ox_, oy_;
    std::int32_t lowest_ = 0, highest_ = -1;  // columns written on the current row
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
