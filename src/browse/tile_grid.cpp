#include "browse/tile_grid.h"

#include <algorithm>
#include <cstdlib>

namespace lv {

namespace {

int side(int value) { return std::max(1, value); }

}  // namespace

int TileGrid::lines() const {
    return strip ? std::max(1, client.height / side(tile.height)) : std::max(1, client.width / side(tile.width));
}

ViewRect TileGrid::tileRect(int index) const {
    const int perLine = lines();
    int column = 0, row = 0;
    if (strip) {
        column = index / perLine;
        row = index % perLine;
    } else {
        column = index % perLine;
        row = index / perLine;
    }
    ViewRect r;
    r.left = column * tile.width - (strip ? scroll : 0);
    r.top = row * tile.height - (strip ? 0 : scroll);
    r.right = r.left + tile.width;
    r.bottom = r.top + tile.height;
    return r;
}

int TileGrid::hitTest(int x, int y) const {
    const int perLine = lines();
    const int tx = side(tile.width), ty = side(tile.height);
    int index = -1;
    if (strip) {
        const int along = scroll + x;
        if (along < 0 || y < 0 || y / ty >= perLine) return -1;
        index = (along / tx) * perLine + y / ty;
    } else {
        const int along = scroll + y;
        if (along < 0 || x < 0 || x / tx >= perLine) return -1;
        index = x / tx + (along / ty) * perLine;
    }
    return index < count ? index : -1;
}

int TileGrid::scrollMaximum() const {
    if (count <= 0) return -extent();
    const ViewRect last = tileRect(count - 1);
    return strip ? scroll - client.width + last.right - 1 : scroll - client.height + last.bottom - 1;
}

int scrollTarget(const TileGrid& grid, ScrollRequest request, int position) {
    const int e = grid.extent();
    const int t = side(grid.tileAlong());
    int target = grid.scroll;
    switch (request) {
    // A line is the tile height in either mode.
    case ScrollRequest::LineBack: target -= grid.tile.height; break;
    case ScrollRequest::LineOn: target += grid.tile.height; break;
    case ScrollRequest::PageBack: target -= e; break;
    case ScrollRequest::PageOn: target += e - e % t; break;
    case ScrollRequest::Position: target = position; break;
    case ScrollRequest::Start: target = 0; break;
    case ScrollRequest::End: target = grid.scrollMaximum(); break;
    }
    target = std::min(target, grid.scrollMaximum());
    return std::max(target, 0);
}

int wheelLines(int delta) { return -(delta / 120); }

int scrollToShow(const TileGrid& grid, int index) {
    if (index < 0 || index >= grid.count) return grid.scroll;
    const ViewRect r = grid.tileRect(index);
    const int start = grid.strip ? r.left : r.top;
    const int end = grid.strip ? r.right : r.bottom;
    int shift = 0;
    if (start < 0)
        shift = start;
    else if (end > grid.extent())
        shift = end - grid.extent();
    const int target = std::min(grid.scroll + shift, std::max(0, grid.scrollMaximum()));
    return std::max(target, 0);
}

KeyOutcome tileKey(const TileGrid& grid, TileKey key, int selected, bool windowVisible) {
    KeyOutcome out;
    if (key == TileKey::Other) {
        out.passOn = true;
        return out;
    }
    if (grid.count <= 0) return out;
    const int a = grid.strip ? grid.client.height : grid.client.width;
    const int b = grid.strip ? grid.client.width : grid.client.height;
    // Both divide by the tile width, in either mode.
    const int tx = side(grid.tile.width);
    const int perLine = std::max(1, a / tx);
    const int perPage = std::max(1, (b / tx) * perLine);
    int target = selected;
    switch (key) {
    case TileKey::Enter:
        out.trigger = selected >= 0 && selected < grid.count;
        return out;
    case TileKey::Home: target = 0; break;
    case TileKey::End: target = grid.count - 1; break;
    case TileKey::PageUp:
    case TileKey::PageDown: {
        const int sign = key == TileKey::PageUp ? -1 : 1;
        if (!windowVisible) {
            target = selected + sign;
            break;
        }
        const ViewRect r = grid.tileRect(selected < 0 ? 0 : selected);
        const int start = grid.strip ? r.left : r.top;
        const int end = grid.strip ? r.right : r.bottom;
        const bool inView = selected >= 0 && end > 0 && start < grid.extent();
        if (inView) {
            target = selected + sign * perPage;
            break;
        }
        const int moved = grid.scroll + sign * grid.extent();
        out.scrollTo = std::clamp(moved, 0, std::max(0, grid.scrollMaximum()));
        return out;
    }
    case TileKey::Left: target = selected - (grid.strip ? perLine : 1); break;
    case TileKey::Right: target = selected + (grid.strip ? perLine : 1); break;
    case TileKey::Up: target = selected - (grid.strip ? 1 : perLine); break;
    case TileKey::Down: target = selected + (grid.strip ? 1 : perLine); break;
    case TileKey::Other: break;
    }
    out.target = std::clamp(target, 0, grid.count - 1);
    return out;
}

bool acceptableTileSide(int value) { return value >= 1; }

}  // namespace lv
