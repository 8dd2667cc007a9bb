#include "render/image_statements.h"

#include <optional>
#include <string>

#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "render/bitmap_object.h"
#include "render/bitmap_resize.h"
#include "render/image_ops.h"
#include "render/paint.h"
#include "render/shape_geometry.h"
#include "render/text_compose.h"
#include "render/text_mask.h"
#include "script/engine.h"
#include "script/keywords.h"
#include "script/objects.h"
#include "script/values.h"
#include "shell/file_services.h"
#include "shell/process.h"

namespace lv {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// Reading a statement's properties with their defaults.
class Properties {
public:
    Properties(ScriptEngine& engine, const PropertyRecord& record) : objects_(engine.objects()), record_(record) {}

    std::optional<int> number(int keyword) const {
        const std::int32_t v = record_.number(keyword);
        if (v == PropertyRecord::kNumberNotSet) return std::nullopt;
        return v;
    }
    int number(int keyword, int fallback) const { return number(keyword).value_or(fallback); }
    std::uint32_t colour(int keyword, std::uint32_t fallback) const {
        const std::uint32_t v = record_.colour(keyword);
        return v == PropertyRecord::kColourNotSet ? fallback : v;
    }
    const std::optional<std::string>& text(int keyword) const { return record_.text(keyword); }

    // The object name the statement works on, dereferenced.
    std::optional<std::string> name() const {
        if (!text(kwName)) return std::nullopt;
        return dereference(objects_, *text(kwName));
    }
    // The Bitmap of the bitmap object a text property names, or null.
    Bitmap* bitmapOf(int keyword) const {
        if (!text(keyword)) return nullptr;
        return bitmapObject(objects_, dereference(objects_, *text(keyword)));
    }
    Bitmap* target() const { return bitmapOf(kwName); }

    ObjectRegistry& objects() const { return objects_; }

private:
    ObjectRegistry& objects_;
    const PropertyRecord& record_;
};

using Handler = void (*)(const Properties&);

// A JPEG file (packed files too) decoded at full size; null when it cannot be
// read or decoded.
BitmapPtr decodePictureFile(const std::string& path) {
    const std::optional<FileBytes> file = readWholeFile(path, false);
    if (!file) return nullptr;
    codec::MemoryStream stream(std::span<const std::uint8_t>(file->bytes.data(), file->length));
    return decodeJpeg(stream, 0, 0);
}

// Replaces the named object's Bitmap by a new one; a null result leaves it.
void replace(const Properties& p, BitmapPtr result) {
    if (!result) return;
    defineBitmap(p.objects(), *p.name(), std::move(result));
}

void bitmapStatement(const Properties& p) {
    const std::optional<std::string> name = p.name();
    if (!name) return;
    if (p.text(kwSource)) {
        defineBitmap(p.objects(), *name, decodePictureFile(startupArgs().programFolder + *p.text(kwSource)));
        return;
    }
    const std::optional<int> width = p.number(kwWidth), height = p.number(kwHeight);
    const int bits = p.number(kwBits, 24);
    if (!width || !height || (bits != 8 && bits != 24)) return;
    defineBitmap(p.objects(), *name, createBitmap(*name, *width, *height, bits));
}

void scaleStatement(const Properties& p) {
    Bitmap* b = p.target();
    if (!b) return;
    const std::optional<PictureSize> size = scaledSize(b->width, b->height, p.number(kwWidth), p.number(kwHeight));
    if (size) replace(p, resizeBitmap(*b, size->width, size->height));
}

void cropStatement(const Properties& p) {
    Bitmap* b = p.target();
    if (!b) return;
    cropBitmap(*b, p.number(kwLeft, 0), p.number(kwTop, 0), b->width - p.number(kwRight, 0),
               b->height - p.number(kwBottom, 0));
}

// The inside or outside paint of a shape: colour, opacity, pattern and mask.
Paint shapePaint(const Properties& p, int colourKw, std::uint32_t colour, int opacity, int bitKw, int maskKw) {
    Paint paint;
    paint.colour = p.colour(colourKw, colour);
    paint.opacity = p.number(colourKw + 1, opacity);
    if ((paint.pattern = p.bitmapOf(bitKw))) {
        paint.patternX = p.number(bitKw + 1, 0);
        paint.patternY = p.number(bitKw + 2, 0);
    }
    if ((paint.mask = p.bitmapOf(maskKw))) {
        paint.maskX = p.number(maskKw + 1, 0);
        paint.maskY = p.number(maskKw + 2, 0);
    }
    return paint;
}

void shapeStatement(const Properties& p, ShapeKind kind) {
    Bitmap* b = p.target();
    if (!b) return;
    const EdgeProperties edges{p.number(kwLeft), p.number(kwTop), p.number(kwRight),
                               p.number(kwBottom), p.number(kwWidth), p.number(kwHeight)};
    const IntRect r = shapeRectangle(b->width, b->height, edges);
    const Shape shape{r.left, r.top, r.right, r.bottom, kind, p.number(kwThickness, 0)};
    paintShape(*b, shape, shapePaint(p, kwInnerColor, kWhite, 255, kwInnerBit, kwInnerXpar),
               shapePaint(p, kwOuterColor, kBlack, 0, kwOuterBit, kwOuterXpar));
}

void rectStatement(const Properties& p) { shapeStatement(p, ShapeKind::Rectangle); }
void ovalStatement(const Properties& p) { shapeStatement(p, ShapeKind::Ellipse); }

void embossStatement(const Properties& p) {
    Bitmap* b = p.target();
    Bitmap* mask = p.bitmapOf(kwSource);
    if (!b || !mask) return;
    EmbossLight light;
    light.lightColour = p.colour(kwInnerColor, kWhite);
    light.lightOpacity = p.number(kwInnerOpacity, 192);
    light.shadowColour = p.colour(kwOuterColor, kBlack);
    light.shadowOpacity = p.number(kwOuterOpacity, light.lightOpacity);
    light.angle = p.number(kwAngle, 45);
    light.radius = p.number(kwRadius, 3);
    light.gloss = p.number(kwGloss, 30);
    embossBitmap(*b, *mask, p.number(kwLeft, 0), p.number(kwTop, 0), light);
}

void adjustStatement(const Properties& p) {
    if (Bitmap* b = p.target())
        adjustBitmap(*b, p.number(kwBright, 0), p.number(kwContrast, 0), p.number(kwBlack, 0), p.number(kwWhite, 0));
}

// The script's angle turns counter-clockwise; the rotation clockwise.
void rotateStatement(const Properties& p) {
    if (Bitmap* b = p.target()) replace(p, rotateBitmap(*b, -p.number(kwAngle, 90)));
}

void flipStatement(const Properties& p) {
    if (Bitmap* b = p.target()) replace(p, flipBitmap(*b, p.number(kwHorz, 0) != 0, p.number(kwVert, 0) != 0));
}

void blurStatement(const Properties& p) {
    if (Bitmap* b = p.target()) replace(p, blurBitmap(*b, p.number(kwRadius, 1)));
}

void spreadStatement(const Properties& p) {
    if (Bitmap* b = p.target())
        replace(p, spreadBitmap(*b, p.number(kwRadius, 1), p.number(kwEmboss, -1), p.number(kwGloss, 0)));
}

// "$menu.text" names a property of another object: read it when it exists.
std::string statementText(const Properties& p) {
    std::string text = dereference(p.objects(), *p.text(kwText));
    if (text.size() > 1 && text[0] == '$')
        if (std::optional<std::string> value = p.objects().get(std::string_view(text).substr(1), kwNone))
            text = *value;
    return text;
}

FontDescription statementFont(const Properties& p) {
    FontDescription font;
    font.height = -p.number(kwTextHeight, 20);
    font.width = p.number(kwTextWidth, 0);
    font.weight = p.number(kwBold, 0) != 0 ? 700 : 400;
    font.italic = p.number(kwItalic, 0) != 0;
    font.underline = p.number(kwUnderline, 0) != 0;
    font.strikeOut = p.number(kwStrike, 0) != 0;
    return font;
}

void textStatement(const Properties& p) {
    Bitmap* b = p.target();
    if (!b || !p.text(kwText)) return;
    TextLayers l;
    if ((l.innerBit = p.bitmapOf(kwInnerBit))) {
        l.innerBitX = p.number(kwInnerBitX, 0);
        l.innerBitY = p.number(kwInnerBitY, 0);
    }
    BitmapPtr mask = renderTextMask(statementFont(p), statementText(p), p.number(kwOversample, 1) != 0);
    if (!mask) return;
    l.left = p.number(kwLeft), l.top = p.number(kwTop), l.right = p.number(kwRight), l.bottom = p.number(kwBottom);
    l.width = p.number(kwWidth), l.height = p.number(kwHeight);
    l.innerColor = p.colour(kwInnerColor, kBlack);
    l.innerOpacity = p.number(kwInnerOpacity, 255);
    l.outline = p.number(kwOutline, 0);
    l.outerColor = p.colour(kwOuterColor, kBlack);
    l.outerOpacity = p.number(kwOuterOpacity, l.innerOpacity);
    l.shadow = p.number(kwShadow);
    l.shadowColor = p.colour(kwShadowColor, kBlack);
    if (const std::uint32_t glow = p.colour(kwBacklight, PropertyRecord::kColourNotSet);
        glow != PropertyRecord::kColourNotSet)
        l.backlight = glow;
    l.emboss = p.number(kwEmboss, 0);
    l.gloss = p.number(kwGloss, 60);
    l.angle = p.number(kwAngle, 45);
    composeText(*b, *mask, l);
}

struct Entry {
    int keyword;
    Handler handler;
};

constexpr Entry kStatements[] = {
    {kwBitmap, bitmapStatement}, {kwCrop, cropStatement},       {kwRect, rectStatement},
    {kwOval, ovalStatement},     {kwText, textStatement},       {kwEmboss, embossStatement},
    {kwAdjust, adjustStatement}, {kwRotate, rotateStatement},   {kwFlip, flipStatement},
    {kwBlur, blurStatement},     {kwSpread, spreadStatement},   {kwScale, scaleStatement},
};

}  // namespace

void installImageStatements(ScriptEngine& engine) {
    for (const Entry& e : kStatements) {
        const Handler handler = e.handler;
        engine.setStatement(e.keyword, [handler](ScriptEngine& eng, const PropertyRecord& record, std::string&) {
            handler(Properties(eng, record));
            return ScriptEngine::kDone;
        });
    }
}

}  // namespace lv
