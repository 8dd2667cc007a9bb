// Frames of a piece transition as block commands (block_kind.h): what
// takes the window from the frame on screen to the frame of time t, redrawing
// only what changed.
//
//     PieceFrames frames(pieces, area, Rect{80, 60, 640, 480});
//     Commands commands;
//     frames.next(120, commands);   // from the first frame to time 120
//
// The frame before the first shows the other picture with every leaving
// piece at its place of time 0. Each frame then restores from the other
// picture every area that a piece left and that no piece covers now, and
// draws the pieces that moved, changed size, or touch an area that changed
// (later pieces lie over earlier ones, so only the parts of a piece that no
// later drawn piece covers are drawn); a piece at rest that nothing touched
// is not drawn again. Runs of more than 256 pieces skip that search
// (it grows with the square of the count) and draw every piece, after
// restoring each piece's old rectangle less its new one. Commands are cut
// into bands of at most 4096 rows.
//
// `whole` gives the complete frame of time t over the area, for repaints.
#pragma once

#include <cstdint>
#include <vector>

#include "transition/block_kind.h"
#include "transition/piece_kind.h"

namespace lv {

class PieceFrames {
public:
    static constexpr std::size_t kSearchedPieces = 256;
    static constexpr std::int32_t kBandRows = 4096;

    PieceFrames() = default;
    // `placement`: where the area lies in the window (its size is the area's).
    PieceFrames(std::vector<Piece> pieces, const PieceArea& area, const Rect& placement);

    // Back to the frame before the first.
    void rewind();
    // The window shows the frame of time t (after a jump in the replay).
    void settle(std::int64_t t);
    void next(std::int64_t t, Commands& out);
    void whole(std::int64_t t, Commands& out) const;

    const std::vector<Piece>& pieces() const { return pieces_; }
    const PieceArea& area() const { return area_; }
    bool arriving() const { return arriving_; }

private:
    std::vector<DrawnPiece> drawnAll(std::int64_t t) const;
    void emit(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t sourceX,
              std::int32_t sourceY) const;
    void restore(Commands& out, const Rect& destination) const;
    void draw(Commands& out, const DrawnPiece& piece) const;
    void nextSearched(const std::vector<DrawnPiece>& now, Commands& out) const;
    void nextPlain(const std::vector<DrawnPiece>& now, Commands& out) const;

    std::vector<Piece> pieces_;
    PieceArea area_;
    Rect placement_;
    bool arriving_ = false;
    std::vector<DrawnPiece> onScreen_;
};

// The parts of `rect` that none of `cutters` covers, as disjoint rectangles.
std::vector<Rect> uncovered(const Rect& rect, const std::vector<const Rect*>& cutters);

}  // namespace lv
