// Painting a step's pixel sets straight onto the display: the pixels a frame
// record of the same sets would carry (span_mask.h), written from the sets
// themselves, without laying them out as a record and reading it back.
//
//     sets[0]->mode = SetMode::Blend; sets[0]->level = 96;
//     paintSets({&columns[7], &columns[8]}, display, 0, 0);
//
// A span step paints one or a few pixels on each of a thousand rows (a
// column, a line, scattered points); what such a step costs is its work per
// row and per pixel, not the bytes it moves. So each output's format is
// chosen once per step, a blend is a few integer operations per pixel, and
// every pixel goes to the display with one small store: no batches, no
// calls per row.
//
// Sets are painted in the order a frame record lays them (by mode, blends by
// level, otherwise as given), so a pixel that two sets hold shows what the
// record would show; the result equals mergeSets + paintFrameRecord without
// a visible region, byte for byte, in every output format. Pixels outside
// the locked area of an output are not written. False when the lock gave
// nothing (nothing is written then).
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "transition/span_mask.h"

namespace lv {

// The order in which a step's sets are painted (stable: by mode, and blends
// by level); mergeSets groups a record in the same order.
void sortForPainting(std::vector<const PixelSet*>& sets);

// Paints the sets, the picture's (0, 0) at (ox, oy) of the window.
bool paintSets(std::vector<const PixelSet*> sets, Display& display, std::int32_t ox, std::int32_t oy);

// The blend of one engine pixel pair at `level` (0 ... 256), per channel
// (outgoing x (256 - level) + incoming x level) >> 8, fourth byte 0: what the
// blend row kernels give without a dither bias.
inline std::uint32_t blendPixel(std::uint32_t outgoing, std::uint32_t incoming, std::uint32_t level) {
    const std::uint32_t keep = 256u - level;
    // Red and blue in one product, green in another: a channel's sum stays
    // below 2^16, so no lane carries into the next.
    const std::uint32_t redBlue = ((outgoing & 0xFF00FFu) * keep + (incoming & 0xFF00FFu) * level) >> 8;
    const std::uint32_t green = ((outgoing & 0xFF00u) * keep + (incoming & 0xFF00u) * level) >> 8;
    return (redBlue & 0xFF00FFu) | (green & 0xFF00u);
}

}  // namespace lv
