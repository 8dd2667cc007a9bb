// The 27 piece recipes as data, and the planner that turns a recipe and a
// picture into pieces, their total time and their frame map.
//
// Index: delays (Order, DelayRule), places (StartAt, TargetAt), sizes
// (SizeAt, SizeSpec), the table (kRecipes), the planner (planPieces).
#include "transition/piece_recipes.h"

#include <algorithm>
#include <cmath>

#include "transition/easing.h"
#include "transition/piece_layout.h"

namespace lv {

// The parts of a recipe row, private to this file.
namespace piece_rows {

// ---- delays ---------------------------------------------------------------
// A delay is place x step + constant + random % spread, at least minimum,
// where the place is one of these orders of the pieces (i: creation index,
// N pieces; c, r: column and row of Nc x Nr; e: distance from the centre).
enum class Order : std::uint8_t {
    None,                  // 0
    Index,                 // i (the bars: the lowest first)
    IndexFromEnd,          // N - i
    RowFromBottom,         // Nr - r
    Column,                // c
    ColumnFromRight,       // Nc - c
    ColumnMajor,           // c x Nc + r
    ColumnMajorFromRight,  // (Nc - c) x Nc + r
    DiagonalFromTopLeft,   // Nr + Nc - r - c
    DiagonalFromTopRight,  // c - r + Nr
    DiagonalFromBottomRight,  // r + c
    DiagonalFromBottomLeft,   // r - c + Nc
    CentreFirst,           // trunc(e / 10)
    RimFirst,              // max(0, 100 - trunc(e / 10))
    RandomPiece,           // random % N
};

struct DelayRule {
    Order order = Order::None;
    std::int32_t step = 0, constant = 0, randomSpread = 0, minimum = 0;
};

// ---- places and sizes -----------------------------------------------------
enum class StartAt : std::uint8_t {
    Home, StraightAbove, AboveTopLeft, AboveTopRight, BelowBottomLeft, BelowBottomRight, AboveMirroredColumn, Distant
};
enum class TargetAt : std::uint8_t { Home, BottomEdge, Centre };
enum class Layout : std::uint8_t { Bars, Grid };
enum class FrameMap : std::uint8_t { None, CubeEasing, Square };

// Where a size rule's time value comes from.
enum class SizeAt : std::uint8_t {
    Fixed,              // the value
    OneAndHalfWidth,    // 1.5 x w
    RotatePreset,       // 1.5 x w, or 1000 when the picture is narrower than 640
    PieceCountPlus30,   // (N + 30) x 50
    TotalPlus100,       // the total of the pieces at full size, + 100
};

struct SizeSpec {
    PieceSize rule = PieceSize::Full;
    SizeAt at = SizeAt::Fixed;
    double value = 0;
    bool fromHalfStart = false;
};

struct MotionSpec {
    PieceMotion kind = PieceMotion::Stay;
    double speed = 0, acceleration = 0;
    std::int32_t jitter = 0;         // line outwards: tenths of a radian, random
    std::int32_t direction = 1;      // corks
    bool countedBack = false;        // orbit out: backwards from 1.5 x w, without the pixel aspect
};

}  // namespace piece_rows

using namespace piece_rows;

struct PieceRecipe {
    std::string_view name;
    Layout layout;
    bool arriving;
    StartAt start;
    TargetAt target;
    DelayRule delay;
    MotionSpec motion;
    SizeSpec size;
    FrameMap map;
};

namespace {

using M = PieceMotion;
using S = PieceSize;

constexpr MotionSpec kFall{M::LineToTarget, 0, 10};
constexpr MotionSpec kFly{M::LineToTarget, 50, 40};
constexpr SizeSpec kFull{};
constexpr SizeSpec kGrowByTotal{S::GrowByTime, SizeAt::TotalPlus100};

constexpr PieceRecipe kRecipes[] = {
    {"ssREFallingBars", Layout::Bars, true, StartAt::StraightAbove, TargetAt::Home, {Order::Index, 50}, kFall, kFull, FrameMap::None},
    {"ssREFallingBarsReverse", Layout::Bars, false, StartAt::Home, TargetAt::BottomEdge, {Order::Index, 50}, kFall, kFull, FrameMap::None},
    {"ssREFallingSquares", Layout::Grid, true, StartAt::StraightAbove, TargetAt::Home, {Order::RowFromBottom, 1, 0, 500}, kFall,
     {S::GrowByRate, SizeAt::Fixed, 0.2}, FrameMap::CubeEasing},
    {"ssREExplode", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::None, 0, 15}, {M::LineOutwards, 0, 10},
     {S::ShrinkAt, SizeAt::Fixed, 1000}, FrameMap::None},
    {"ssREExplode2", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::CentreFirst, 15}, {M::LineOutwards, 0, 10, 10},
     {S::ShrinkAt, SizeAt::Fixed, 1000}, FrameMap::None},
    {"ssRETwirl", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::RimFirst, 3}, {M::Spiral},
     {S::ShrinkAt, SizeAt::Fixed, 1000}, FrameMap::None},
    {"ssRERotateSourceOut", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::RimFirst, 5}, {M::OrbitOut},
     {S::ShrinkAt, SizeAt::RotatePreset}, FrameMap::None},
    {"ssRERotateSourceIn", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::CentreFirst, 5}, {M::OrbitIn},
     {S::ShrinkAt, SizeAt::OneAndHalfWidth}, FrameMap::None},
    {"ssRERotateDestIn", Layout::Grid, true, StartAt::Home, TargetAt::Home, {}, {M::OrbitOut, 0, 0, 0, 1, true}, kFull,
     FrameMap::Square},
    {"ssREImplode", Layout::Grid, false, StartAt::Home, TargetAt::Centre, {Order::None, 0, 10}, kFall,
     {S::ShrinkAt, SizeAt::Fixed, 750}, FrameMap::None},
    {"ssREFallingSquaresLT", Layout::Grid, true, StartAt::AboveTopLeft, TargetAt::Home, {Order::IndexFromEnd, 50}, kFly,
     {S::GrowByTime, SizeAt::PieceCountPlus30}, FrameMap::None},
    {"ssREFallingSquaresRT", Layout::Grid, true, StartAt::AboveTopRight, TargetAt::Home, {Order::IndexFromEnd, 50}, kFly,
     {S::GrowByTime, SizeAt::PieceCountPlus30}, FrameMap::None},
    {"ssREFallingSquaresLTD", Layout::Grid, true, StartAt::AboveTopLeft, TargetAt::Home, {Order::DiagonalFromTopLeft, 1}, kFly,
     {S::GrowByTime, SizeAt::Fixed, 1500}, FrameMap::None},
    {"ssREFallingSquaresTop", Layout::Grid, true, StartAt::AboveMirroredColumn, TargetAt::Home, {Order::RandomPiece, 70}, kFly,
     {S::GrowByRate, SizeAt::Fixed, 0.04, true}, FrameMap::None},
    {"ssREPerspeciveSource", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::RandomPiece, 10}, {M::Recede},
     {S::ByDepth}, FrameMap::None},
    {"ssREPerspeciveDest", Layout::Grid, true, StartAt::Distant, TargetAt::Home, {Order::RandomPiece, 10}, {M::Approach},
     {S::AppearByDepth}, FrameMap::None},
    {"ssRECorkLR", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::ColumnFromRight, 3, 0, 10, 10},
     {M::CorkAcross, 0, 0, 0, 1}, {S::AppearByDepth}, FrameMap::None},
    {"ssRECorkRL", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::Column, 3, 0, 10, 10},
     {M::CorkAcross, 0, 0, 0, -1}, {S::AppearByDepth}, FrameMap::None},
    {"ssRECorkTB", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::RowFromBottom, 1, 0, 10},
     {M::CorkDown, 0, 0, 0, 1}, {S::AppearByDepth}, FrameMap::None},
    {"ssRECorkBT", Layout::Grid, false, StartAt::Home, TargetAt::Home, {Order::RowFromBottom, 1, 0, 10},
     {M::CorkDown, 0, 0, 0, -1}, {S::AppearByDepth}, FrameMap::None},
    {"ssREFallingSquaresLB", Layout::Grid, true, StartAt::BelowBottomLeft, TargetAt::Home, {Order::ColumnMajorFromRight, 50}, kFly,
     kGrowByTotal, FrameMap::None},
    {"ssREFallingSquaresLTV", Layout::Grid, true, StartAt::AboveTopLeft, TargetAt::Home, {Order::ColumnMajorFromRight, 50}, kFly,
     kGrowByTotal, FrameMap::None},
    {"ssREFallingSquaresRTV", Layout::Grid, true, StartAt::AboveTopRight, TargetAt::Home, {Order::ColumnMajor, 50}, kFly,
     kGrowByTotal, FrameMap::None},
    {"ssREFallingSquaresRBV", Layout::Grid, true, StartAt::BelowBottomRight, TargetAt::Home, {Order::ColumnMajor, 50}, kFly,
     kGrowByTotal, FrameMap::None},
    {"ssREFallingSquaresRTD", Layout::Grid, true, StartAt::AboveTopRight, TargetAt::Home, {Order::DiagonalFromTopRight, 1}, kFly,
     kGrowByTotal, FrameMap::None},
    {"ssREFallingSquaresRBD", Layout::Grid, true, StartAt::BelowBottomRight, TargetAt::Home, {Order::DiagonalFromBottomRight, 1},
     kFly, kGrowByTotal, FrameMap::None},
    {"ssREFallingSquaresLBD", Layout::Grid, true, StartAt::BelowBottomLeft, TargetAt::Home, {Order::DiagonalFromBottomLeft, 1},
     kFly, kGrowByTotal, FrameMap::None},
};

constexpr std::int32_t kLongestTotal = 10000;

// What the orders count with.
struct Counts {
    std::int32_t pieces = 0, columns = 1, rows = 1;
    std::int32_t width = 0, height = 0;
};

// Distance of a cell from the picture centre, heights stretched to widths.
double centreDistance(const Piece& p, const Counts& n) {
    const double dx = n.width / 2 - p.width / 2 - p.homeX;
    const double dy = static_cast<double>(n.height / 2 - p.height / 2 - p.homeY) * n.width / n.height;
    return std::sqrt(dx * dx + dy * dy);
}

std::int64_t placeInOrder(Order order, const Piece& p, std::int32_t i, const Counts& n, RandomSource& random) {
    const std::int64_t c = p.column, r = p.row, nc = n.columns, nr = n.rows;
    switch (order) {
    case Order::None: return 0;
    case Order::Index: return i;
    case Order::IndexFromEnd: return n.pieces - i;
    case Order::RowFromBottom: return nr - r;
    case Order::Column: return c;
    case Order::ColumnFromRight: return nc - c;
    case Order::ColumnMajor: return c * nc + r;
    case Order::ColumnMajorFromRight: return (nc - c) * nc + r;
    case Order::DiagonalFromTopLeft: return nr + nc - r - c;
    case Order::DiagonalFromTopRight: return c - r + nr;
    case Order::DiagonalFromBottomRight: return r + c;
    case Order::DiagonalFromBottomLeft: return r - c + nc;
    case Order::CentreFirst: return static_cast<std::int64_t>(centreDistance(p, n) / 10);
    case Order::RimFirst: return std::max<std::int64_t>(0, 100 - static_cast<std::int64_t>(centreDistance(p, n) / 10));
    case Order::RandomPiece: return random.next() % std::max(1, n.pieces);
    }
    return 0;
}

std::int32_t delayOf(const DelayRule& rule, const Piece& p, std::int32_t i, const Counts& n, RandomSource& random) {
    std::int64_t delay = placeInOrder(rule.order, p, i, n, random) * rule.step + rule.constant;
    if (rule.randomSpread > 0) delay += random.next() % rule.randomSpread;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::max<std::int64_t>(delay, rule.minimum), 0, kLatestPieceStart));
}

void placeStart(StartAt at, Piece& p, const PieceArea& a) {
    switch (at) {
    case StartAt::Home:
    case StartAt::Distant: p.startX = p.homeX, p.startY = p.homeY; break;
    case StartAt::StraightAbove: p.startX = p.homeX, p.startY = -p.height; break;
    case StartAt::AboveTopLeft: p.startX = -p.width, p.startY = -p.height; break;
    case StartAt::AboveTopRight: p.startX = a.width, p.startY = -p.height; break;
    case StartAt::BelowBottomLeft: p.startX = -p.width, p.startY = a.height; break;
    case StartAt::BelowBottomRight: p.startX = a.width, p.startY = a.height; break;
    case StartAt::AboveMirroredColumn: p.startX = a.width - p.homeX, p.startY = -p.height; break;
    }
    p.startDepth = at == StartAt::Distant ? 51000 : 1000;
}

void placeTarget(TargetAt at, Piece& p, const PieceArea& a) {
    switch (at) {
    case TargetAt::Home: p.targetX = p.homeX, p.targetY = p.homeY; break;
    case TargetAt::BottomEdge: p.targetX = p.homeX, p.targetY = a.height; break;
    case TargetAt::Centre: p.targetX = (a.width - p.width) / 2, p.targetY = (a.height - p.height) / 2; break;
    }
}

// 1.5 x w, kept inside the range the total is looked for in, so that
// pieces counted back from it are home by the last frame.
double countedBackTotal(const PieceArea& a) { return std::min(1.5 * a.width, double{kLongestTotal}); }

void setMotion(const MotionSpec& m, Piece& p, const PieceArea& a, RandomSource& random) {
    p.motion = m.kind;
    p.speed = m.speed;
    p.acceleration = m.acceleration;
    p.scale = lineScale(a.height, m.speed, m.acceleration);
    p.direction = m.direction;
    switch (m.kind) {
    case M::LineOutwards: {
        // From the picture centre through the piece's centre; a piece right
        // on the centre goes straight up.
        const std::int32_t dx = p.homeX + p.width / 2 - a.width / 2, dy = p.homeY + p.height / 2 - a.height / 2;
        p.heading = dx == 0 && dy == 0 ? -1.5707963267948966 : std::atan2(static_cast<double>(dy), static_cast<double>(dx));
        if (m.jitter != 0) p.heading += (random.next() % m.jitter - m.jitter / 2) * 0.1;
        break;
    }
    case M::OrbitOut:
    case M::CorkAcross:
    case M::CorkDown:
        polarFrom(a.width / 2, a.height / 2, p.startX, p.startY, p.radius0, p.angle0);
        if (m.countedBack) p.reverseTotal = countedBackTotal(a);
        p.ignoreAspect = m.countedBack;
        break;
    case M::OrbitIn:
        // About the place where the piece would sit centred, so it does not
        // jump when it starts.
        polarFrom((a.width - p.width) / 2, (a.height - p.height) / 2, p.startX, p.startY, p.radius0, p.angle0);
        break;
    default: break;
    }
}

double sizeTime(const SizeSpec& s, const PieceArea& a, std::int32_t pieceCount) {
    switch (s.at) {
    case SizeAt::Fixed: return s.value;
    case SizeAt::OneAndHalfWidth: return 1.5 * a.width;
    case SizeAt::RotatePreset: return a.width < 640 ? 1000.0 : 1.5 * a.width;
    case SizeAt::PieceCountPlus30: return (pieceCount + 30.0) * 50;
    case SizeAt::TotalPlus100: return 0;  // known once the pieces are placed
    }
    return 0;
}

void setSize(const SizeSpec& s, std::vector<Piece>& pieces, const PieceArea& a) {
    double value = sizeTime(s, a, static_cast<std::int32_t>(pieces.size()));
    if (s.at == SizeAt::TotalPlus100) value = piecesTotal(pieces, a) + 100.0;
    for (Piece& p : pieces) {
        p.size = s.rule;
        p.sizeValue = s.rule == PieceSize::GrowByRate ? s.value : value;
        p.growFromHalfStart = s.fromHalfStart;
    }
}

std::vector<std::int32_t> frameMapFor(FrameMap map, std::int32_t total) {
    switch (map) {
    case FrameMap::None: return {};
    case FrameMap::CubeEasing: return symmetricEasing(total, EasingShape::Cube);
    case FrameMap::Square: {
        // i^2 / T for i = 0 ... T: slow at first, and the last frame is T itself.
        std::vector<std::int32_t> table(static_cast<std::size_t>(total) + 1);
        for (std::int32_t i = 0; i <= total; ++i) table[i] = static_cast<std::int32_t>(std::int64_t{i} * i / total);
        return table;
    }
    }
    return {};
}

}  // namespace

const PieceRecipe* findPieceRecipe(std::string_view name) {
    for (const PieceRecipe& recipe : kRecipes) {
        if (recipe.name == name) return &recipe;
    }
    return nullptr;
}

std::vector<std::string_view> pieceRecipeNames() {
    std::vector<std::string_view> names;
    for (const PieceRecipe& recipe : kRecipes) names.push_back(recipe.name);
    return names;
}

std::int64_t PiecePlan::timeOf(std::int64_t frame) const {
    if (frameMap.empty()) return frame;
    const std::int64_t last = static_cast<std::int64_t>(frameMap.size()) - 1;
    return frameMap[static_cast<std::size_t>(std::clamp<std::int64_t>(frame, 0, last))];
}

PiecePlan planPieces(const PieceRecipe& recipe, const PieceArea& area, std::int32_t clientHeight, RandomSource& random) {
    PiecePlan plan;
    Counts n;
    n.width = std::max(area.width, 1);
    n.height = std::max(area.height, 1);
    if (recipe.layout == Layout::Bars) {
        plan.pieces = barPieces(n.width, n.height, clientHeight, recipe.arriving);
    } else {
        const GridShape grid = gridShape(n.width, n.height, area.pixelAspect);
        plan.pieces = gridPieces(grid, recipe.arriving);
        n.columns = grid.columns;
        n.rows = grid.rows;
    }
    n.pieces = static_cast<std::int32_t>(plan.pieces.size());
    for (std::int32_t i = 0; i < n.pieces; ++i) {
        Piece& p = plan.pieces[i];
        p.start = delayOf(recipe.delay, p, i, n, random);
        placeStart(recipe.start, p, area);
        placeTarget(recipe.target, p, area);
        setMotion(recipe.motion, p, area, random);
    }
    setSize(recipe.size, plan.pieces, area);
    plan.total = piecesTotal(plan.pieces, area);
    plan.frameMap = frameMapFor(recipe.map, plan.total);
    return plan;
}

}  // namespace lv
