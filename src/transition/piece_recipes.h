// The recipes of the 27 piece transitions ("ssRE..."): which picture is cut
// (bars or a grid of the outgoing or the incoming picture), where every
// piece starts and comes to rest, when it starts, how it moves and how its
// size changes, and how the clock's frames map onto time. They are rows of
// one table, run by one planner.
//
//     CRandom random(7);
//     PiecePlan plan = planPieces(*findPieceRecipe("ssREFallingBars"), PieceArea{640, 400}, 700, random);
//     plan.pieces.size();   // 20 bars
//     plan.total;           // 1141: the last bar is home then
//
// Random delays and jitters are drawn from the given generator in creation
// order, so a seeded plan replays exactly. The frame map, when a recipe has
// one, has total + 1 entries and maps the last frame onto the total.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "transition/piece_kind.h"
#include "transition/random_source.h"

namespace lv {

struct PieceRecipe;

// Null for a name that is not a piece transition.
const PieceRecipe* findPieceRecipe(std::string_view name);
std::vector<std::string_view> pieceRecipeNames();

struct PiecePlan {
    std::vector<Piece> pieces;
    std::int32_t total = 1;
    std::vector<std::int32_t> frameMap;  // empty: frames are times

    // The time of clock frame `frame`.
    std::int64_t timeOf(std::int64_t frame) const;
};

PiecePlan planPieces(const PieceRecipe& recipe, const PieceArea& area, std::int32_t clientHeight, RandomSource& random);

}  // namespace lv
