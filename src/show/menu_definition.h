// The show menu's look, read from the binary file "<program folder>menudef":
// a version byte (0), a header of 1367 bytes (title, background picture,
// design size, the title, "Play All" and "Loop All" items, item count,
// thumbnail shadow flag), then item count records of 189 bytes, one per show
// place on a page. Every position is given for the design size and scaled to
// the size the menu is drawn at.
//
//     auto menu = loadMenuDefinition(folder, 800, 600);
//     if (menu) for (const MenuItem& item : menu->items) ...;
//
// Refused (nullopt): a missing or short file, a version byte other than 0, a
// design side of 0 or less, a negative item count or one whose records the
// file does not hold. A count of 0 is a menu of one item per page with no
// places (itemsPerPage()). Texts end within their fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

inline constexpr std::size_t kMenuHeaderSize = 1367;
inline constexpr std::size_t kMenuItemSize = 189;
inline constexpr std::size_t kMenuTextSize = 260;
inline constexpr std::size_t kMenuFaceSize = 32;
inline constexpr std::size_t kMenuStyleSize = 17;

// Label flags.
namespace MenuFlag {
inline constexpr unsigned kBold = 1u << 0;
inline constexpr unsigned kItalic = 1u << 1;
inline constexpr unsigned kShadow = 1u << 2;
inline constexpr unsigned kOutline = 1u << 3;
inline constexpr unsigned kBox = 1u << 4;
inline constexpr int kHorizontalShift = 5;  // 1 centred on anchor x, 2 flush right, else left
inline constexpr int kVerticalShift = 7;    // 1 centred on anchor y, 2 flush bottom, else top
}  // namespace MenuFlag

struct MenuRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    bool operator==(const MenuRect&) const = default;
};

// One place on the menu: a thumbnail rectangle (unused when empty) and a label.
struct MenuItem {
    MenuRect thumb;
    std::string face;
    std::string style;  // "%n. %t", "%n) %t", "%n: %t", "%n %t"; else the number alone
    std::int32_t fontHeight = 0;  // largest
    std::uint8_t boxOpacity = 0;
    std::int32_t labelLeft = 0, anchorX = 0, labelRight = 0;
    std::int32_t labelTop = 0, anchorY = 0, labelBottom = 0;
    std::uint16_t flags = 0;
    std::uint32_t textColour = 0, outlineColour = 0, boxColour = 0;  // 0x00BBGGRR

    bool thumbUsed() const { return thumb.left < thumb.right && thumb.top < thumb.bottom; }
    MenuRect label() const { return {labelLeft, labelTop, labelRight, labelBottom}; }
    int horizontalPlacement() const { return (flags >> MenuFlag::kHorizontalShift) & 3; }
    int verticalPlacement() const { return (flags >> MenuFlag::kVerticalShift) & 3; }
    bool operator==(const MenuItem&) const = default;
};

struct MenuDefinition {
    std::string title;
    std::string background;  // JPEG file name
    std::int32_t designWidth = 0, designHeight = 0;
    MenuItem titleItem, playAll, loopAll;
    std::int32_t shadow = 0;  // thumbnail shadow flag
    std::vector<MenuItem> items;

    int itemsPerPage() const { return items.empty() ? 1 : static_cast<int>(items.size()); }
    bool operator==(const MenuDefinition&) const = default;
};

// "<folder>menudef"; the folder keeps its trailing separator.
std::string menuDefinitionFileName(std::string_view programFolder);

// The definition in a file's bytes at its design size, or nullopt.
std::optional<MenuDefinition> parseMenuDefinition(std::span<const std::uint8_t> bytes);

// Every position scaled from the design size to width x height: each value
// becomes trunc(value x scale + 0.5), limited to the 32-bit range.
MenuDefinition scaleMenuDefinition(const MenuDefinition& menu, int width, int height);

// Read through the file services (packed files first), parsed and scaled.
std::optional<MenuDefinition> loadMenuDefinition(std::string_view programFolder, int width, int height);

// Shows per menu page for the show player: from the definition at 100 x 100,
// 0 when there is none.
int menuItemsPerPage(std::string_view programFolder);

// The file bytes of a definition (the loader's inverse; uninterpreted bytes
// are zero, texts cut to their fields).
std::vector<std::uint8_t> encodeMenuDefinition(const MenuDefinition& menu);

}  // namespace lv
