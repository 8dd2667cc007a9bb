#include "render/text_compose.h"

#include <algorithm>

#include "render/image_ops.h"
#include "render/paint.h"

namespace lv {

namespace {

constexpr int kShadowOfEmboss = 96;

// Paints a colour through a mask whose pixel (0, 0) falls at the rectangle's
// top-left corner; nothing outside the rectangle changes.
void paintThroughMask(Bitmap& target, const IntRect& area, const Bitmap& mask, std::uint32_t colour, int opacity,
                      const Bitmap* pattern = nullptr, int patternX = 0, int patternY = 0) {
    Paint paint;
    paint.colour = colour;
    paint.opacity = opacity;
    paint.mask = &mask;
    paint.maskX = area.left;
    paint.maskY = area.top;
    paint.pattern = pattern;
    paint.patternX = patternX;
    paint.patternY = patternY;
    Paint none;
    none.opacity = 0;
    paintShape(target, Shape{area.left, area.top, area.right, area.bottom}, paint, none);
}

IntRect grown(const IntRect& r, int by) { return IntRect{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

void paintShadow(Bitmap& target, const Bitmap& mask, const Bitmap* ring, const IntRect& text, const TextLayers& l) {
    const Bitmap& source = ring ? *ring : mask;
    const int r = std::max(1, mask.height / 8);
    BitmapPtr blurred = blurBitmap(source, r);
    if (!blurred) return;
    // The blur adds a margin (the radius, or less for large radii, which blur
    // twice with one margin); taking it back places the shadow an eighth of
    // the text's height down and to the right whatever the radius.
    const int margin = (blurred->width - source.width) / 2;
    const int d = mask.height / 8 - margin - (ring ? l.outline : 0);
    const IntRect area{text.left + d, text.top + d, text.left + d + blurred->width, text.top + d + blurred->height};
    paintThroughMask(target, area, *blurred, l.shadowColor, *l.shadow);
}

void paintGlow(Bitmap& target, const Bitmap& mask, const Bitmap* ring, const IntRect& text, const TextLayers& l) {
    const Bitmap& base = ring ? *ring : mask;
    const int r = std::max(1, base.height / 10);
    BitmapPtr grownMask = spreadBitmap(base, r, -1, 0);
    if (!grownMask) return;
    BitmapPtr glow = blurBitmap(*grownMask, r);
    if (!glow) return;
    // The base sits inside the glow by the spread's and the blur's margins
    // (2r, except for large radii, which blur with a smaller margin).
    const int inset = r + (glow->width - grownMask->width) / 2;
    grownMask.reset();
    // The glow stays around the letters, not under them.
    paintThroughMask(*glow, IntRect{inset, inset, glow->width - inset, glow->height - inset}, base, 0, 255);
    IntRect area = grown(text, inset);
    if (ring) area = IntRect{area.left - l.outline, area.top - l.outline, area.right + l.outline, area.bottom + l.outline};
    paintThroughMask(target, area, *glow, *l.backlight, 255);
}

void paintOutline(Bitmap& target, const Bitmap& mask, Bitmap& ring, const IntRect& text, const TextLayers& l) {
    paintThroughMask(ring, IntRect{l.outline, l.outline, mask.width + l.outline, mask.height + l.outline}, mask, 0, 255);
    paintThroughMask(target, grown(text, l.outline), ring, l.outerColor, l.outerOpacity);
}

void paintEmboss(Bitmap& target, const Bitmap& mask, const IntRect& text, const TextLayers& l) {
    EmbossLight light;
    light.lightColour = 0xFFFFFF;
    light.lightOpacity = 127 + (l.gloss > 50 ? (l.gloss - 50) * 128 / 100 : 0);
    light.shadowColour = 0;
    light.shadowOpacity = kShadowOfEmboss;
    light.angle = l.angle;
    light.radius = l.emboss;
    light.gloss = l.gloss;
    embossBitmap(target, mask, text.left, text.top, light);
}

}  // namespace

IntRect placeText(const Bitmap& target, const Bitmap& mask, const TextLayers& l) {
    const int width = l.width.value_or(mask.width);
    const int height = l.height.value_or(mask.height);
    const int left = l.left ? *l.left : (l.right ? *l.right - width : (target.width - width) / 2);
    const int top = l.top ? *l.top : (l.bottom ? *l.bottom - height : (target.height - height) / 2);
    return IntRect{left, top, left + width, top + height};
}

void composeText(Bitmap& target, const Bitmap& mask, const TextLayers& l) {
    const IntRect text = placeText(target, mask, l);
    BitmapPtr ring = l.outline > 0 ? spreadBitmap(mask, l.outline, -1, 0) : nullptr;
    if (l.shadow) paintShadow(target, mask, ring.get(), text, l);
    if (l.backlight) paintGlow(target, mask, ring.get(), text, l);
    if (ring) paintOutline(target, mask, *ring, text, l);
    paintThroughMask(target, text, mask, l.innerColor, l.innerOpacity, l.innerBit, text.left + l.innerBitX,
                     text.top + l.innerBitY);
    if (l.emboss >= 1) paintEmboss(target, mask, text, l);
}

}  // namespace lv
