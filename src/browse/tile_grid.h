// Where the thumbnail area's tiles lie, which tile a point hits, how far the
// content scrolls and where the selection keys lead.
//
// Grid mode lays tiles out in rows and scrolls vertically; strip mode lays
// them out in columns and scrolls horizontally. The scroll position p moves
// the content back along the scrolling direction.
//
//     TileGrid g{{350, 300}, {100, 100}, false, 0, 10};
//     g.lines();            // 3 columns
//     g.tileRect(4);        // {100, 100, 200, 200}
//     g.hitTest(320, 20);   // -1: the gap right of the last column
//
// Limits: tile sides below 1 are never stored (setTileSide refuses them), so
// every division here has a divisor of at least 1.
#pragma once

#include "browse/view_geometry.h"

namespace lv {

struct TileGrid {
    PictureSize client;  // client width and height
    PictureSize tile{100, 100};
    bool strip = false;  // false: grid scrolling vertically; true: strip scrolling horizontally
    int scroll = 0;      // content offset along the scrolling direction
    int count = 0;       // number of tiles

    // Columns in grid mode, rows in strip mode; at least 1.
    int lines() const;
    ViewRect tileRect(int index) const;
    // The tile under the point, or -1: outside the list, above the first or
    // in the gap after the last column (grid) or row (strip).
    int hitTest(int x, int y) const;
    // The largest scroll position (may be negative when everything fits).
    int scrollMaximum() const;
    // The client extent and the tile side along the scrolling direction.
    int extent() const { return strip ? client.width : client.height; }
    int tileAlong() const { return strip ? tile.width : tile.height; }
};

// Scroll bar requests, as the window's scroll messages name them.
enum class ScrollRequest { LineBack, LineOn, PageBack, PageOn, Position, Start, End };

// The new scroll position for a request, limited to the maximum and then
// raised to 0. `position` is the bar's thumb position for Position.
int scrollTarget(const TileGrid& grid, ScrollRequest request, int position = 0);

// A wheel turn of delta units: one line per whole 120, down (on) for a
// negative delta. Positive result: lines on; negative: lines back.
int wheelLines(int delta);

// The scroll position that brings the tile fully inside the client along the
// scrolling direction, limited to 0 ... maximum.
int scrollToShow(const TileGrid& grid, int index);

enum class TileKey { Enter, Home, End, PageUp, PageDown, Left, Right, Up, Down, Other };

struct KeyOutcome {
    int target = -1;     // the tile to select; -1: none
    int scrollTo = -1;   // a new scroll position instead of a move; -1: none
    bool trigger = false;  // Enter on a selected tile
    bool passOn = false;   // not a key of the area: the viewer gets it
};

// What a key does with the selected tile `selected` (-1: none). An empty list
// does nothing; a target is limited to 0 ... count - 1.
KeyOutcome tileKey(const TileGrid& grid, TileKey key, int selected, bool windowVisible);

// A tile side set by the script: values below 1 are refused (nothing).
bool acceptableTileSide(int value);

}  // namespace lv
