// Composition of a text into a picture: the layers are painted through the
// text's coverage mask in the order shadow, glow (backlight), outline, text,
// emboss.
#pragma once

#include <cstdint>
#include <optional>

#include "render/bitmap.h"
#include "render/bitmap_draw.h"

namespace lv {

struct TextLayers {
    // Placement: a missing left is worked out from right, else centred; the
    // same for top. A width or height larger than the mask repeats it.
    std::optional<int> left, top, right, bottom, width, height;

    std::uint32_t innerColor = 0;
    int innerOpacity = 255;
    const Bitmap* innerBit = nullptr;  // pattern of the letters
    int innerBitX = 0, innerBitY = 0;

    int outline = 0;  // ring width around the letters
    std::uint32_t outerColor = 0;
    int outerOpacity = 255;

    std::optional<int> shadow;  // the shadow's opacity
    std::uint32_t shadowColor = 0;

    std::optional<std::uint32_t> backlight;  // glow colour

    int emboss = 0;  // radius; 0 for none
    int gloss = 60;
    int angle = 45;
};

// The text rectangle of a mask placed in a target by the layers' placement.
IntRect placeText(const Bitmap& target, const Bitmap& mask, const TextLayers& layers);

// Paints every layer into the target; a failed allocation leaves that layer out.
void composeText(Bitmap& target, const Bitmap& mask, const TextLayers& layers);

}  // namespace lv
