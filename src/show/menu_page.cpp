#include "show/menu_page.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "render/bitmap_resize.h"
#include "render/image_ops.h"
#include "render/paint.h"
#include "render/text_mask.h"
#include "show/caption_draw.h"

namespace lv {

namespace {

// The numbering styles and the formats they stand for; anything else is the number alone.
struct NumberingStyle {
    std::string_view style;
    std::string_view separator;  // between the number and the text
};
constexpr NumberingStyle kStyles[] = {{"%n. %t", ". "}, {"%n) %t", ") "}, {"%n: %t", ": "}, {"%n %t", " "}};

void fillRect(Bitmap& target, int left, int top, int right, int bottom, std::uint32_t colour, int opacity) {
    Paint fill;
    fill.colour = colour;
    fill.opacity = opacity;
    Paint nothing;
    nothing.opacity = 0;
    paintShape(target, Shape{left, top, right, bottom}, fill, nothing);
}

// Copies a picture of the same depth into the target at (left, top), clipped.
void placePicture(Bitmap& target, const Bitmap& picture, int left, int top) {
    if (picture.depth != target.depth) return;
    const int bytes = target.depth / 8;
    const int x0 = std::max(0, -left), x1 = std::min(picture.width, target.width - left);
    const int y0 = std::max(0, -top), y1 = std::min(picture.height, target.height - top);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y)
        std::copy_n(picture.rows[y] + x0 * bytes, (x1 - x0) * bytes, target.rows[y + top] + (left + x0) * bytes);
}

FontDescription labelFont(const MenuItem& item, int height) {
    FontDescription font;
    font.height = height;
    font.weight = (item.flags & MenuFlag::kBold) ? 700 : 400;
    font.italic = (item.flags & MenuFlag::kItalic) != 0;
    if (!item.face.empty()) font.face = item.face;
    return font;
}

}  // namespace

std::string menuLabelText(std::string_view style, std::int64_t number, std::string_view text) {
    std::string label = std::to_string(number);
    for (const NumberingStyle& s : kStyles) {
        if (s.style == style) {
            label.append(s.separator);
            label.append(text);
            break;
        }
    }
    return label;
}

int menuPageCount(int showCount, int itemsPerPage) {
    if (showCount <= 0) return 0;
    const std::int64_t per = std::max(1, itemsPerPage);
    return static_cast<int>((std::int64_t{showCount} + per - 1) / per);
}

int stepMenuPage(int page, int pageCount, int delta) {
    if (pageCount <= 0) return 0;
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{page} + delta, 0, pageCount - 1));
}

int stepShowIndex(int index, int showCount, int delta) {
    if (showCount <= 0) return 0;
    const std::int64_t moved = (std::int64_t{index} + delta) % showCount;
    return static_cast<int>(moved < 0 ? moved + showCount : moved);
}

MenuHit hitTestMenu(const MenuDefinition& menu, int showCount, int page, int x, int y) {
    MenuHit hit;
    for (std::size_t k = 0; k < menu.items.size(); ++k) {
        const MenuItem& item = menu.items[k];
        if (!item.thumb.contains(x, y) && !item.label().contains(x, y)) continue;
        hit.rect = item.thumbUsed() ? item.thumb : item.label();
        const std::int64_t choice = static_cast<std::int64_t>(k) + std::int64_t{menu.itemsPerPage()} * page;
        hit.choice = choice >= 0 && choice < showCount ? static_cast<int>(choice) : -1;
        return hit;
    }
    if (menu.playAll.label().contains(x, y)) {
        hit.choice = showCount + 1;
        hit.rect = menu.playAll.label();
    } else if (menu.loopAll.label().contains(x, y)) {
        hit.choice = showCount;
        hit.rect = menu.loopAll.label();
    }
    return hit;
}

std::string fitLabelText(std::string_view text, int boxWidth, const std::function<int(std::string_view)>& width) {
    std::string fitted(text);
    if (width(fitted) <= boxWidth) return fitted;
    std::string kept(text);
    while (!kept.empty()) {
        kept.pop_back();
        fitted = kept + "...";
        if (width(fitted) <= boxWidth) return fitted;
    }
    return "...";
}

int placeLabelSpan(int placement, int anchor, int lo, int hi, int size) {
    if (placement == 1) return std::max(lo, std::min(anchor - size / 2, hi - size));
    if (placement == 2) return hi - size;
    return lo;
}

void drawMenuLabel(Bitmap& target, const MenuItem& item, std::string_view text, FontRasteriser& fonts) {
    if (target.depth != 24 || text.empty()) return;
    const bool shadow = (item.flags & MenuFlag::kShadow) != 0;
    const bool outline = (item.flags & MenuFlag::kOutline) != 0;
    MenuRect box = item.label();
    const int margin = shadow ? std::max(1, (box.bottom - box.top) / 20) : 0;
    box.right -= 2 * margin;
    box.bottom -= 2 * margin;
    const int boxHeight = box.bottom - box.top;
    int height = boxHeight - (outline ? 2 : 0) - (shadow ? 2 * (boxHeight / 10) : 0);
    height = std::min(height, item.fontHeight);
    if (height < 1 || box.right <= box.left) return;

    const FontDescription font = labelFont(item, height);
    auto measure = [&](std::string_view s) {
        BitmapPtr mask = renderTextMask(font, s, true, fonts);
        return mask ? mask->width : 0;
    };
    const std::string fitted = fitLabelText(text, box.right - box.left, measure);
    BitmapPtr mask = renderTextMask(font, fitted, true, fonts);
    if (!mask) return;

    const int left = placeLabelSpan(item.horizontalPlacement(), item.anchorX, box.left, box.right, mask->width);
    const int top = placeLabelSpan(item.verticalPlacement(), item.anchorY, box.top, box.bottom, mask->height);
    if (item.flags & MenuFlag::kBox)
        fillRect(target, left - 2, top, left + mask->width + 2 + 2 * margin, top + mask->height + 2 * margin,
                 item.boxColour, item.boxOpacity);

    BitmapPtr ring = outline ? outlineMask(*mask) : nullptr;
    const Bitmap& letters = ring ? *ring : *mask;
    const int lettersLeft = ring ? left - 1 : left, lettersTop = ring ? top - 1 : top;
    if (shadow) {
        if (BitmapPtr grown = createBitmap("shadow", letters.width + 2 * margin, letters.height + 2 * margin, 8)) {
            paintThroughMask(*grown, letters, margin, margin, 0xFF, 255);
            // The blur pads by its radius up and left; the shadow stays at (m, m).
            if (BitmapPtr soft = blurBitmap(*grown, margin))
                paintThroughMask(target, *soft, lettersLeft - margin, lettersTop - margin, 0, kLabelShadowOpacity);
        }
    }
    if (ring) paintThroughMask(target, *ring, lettersLeft, lettersTop, item.outlineColour, 255);
    paintThroughMask(target, *mask, left, top, item.textColour, 255);
}

bool isBusyThumbnail(const Bitmap& picture) {
    const int bytes = picture.depth / 8;
    std::int64_t sum = 0;
    for (int y = 1; y < picture.height; ++y) {
        const std::uint8_t* row = picture.rows[y];
        for (int i = bytes; i < picture.width * bytes; ++i) sum += std::abs(row[i] - row[i - bytes]);
        if (sum > kBusyThumbnail) return true;
    }
    return false;
}

MenuRenderer::MenuRenderer(std::string programFolder, PictureSource pictures, ShowSource shows, FontRasteriser* fonts)
    : programFolder_(std::move(programFolder)),
      pictures_(std::move(pictures)),
      shows_(std::move(shows)),
      fonts_(fonts),
      cells_(pictures_, fonts) {
    if (!shows_) {
        shows_ = [folder = programFolder_](int number) { return loadShow(folder, number); };
    }
    if (!pictures_) pictures_ = [](const std::string&) { return BitmapPtr{}; };
}

BitmapPtr MenuRenderer::render(const MenuPageRequest& request) const {
    const auto menu = loadMenuDefinition(programFolder_, request.width, request.height);
    return menu ? render(*menu, request) : nullptr;
}

BitmapPtr MenuRenderer::background(const MenuDefinition& menu, const MenuPageRequest& request) const {
    BitmapPtr picture = pictures_(menu.background);
    if (!picture) return nullptr;
    if (picture->depth != 24) picture = expandTo24(*picture);
    if (!picture) return nullptr;
    if (request.menuBrightness > 0) adjustBitmap(*picture, 0, 0, request.menuBrightness, 0);
    if (request.menuBrightness < 0) adjustBitmap(*picture, 0, 0, 0, request.menuBrightness);
    if (picture->width != request.width || picture->height != request.height)
        picture = resizeBitmap(*picture, request.width, request.height);
    return picture;
}

BitmapPtr MenuRenderer::thumbnail(const Show& show, int width, int height) const {
    CellRenderOptions options;
    options.bannerAllowed = false;
    const int cells = std::max<int>(1, static_cast<int>(show.cells.size()));
    BitmapPtr picture;
    for (int position = 0; position < cells; ++position) {
        picture = cells_.render(show, position, width, height, options);
        if (picture && isBusyThumbnail(*picture)) break;
    }
    return picture;
}

void MenuRenderer::drawShows(Bitmap& page, const MenuDefinition& menu, const MenuPageRequest& request) const {
    const std::int64_t first = std::int64_t{menu.itemsPerPage()} * std::max(0, request.page);
    for (std::size_t k = 0; k < menu.items.size(); ++k) {
        const std::int64_t i = first + static_cast<std::int64_t>(k);
        if (i >= request.showCount) break;
        const int number = static_cast<int>(i);
        std::unique_ptr<Show> loaded;
        const Show* show = number == 0 ? request.current : nullptr;
        if (!show) {
            loaded = shows_(number);
            show = loaded.get();
        }
        if (!show) continue;
        const MenuItem& item = menu.items[k];
        if (item.thumbUsed()) {
            const MenuRect& r = item.thumb;
            if (BitmapPtr thumb = thumbnail(*show, r.right - r.left, r.bottom - r.top)) {
                if (menu.shadow) fillRect(page, r.left, r.top, r.right + 4, r.bottom + 4, 0, kThumbShadowOpacity);
                placePicture(page, *thumb, r.left, r.top);
            }
        }
        drawMenuLabel(page, item, menuLabelText(item.style, i + 1, show->title), fonts());
    }
}

BitmapPtr MenuRenderer::render(const MenuDefinition& menu, const MenuPageRequest& request) const {
    if (request.width < 1 || request.height < 1) return nullptr;
    BitmapPtr page = background(menu, request);
    if (!page) return nullptr;
    const int n = request.showCount;
    if (n > 1) {
        drawMenuLabel(*page, menu.playAll, menuLabelText(menu.playAll.style, std::int64_t{n} + 2, "Play All"), fonts());
        drawMenuLabel(*page, menu.loopAll, menuLabelText(menu.loopAll.style, std::int64_t{n} + 1, "Loop All"), fonts());
    } else {
        drawMenuLabel(*page, menu.loopAll, menuLabelText(menu.loopAll.style, 2, "Loop"), fonts());
    }
    drawShows(*page, menu, request);
    drawMenuLabel(*page, menu.titleItem, menu.title, fonts());
    return page;
}

}  // namespace lv
