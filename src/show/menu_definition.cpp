#include "show/menu_definition.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "shell/file_services.h"
#include "show/show_fields.h"

namespace lv {

namespace {

// Header places, counted from the first header byte (file offset minus 1).
namespace Header {
constexpr std::size_t kTitle = 0;
constexpr std::size_t kBackground = 260;
constexpr std::size_t kDesignWidth = 780;
constexpr std::size_t kDesignHeight = 784;
constexpr std::size_t kTitleItem = 788;
constexpr std::size_t kPlayAll = 977;
constexpr std::size_t kLoopAll = 1166;
constexpr std::size_t kItemCount = 1359;
constexpr std::size_t kShadow = 1363;
}  // namespace Header

// Item record places.
namespace Item {
constexpr std::size_t kThumb = 0;
constexpr std::size_t kFace = 16;
constexpr std::size_t kStyle = 144;
constexpr std::size_t kFontHeight = 161;
constexpr std::size_t kBoxOpacity = 162;
constexpr std::size_t kLabelLeft = 163;
constexpr std::size_t kAnchorX = 165;
constexpr std::size_t kLabelRight = 167;
constexpr std::size_t kLabelTop = 169;
constexpr std::size_t kAnchorY = 171;
constexpr std::size_t kLabelBottom = 173;
constexpr std::size_t kFlags = 175;
constexpr std::size_t kTextColour = 177;
constexpr std::size_t kOutlineColour = 181;
constexpr std::size_t kBoxColour = 185;
}  // namespace Item

std::int16_t readInt16(const std::uint8_t* at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}

void writeInt16(std::uint8_t* at, std::int32_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint32_t readUint32(const std::uint8_t* at) { return static_cast<std::uint32_t>(readInt32(at)); }

void writeText(std::uint8_t* at, std::size_t size, const std::string& text) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::copy_n(text.begin(), n, at);
    std::fill(at + n, at + size, std::uint8_t{0});
}

MenuItem readItem(const std::uint8_t* at) {
    MenuItem item;
    item.thumb = {readInt32(at + Item::kThumb), readInt32(at + Item::kThumb + 4), readInt32(at + Item::kThumb + 8),
                  readInt32(at + Item::kThumb + 12)};
    item.face = readFieldText(at + Item::kFace, kMenuFaceSize);
    item.style = readFieldText(at + Item::kStyle, kMenuStyleSize);
    item.fontHeight = static_cast<std::int8_t>(at[Item::kFontHeight]);
    item.boxOpacity = at[Item::kBoxOpacity];
    item.labelLeft = readInt16(at + Item::kLabelLeft);
    item.anchorX = readInt16(at + Item::kAnchorX);
    item.labelRight = readInt16(at + Item::kLabelRight);
    item.labelTop = readInt16(at + Item::kLabelTop);
    item.anchorY = readInt16(at + Item::kAnchorY);
    item.labelBottom = readInt16(at + Item::kLabelBottom);
    item.flags = static_cast<std::uint16_t>(readInt16(at + Item::kFlags));
    item.textColour = readUint32(at + Item::kTextColour);
    item.outlineColour = readUint32(at + Item::kOutlineColour);
    item.boxColour = readUint32(at + Item::kBoxColour);
    return item;
}

void writeItem(std::uint8_t* at, const MenuItem& item) {
    std::fill(at, at + kMenuItemSize, std::uint8_t{0});
    writeInt32(at + Item::kThumb, item.thumb.left);
    writeInt32(at + Item::kThumb + 4, item.thumb.top);
    writeInt32(at + Item::kThumb + 8, item.thumb.right);
    writeInt32(at + Item::kThumb + 12, item.thumb.bottom);
    writeText(at + Item::kFace, kMenuFaceSize, item.face);
    writeText(at + Item::kStyle, kMenuStyleSize, item.style);
    at[Item::kFontHeight] = static_cast<std::uint8_t>(item.fontHeight);
    at[Item::kBoxOpacity] = item.boxOpacity;
    writeInt16(at + Item::kLabelLeft, item.labelLeft);
    writeInt16(at + Item::kAnchorX, item.anchorX);
    writeInt16(at + Item::kLabelRight, item.labelRight);
    writeInt16(at + Item::kLabelTop, item.labelTop);
    writeInt16(at + Item::kAnchorY, item.anchorY);
    writeInt16(at + Item::kLabelBottom, item.labelBottom);
    writeInt16(at + Item::kFlags, item.flags);
    writeInt32(at + Item::kTextColour, static_cast<std::int32_t>(item.textColour));
    writeInt32(at + Item::kOutlineColour, static_cast<std::int32_t>(item.outlineColour));
    writeInt32(at + Item::kBoxColour, static_cast<std::int32_t>(item.boxColour));
}

// trunc(value x scale + 0.5) kept inside the 32-bit range.
std::int32_t scaled(std::int32_t value, double scale) {
    const double v = std::trunc(value * scale + 0.5);
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

void scaleItem(MenuItem& item, double sx, double sy) {
    if (item.thumbUsed()) {
        item.thumb = {scaled(item.thumb.left, sx), scaled(item.thumb.top, sy), scaled(item.thumb.right, sx),
                      scaled(item.thumb.bottom, sy)};
    }
    item.labelLeft = scaled(item.labelLeft, sx);
    item.anchorX = scaled(item.anchorX, sx);
    item.labelRight = scaled(item.labelRight, sx);
    item.labelTop = scaled(item.labelTop, sy);
    item.anchorY = scaled(item.anchorY, sy);
    item.labelBottom = scaled(item.labelBottom, sy);
    item.fontHeight = scaled(item.fontHeight, sy);
}

}  // namespace

std::string menuDefinitionFileName(std::string_view programFolder) {
    return std::string(programFolder) + "menudef";
}

std::optional<MenuDefinition> parseMenuDefinition(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 1 + kMenuHeaderSize || bytes[0] != 0) return std::nullopt;
    const std::uint8_t* header = bytes.data() + 1;
    MenuDefinition menu;
    menu.title = readFieldText(header + Header::kTitle, kMenuTextSize);
    menu.background = readFieldText(header + Header::kBackground, kMenuTextSize);
    menu.designWidth = readInt32(header + Header::kDesignWidth);
    menu.designHeight = readInt32(header + Header::kDesignHeight);
    if (menu.designWidth <= 0 || menu.designHeight <= 0) return std::nullopt;
    menu.titleItem = readItem(header + Header::kTitleItem);
    menu.playAll = readItem(header + Header::kPlayAll);
    menu.loopAll = readItem(header + Header::kLoopAll);
    const std::int32_t count = readInt32(header + Header::kItemCount);
    menu.shadow = readInt32(header + Header::kShadow);
    // The records must all be in the file before anything is set aside for them.
    const std::size_t room = (bytes.size() - 1 - kMenuHeaderSize) / kMenuItemSize;
    if (count < 0 || static_cast<std::uint32_t>(count) > room) return std::nullopt;
    menu.items.reserve(static_cast<std::size_t>(count));
    const std::uint8_t* at = header + kMenuHeaderSize;
    for (std::int32_t k = 0; k < count; ++k, at += kMenuItemSize) menu.items.push_back(readItem(at));
    return menu;
}

MenuDefinition scaleMenuDefinition(const MenuDefinition& menu, int width, int height) {
    MenuDefinition out = menu;
    const double sx = static_cast<double>(width) / menu.designWidth;
    const double sy = static_cast<double>(height) / menu.designHeight;
    scaleItem(out.titleItem, sx, sy);
    scaleItem(out.playAll, sx, sy);
    scaleItem(out.loopAll, sx, sy);
    for (MenuItem& item : out.items) scaleItem(item, sx, sy);
    return out;
}

std::optional<MenuDefinition> loadMenuDefinition(std::string_view programFolder, int width, int height) {
    const auto file = readWholeFile(menuDefinitionFileName(programFolder), false);
    if (!file) return std::nullopt;
    auto menu = parseMenuDefinition(std::span(file->bytes.data(), file->length));
    if (!menu) return std::nullopt;
    return scaleMenuDefinition(*menu, width, height);
}

int menuItemsPerPage(std::string_view programFolder) {
    const auto menu = loadMenuDefinition(programFolder, 100, 100);
    return menu ? menu->itemsPerPage() : 0;
}

std::vector<std::uint8_t> encodeMenuDefinition(const MenuDefinition& menu) {
    std::vector<std::uint8_t> bytes(1 + kMenuHeaderSize + menu.items.size() * kMenuItemSize, 0);
    std::uint8_t* header = bytes.data() + 1;
    writeText(header + Header::kTitle, kMenuTextSize, menu.title);
    writeText(header + Header::kBackground, kMenuTextSize, menu.background);
    writeInt32(header + Header::kDesignWidth, menu.designWidth);
    writeInt32(header + Header::kDesignHeight, menu.designHeight);
    writeItem(header + Header::kTitleItem, menu.titleItem);
    writeItem(header + Header::kPlayAll, menu.playAll);
    writeItem(header + Header::kLoopAll, menu.loopAll);
    writeInt32(header + Header::kItemCount, static_cast<std::int32_t>(menu.items.size()));
    writeInt32(header + Header::kShadow, menu.shadow);
    std::uint8_t* at = header + kMenuHeaderSize;
    for (const MenuItem& item : menu.items) {
        writeItem(at, item);
        at += kMenuItemSize;
    }
    return bytes;
}

}  // namespace lv
