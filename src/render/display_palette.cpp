#include "render/display_palette.h"

#include <algorithm>
#include <vector>

namespace lv {

namespace {

constexpr int kCubeFirst = 10;
constexpr int kCubeCount = 190;
constexpr int kGreyFirst = 203;
constexpr int kBrownFirst = 225;
constexpr int kBrownCount = 14;

constexpr PaletteEntry kLowSystem[8] = {{0, 0, 0, 0},   {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
                                        {0, 0, 128, 0}, {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0}};
constexpr PaletteEntry kHighSystem[8] = {{128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
                                         {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
constexpr PaletteEntry kExtras[3] = {{85, 85, 255, 0}, {85, 255, 85, 0}, {255, 85, 85, 0}};
constexpr std::uint8_t kRedLevels[] = {0, 51, 102, 153, 204, 255};
constexpr std::uint8_t kGreenLevels[] = {0, 42, 85, 127, 170, 213, 255};
constexpr std::uint8_t kBlueLevels[] = {0, 63, 127, 191, 255};
constexpr PaletteEntry kBrownFrom{255, 191, 159, 0};
constexpr PaletteEntry kBrownTo{178, 138, 95, 0};

bool isDuplicateBlack(int index) { return index == 8 || index == 9 || (index >= 239 && index <= 247); }

int distance2(const PaletteEntry& a, int red, int green, int blue) {
    const int dr = a.red - red, dg = a.green - green, db = a.blue - blue;
    return dr * dr + dg * dg + db * db;
}

std::uint8_t lerp(std::uint8_t from, std::uint8_t to, int step, int steps) {
    return static_cast<std::uint8_t>(from + ((to - from) * step + (to > from ? steps / 2 : -steps / 2)) / steps);
}

// Every entry outside the cube, in place.
void fillFixedEntries(Palette& p) {
    std::copy(std::begin(kLowSystem), std::end(kLowSystem), p.begin());
    std::copy(std::begin(kHighSystem), std::end(kHighSystem), p.begin() + 248);
    std::copy(std::begin(kExtras), std::end(kExtras), p.begin() + kCubeFirst + kCubeCount);
    int grey = 0;
    for (int i = 0; i < 22; ++i) {
        grey += (grey == 77 || grey == 166) ? 12 : 11;
        const auto g = static_cast<std::uint8_t>(grey);
        p[kGreyFirst + i] = PaletteEntry{g, g, g, 0};
    }
    for (int i = 0; i < kBrownCount; ++i)
        p[kBrownFirst + i] = PaletteEntry{lerp(kBrownFrom.red, kBrownTo.red, i, kBrownCount - 1),
                                          lerp(kBrownFrom.green, kBrownTo.green, i, kBrownCount - 1),
                                          lerp(kBrownFrom.blue, kBrownTo.blue, i, kBrownCount - 1), 0};
}

// The cube colours, red fastest, without those the fixed entries hold; then
// the ones nearest to a fixed entry are dropped until the cube fits.
void fillCube(Palette& p) {
    std::vector<PaletteEntry> fixed;
    for (int i = 0; i < 256; ++i)
        if (i < kCubeFirst || i >= kCubeFirst + kCubeCount) fixed.push_back(p[i]);
    struct Candidate {
        PaletteEntry colour;
        int nearestFixed;
    };
    std::vector<Candidate> cube;
    for (std::uint8_t b : kBlueLevels)
        for (std::uint8_t g : kGreenLevels)
            for (std::uint8_t r : kRedLevels) {
                int nearest = 1 << 30;
                for (const PaletteEntry& f : fixed) nearest = std::min(nearest, distance2(f, r, g, b));
                if (nearest > 0) cube.push_back(Candidate{PaletteEntry{r, g, b, 0}, nearest});
            }
    while (cube.size() > static_cast<std::size_t>(kCubeCount)) {
        // Drop the last of the most redundant colours, keeping the order of the rest.
        auto it = std::min_element(cube.rbegin(), cube.rend(), [](const Candidate& a, const Candidate& c) {
            return a.nearestFixed < c.nearestFixed;
        });
        cube.erase(std::next(it).base());
    }
    for (int i = 0; i < kCubeCount; ++i) p[kCubeFirst + i] = cube[i].colour;
}

}  // namespace

const Palette& displayPalette() {
    static const Palette palette = [] {
        Palette p{};
        fillFixedEntries(p);
        fillCube(p);
        return p;
    }();
    return palette;
}

const InverseColourMap& inverseColourMap() {
    static const InverseColourMap map = [] {
        const Palette& p = displayPalette();
        InverseColourMap m{};
        for (int cell = 0; cell < 32768; ++cell) {
            const int red = (cell >> 10) * 8 + 4, green = ((cell >> 5) & 31) * 8 + 4, blue = (cell & 31) * 8 + 4;
            int best = 0, bestDistance = 1 << 30;
            for (int i = 0; i < 256; ++i) {
                if (isDuplicateBlack(i)) continue;
                const int d = distance2(p[i], red, green, blue);
                if (d < bestDistance) best = i, bestDistance = d;
            }
            m[cell] = static_cast<std::uint8_t>(best);
        }
        return m;
    }();
    return map;
}

}  // namespace lv
