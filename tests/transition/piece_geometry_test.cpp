// Piece layouts, motions, size rules and plans: the worked examples of the
// falling bars and the exploding grid, grids of narrow, short and tiny
// pictures, and the pieces that must come to rest exactly.
#include <gtest/gtest.h>

#include <cmath>

#include "transition/piece_kind.h"
#include "transition/piece_layout.h"
#include "transition/piece_recipes.h"
#include "transition/random_source.h"

namespace lv {
namespace {

PiecePlan plan(const char* name, std::int32_t width, std::int32_t height, std::int32_t clientHeight, std::uint32_t seed = 1) {
    CRandom random(seed);
    return planPieces(*findPieceRecipe(name), PieceArea{width, height, 1.0}, clientHeight, random);
}

bool allDone(const PiecePlan& p, std::int32_t width, std::int32_t height, std::int64_t t) {
    for (const Piece& piece : p.pieces) {
        if (!pieceDone(piece, PieceArea{width, height, 1.0}, t)) return false;
    }
    return true;
}

// ---- falling bars: a picture 400 high in a client 700 high -----------------

TEST(FallingBars, TwentyBarsOfTwentyRowsTheLowestFirstFromOneThicknessAbove) {
    const PiecePlan p = plan("ssREFallingBars", 640, 400, 700);
    ASSERT_EQ(p.pieces.size(), 20u);
    EXPECT_EQ(p.pieces[0].homeY, 380);
    EXPECT_EQ(p.pieces[0].start, 0);
    EXPECT_EQ(p.pieces[19].homeY, 0);
    EXPECT_EQ(p.pieces[19].start, 950);
    for (const Piece& bar : p.pieces) {
        EXPECT_EQ(bar.height, 20);
        EXPECT_EQ(bar.width, 640);
        EXPECT_EQ(bar.startY, -20);
        EXPECT_TRUE(bar.arriving);
    }
    // The total is when the last bar arrives; acceleration 10 covers the
    // height in 750 units: d^2 x 5 x s = distance.
    const double s = 400.0 / (10 * 750.0 * 750.0 / 2);
    double last = 0;
    for (int k = 0; k < 20; ++k) last = std::max(last, 50.0 * k + std::sqrt((20.0 - k) * 20 / (5 * s)));
    EXPECT_NEAR(p.total, last, 1.0);
    EXPECT_TRUE(allDone(p, 640, 400, p.total));
    EXPECT_FALSE(allDone(p, 640, 400, p.total - 1));
    // Reversed bars leave through the bottom edge.
    const PiecePlan reversed = plan("ssREFallingBarsReverse", 640, 400, 700);
    EXPECT_FALSE(reversed.pieces[0].arriving);
    EXPECT_EQ(reversed.pieces[0].targetY, 400);
    EXPECT_TRUE(allDone(reversed, 640, 400, reversed.total));
    EXPECT_FALSE(allDone(reversed, 640, 400, reversed.total - 1));
}

TEST(FallingBars, TheLowestBarAloneMayBeThinner) {
    const std::vector<Piece> bars = barPieces(100, 105, 350, false);
    ASSERT_EQ(bars.size(), 11u);
    EXPECT_EQ(bars[0].homeY, 100);
    EXPECT_EQ(bars[0].height, 5);
    EXPECT_EQ(bars[10].homeY, 0);
    EXPECT_EQ(bars[10].height, 10);
}

// ---- grids ----------------------------------------------------------------

TEST(Grid, EightHundredBySixHundredIsNineBySevenCells) {
    const GridShape g = gridShape(800, 600, 1.0);
    EXPECT_EQ(g.columns, 9);
    EXPECT_EQ(g.rows, 7);
    for (int c = 0; c < 9; ++c) EXPECT_TRUE(g.columnLeft[c + 1] - g.columnLeft[c] == 88 || g.columnLeft[c + 1] - g.columnLeft[c] == 89);
    for (int r = 0; r < 7; ++r) EXPECT_TRUE(g.rowTop[r + 1] - g.rowTop[r] == 85 || g.rowTop[r + 1] - g.rowTop[r] == 86);
    // The remainder widens the middle ones: 800 = 9 x 88 + 8, from column (9 - 8) / 2 = 0.
    EXPECT_EQ(g.columnLeft[1] - g.columnLeft[0], 89);
    EXPECT_EQ(g.columnLeft[9] - g.columnLeft[8], 88);
    // 600 = 7 x 85 + 5, from row (7 - 5) / 2 = 1.
    EXPECT_EQ(g.rowTop[1] - g.rowTop[0], 85);
    EXPECT_EQ(g.rowTop[2] - g.rowTop[1], 86);
    EXPECT_EQ(g.rowTop[7] - g.rowTop[6], 85);
}

TEST(Grid, CellsOfAboutTwentyFourPixelsScaledByThePixelAspect) {
    const struct {
        std::int32_t width, height;
        double aspect;
        int columns, rows;
    } cases[] = {
        {152, 112, 1.0, 6, 6},  // a screen-saver preview: small cells give way to 24 x 18
        {47, 100, 1.0, 1, 5},   // one column with 23 pixels over
        {800, 600, 2.0, 18, 7},
        {800, 600, 0.0, 9, 7},
    };
    for (const auto& c : cases) {
        const GridShape g = gridShape(c.width, c.height, c.aspect);
        EXPECT_EQ(g.columns, c.columns) << c.width << "x" << c.height << " aspect " << c.aspect;
        EXPECT_EQ(g.rows, c.rows) << c.width << "x" << c.height << " aspect " << c.aspect;
    }
}

TEST(Grid, ExplodedCellsHaveAllGoneByTimeOneThousand) {
    const PiecePlan p = plan("ssREExplode", 800, 600, 600);
    EXPECT_EQ(p.pieces.size(), 63u);
    EXPECT_LE(p.total, 1000);
    EXPECT_TRUE(allDone(p, 800, 600, 1000));
}

TEST(Grid, EveryPictureGetsAtLeastOneCellAndTheCellsTileIt) {
    for (std::int32_t w : {1, 2, 7, 23, 24, 25, 47, 48, 100, 639, 1000, 4000})
        for (std::int32_t h : {1, 3, 5, 17, 18, 19, 35, 40, 100, 480, 1000}) {
            const GridShape g = gridShape(w, h, 1.0);
            ASSERT_GE(g.columns, 1) << w << "x" << h;
            ASSERT_GE(g.rows, 1) << w << "x" << h;
            ASSERT_EQ(g.columnLeft.size(), static_cast<std::size_t>(g.columns) + 1);
            EXPECT_EQ(g.columnLeft.back(), w) << w << "x" << h;
            EXPECT_EQ(g.rowTop.back(), h) << w << "x" << h;
            for (int c = 0; c < g.columns; ++c) ASSERT_GT(g.columnLeft[c + 1], g.columnLeft[c]) << w << "x" << h;
            for (int r = 0; r < g.rows; ++r) ASSERT_GT(g.rowTop[r + 1], g.rowTop[r]) << w << "x" << h;
        }
}

// ---- motions and sizes -----------------------------------------------------

Piece linePiece() {
    Piece p;
    p.arriving = true;
    p.width = p.height = 10;
    p.homeX = p.targetX = 30;
    p.homeY = p.targetY = 20;
    p.startX = -10;
    p.startY = -10;
    p.motion = PieceMotion::LineToTarget;
    p.acceleration = 10;
    p.scale = lineScale(100, 0, 10);
    return p;
}

TEST(PieceMotions, ALineWaitsAtItsStartAndStopsOnItsTarget) {
    Piece p = linePiece();
    const PieceArea a{100, 100};
    EXPECT_EQ(poseAt(p, a, 0).x, -10);
    const PiecePose mid = poseAt(p, a, 200);
    EXPECT_GT(mid.x, -10);
    EXPECT_LT(mid.x, 30);
    EXPECT_EQ(poseAt(p, a, 5000).x, 30);
    EXPECT_EQ(poseAt(p, a, 5000).y, 20);
    p.start = 100;
    EXPECT_EQ(poseAt(p, a, 99).x, -10);
}

TEST(PieceMotions, APieceOnTheCentreFliesStraightUp) {
    // A 10 x 10 picture is one cell, centred on the picture.
    const PiecePlan single = plan("ssREExplode", 10, 10, 10);
    ASSERT_EQ(single.pieces.size(), 1u);
    const PiecePose later = poseAt(single.pieces[0], PieceArea{10, 10}, 400);
    EXPECT_EQ(later.x, 0);
    EXPECT_LT(later.y, 0);
}

// At any size, and a very wide picture within the longest total.
TEST(PieceMotions, CountedBackOrbitsComeToRestExactlyAtHome) {
    for (const auto& [w, h] : {std::pair{64, 48}, {7, 5}, {1, 1}, {640, 480}, {1024, 768}, {8000, 60}}) {
        const PiecePlan p = plan("ssRERotateDestIn", w, h, h);
        EXPECT_LE(p.total, 10000) << w;
        EXPECT_TRUE(allDone(p, w, h, p.total)) << w;
        EXPECT_EQ(p.timeOf(p.total), p.total) << w;
        // Frames beyond the end read the map's last entry.
        EXPECT_EQ(p.timeOf(p.total + 50), p.total) << w;
        for (const Piece& piece : p.pieces) {
            const PiecePose pose = poseAt(piece, PieceArea{w, h}, p.total + 1000);
            EXPECT_EQ(pose.x, piece.homeX);
            EXPECT_EQ(pose.y, piece.homeY);
        }
    }
}

TEST(PieceMotions, ALeavingPieceOutsideThePictureIsDoneAtAnySize) {
    Piece p;
    p.width = p.height = 10;
    p.startX = 100;
    p.startY = 0;
    p.size = PieceSize::ShrinkAt;
    p.sizeValue = 5000;
    EXPECT_TRUE(pieceDone(p, PieceArea{100, 100}, 10));
    p.startX = 91;
    EXPECT_FALSE(pieceDone(p, PieceArea{100, 100}, 10));
    p.startX = -9;
    EXPECT_FALSE(pieceDone(p, PieceArea{100, 100}, 10));
    p.startX = -10;
    EXPECT_TRUE(pieceDone(p, PieceArea{100, 100}, 10));
}

TEST(PieceSizes, ShrinkingByTimeAndAppearingOrGrowing) {
    // A shrinking piece shows its middle.
    Piece p;
    p.homeX = p.startX = 10;
    p.homeY = p.startY = 20;
    p.width = 40;
    p.height = 20;
    p.size = PieceSize::ShrinkAt;
    p.sizeValue = 100;
    const DrawnPiece d = drawnAt(p, PieceArea{100, 100}, 50);
    EXPECT_EQ(d.destination, (Rect{20, 25, 20, 10}));
    EXPECT_EQ(d.sourceX, 20);
    EXPECT_EQ(d.sourceY, 25);
    EXPECT_TRUE(drawnAt(p, PieceArea{100, 100}, 100).destination.empty());
    // Depth-scaled pieces below three pixels vanish, unless that is their size.
    Piece flat;
    flat.arriving = true;
    flat.width = 40;
    flat.height = 2;
    flat.size = PieceSize::AppearByDepth;
    EXPECT_EQ(extentAt(flat, 1000, 0).width, 40);
    EXPECT_EQ(extentAt(flat, 1000, 0).height, 2);
    EXPECT_EQ(extentAt(flat, 2000, 0).width, 0);
    EXPECT_EQ(extentAt(flat, 1000, -1).width, 0);
    // A leaving piece appearing by depth keeps its size until five after its start.
    Piece leaving;
    leaving.width = leaving.height = 40;
    leaving.start = 10;
    leaving.size = PieceSize::AppearByDepth;
    EXPECT_EQ(extentAt(leaving, 2000, 0).width, 40);
    EXPECT_EQ(extentAt(leaving, 2000, 14).width, 40);
    EXPECT_EQ(extentAt(leaving, 2000, 15).width, 20);
    // Growing by time reaches full size six tenths of the way.
    Piece growing;
    growing.arriving = true;
    growing.width = growing.height = 60;
    growing.start = 100;
    growing.size = PieceSize::GrowByTime;
    growing.sizeValue = 1100;  // k = 600
    EXPECT_EQ(extentAt(growing, 1000, 99).width, 0);
    EXPECT_EQ(extentAt(growing, 1000, 400).width, 30);
    EXPECT_EQ(extentAt(growing, 1000, 700).width, 60);
}

// ---- plans ------------------------------------------------------------------

TEST(PiecePlans, EveryRecipeFinishesOnOrdinaryPictures) {
    for (std::string_view name : pieceRecipeNames()) {
        const PiecePlan p = plan(std::string(name).c_str(), 640, 480, 480);
        EXPECT_LT(p.total, 10000) << name;
        EXPECT_TRUE(allDone(p, 640, 480, p.total)) << name;
        EXPECT_EQ(p.timeOf(p.total), p.total) << name;
    }
}

TEST(PiecePlans, FallingSquaresRiseFromTheBottomRowWithRandomDelays) {
    const PiecePlan p = plan("ssREFallingSquares", 640, 480, 480, 9);
    const std::int32_t rows = p.pieces.back().row + 1;
    for (const Piece& piece : p.pieces) {
        EXPECT_GE(piece.start, rows - piece.row);
        EXPECT_LT(piece.start, rows - piece.row + 500);
        EXPECT_EQ(piece.startY, -piece.height);
    }
    EXPECT_NE(plan("ssREFallingSquares", 640, 480, 480, 9).pieces[3].start,
              plan("ssREFallingSquares", 640, 480, 480, 10).pieces[3].start);
}

// One row of 270 cells: the far cells' flights and delays pass 10000 units,
// so the total is looked for beyond it, and is the first time all are home.
TEST(PiecePlans, ANarrowPictureOfOneRowFinishesPastTheUsualRange) {
    for (const char* name : {"ssREFallingSquaresLT", "ssREFallingSquaresRBV", "ssREFallingSquaresLTD", "ssREFallingSquaresTop"}) {
        const PiecePlan p = plan(name, 18800, 18, 18);
        EXPECT_EQ(p.pieces.size(), 270u) << name;
        EXPECT_GT(p.total, 10000) << name;
        EXPECT_TRUE(allDone(p, 18800, 18, p.total)) << name;
        EXPECT_FALSE(allDone(p, 18800, 18, p.total - 1)) << name;
    }
}

TEST(PiecePlans, CorkDelaysAreAtLeastTen) {
    for (const Piece& piece : plan("ssRECorkRL", 640, 480, 480).pieces) EXPECT_GE(piece.start, 10);
}

}  // namespace
}  // namespace lv
