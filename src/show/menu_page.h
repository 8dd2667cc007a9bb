// A page of the show menu: the background picture (with show 0's menu
// brightness), per show on the page a thumbnail and a numbered label, the
// "Loop All" and "Play All" labels, the menu title; and the hit test that
// turns a click on such a page into a choice.
//
//     MenuRenderer renderer(folder);
//     BitmapPtr page = renderer.render({&currentShow, shows, page, 800, 600, brightness});
//     MenuHit hit = hitTestMenu(*loadMenuDefinition(folder, 800, 600), shows, page, x, y);
//
// Choices: 0 ... N - 1 a show, N "Loop All", N + 1 "Play All", -1 nothing.
// Shows are numbered on their labels from 1; "Loop All" is N + 1 and
// "Play All" N + 2 (with one show only "Loop", numbered 2, is drawn).
//
// Rendering fails (null) without a definition or a background picture; a
// show that does not load is left out. A label wider than its box loses
// characters from its end behind "..." until it fits, or until nothing but
// the dots is left.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/font_rasteriser.h"
#include "render/bitmap.h"
#include "show/cell_render.h"
#include "show/menu_definition.h"
#include "show/show_file.h"

namespace lv {

inline constexpr int kMenuWidth = 800;   // the size the viewer asks for
inline constexpr int kMenuHeight = 600;
inline constexpr std::int64_t kBusyThumbnail = 5000;
inline constexpr int kThumbShadowOpacity = 128;
inline constexpr int kLabelShadowOpacity = 128;

// The label text of the style: "%n. %t" gives "3. Title"; an unknown style the number alone.
std::string menuLabelText(std::string_view style, std::int64_t number, std::string_view text);

// Pages for N shows: ceil(N / per page), 0 without shows; a per-page count
// below 1 counts as 1.
int menuPageCount(int showCount, int itemsPerPage);
// Page Up / Page Down: the page moved by delta and kept within 0 ... pages - 1
// (0 without pages).
int stepMenuPage(int page, int pageCount, int delta);
// Page Up / Page Down during a show: the index moved by delta, wrapping
// around the number of shows (0 without shows).
int stepShowIndex(int index, int showCount, int delta);

struct MenuHit {
    int choice = -1;
    MenuRect rect;  // the hit item's thumbnail (when used) or label; empty for no item
};
// The menu must be scaled to the page's size.
MenuHit hitTestMenu(const MenuDefinition& menu, int showCount, int page, int x, int y);

// The cut that makes a label fit: the text, or its start and "..." as
// measured by `width`.
std::string fitLabelText(std::string_view text, int boxWidth, const std::function<int(std::string_view)>& width);
// A span of `size` in lo ... hi: placement 1 centred on the anchor (kept
// inside), 2 flush with hi, else flush with lo.
int placeLabelSpan(int placement, int anchor, int lo, int hi, int size);

// Draws the item's label with the text into a 24-bit picture.
void drawMenuLabel(Bitmap& target, const MenuItem& item, std::string_view text,
                   FontRasteriser& fonts = fontRasteriser());

// Whether a thumbnail is busy enough: over every row but the first, the sum of
// the differences of each channel between horizontal neighbours exceeds 5000.
bool isBusyThumbnail(const Bitmap& picture);

struct MenuPageRequest {
    const Show* current = nullptr;  // stands for show 0
    int showCount = 0;
    int page = 0;
    int width = kMenuWidth, height = kMenuHeight;
    int menuBrightness = 0;  // show 0's
};

// Loads show i of the set (0 ... N - 1); null when it does not load.
using ShowSource = std::function<std::unique_ptr<Show>(int number)>;

class MenuRenderer {
public:
    explicit MenuRenderer(std::string programFolder, PictureSource pictures = decodeCellPicture,
                          ShowSource shows = {}, FontRasteriser* fonts = nullptr);

    // Loads the definition at the request's size and draws the page.
    BitmapPtr render(const MenuPageRequest& request) const;
    // The same with a definition already scaled to the request's size.
    BitmapPtr render(const MenuDefinition& menu, const MenuPageRequest& request) const;

    // The thumbnail of a show: its first busy cell, else the last one rendered.
    BitmapPtr thumbnail(const Show& show, int width, int height) const;

private:
    FontRasteriser& fonts() const { return fonts_ ? *fonts_ : fontRasteriser(); }
    BitmapPtr background(const MenuDefinition& menu, const MenuPageRequest& request) const;
    void drawShows(Bitmap& page, const MenuDefinition& menu, const MenuPageRequest& request) const;

    std::string programFolder_;
    PictureSource pictures_;
    ShowSource shows_;
    FontRasteriser* fonts_;
    CellRenderer cells_;
};

}  // namespace lv
