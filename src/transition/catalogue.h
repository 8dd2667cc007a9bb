// The catalogue of transitions: every selectable transition with its key,
// number, random-choice weight, category and the family kind that makes it,
// as one data table in registration order.
//
//     catalogue()[0]  -> {"ssBlend", 171, 50, category 0, Kind::Blend, ...}
//
// Families not built yet have kinds whose maker is absent (familyMaker gives
// null); the registry registers them and marks them broken, so a run that
// asks for one falls back to the cross-fade.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "transition/transition.h"

namespace lv {

enum class Kind : std::uint8_t {
    Blend, None, Push, SplitPush, Slide, DoubleSlide, CornerSlide, SlideClose, SlideOpen, SlideCloseCorners,
    SlideOpenCorners, Curtain, IntBars, Paper, SpanMask, Piece
};

// Direction of a block family: the edge it starts from and the one it moves to.
enum class Dir : std::uint8_t { None, LR, RL, TB, BT, LT, RT, LB, RB, H, V, Both };

struct CatalogueRow {
    std::string_view name;
    std::int16_t number;
    std::int8_t weight;     // 1, 5, 15, 30 or 50
    std::int8_t category;   // position in the category table
    Kind kind;
    Dir dir;
    std::int8_t variant;    // 1 or 2
    std::int16_t parameter; // the family's own value (bar parameter of the interlaced bars)
    bool fullOnly;          // left out of the reduced registration
};

struct CategoryRow {
    std::string_view name;
    std::int8_t number;
};

std::span<const CatalogueRow> catalogue();
std::span<const CategoryRow> categoryTable();

// The family kind's maker; null for a kind that is not built.
using FamilyMaker = TransitionPtr (*)(const CatalogueRow& row);
FamilyMaker familyMaker(Kind kind);

}  // namespace lv
