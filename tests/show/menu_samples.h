// Menu definitions for the menu tests: a plain item, a definition with a
// given number of places, and the file bytes with single fields changed.
#pragma once

#include <cstdint>
#include <vector>

#include "show/menu_definition.h"

namespace lv::test {

inline MenuItem menuItem(MenuRect thumb, MenuRect label, std::string style = "%n. %t") {
    MenuItem item;
    item.thumb = thumb;
    item.labelLeft = label.left;
    item.labelTop = label.top;
    item.labelRight = label.right;
    item.labelBottom = label.bottom;
    item.anchorX = (label.left + label.right) / 2;
    item.anchorY = (label.top + label.bottom) / 2;
    item.face = "Arial";
    item.style = std::move(style);
    item.fontHeight = 100;
    item.textColour = 0xFFFFFF;
    return item;
}

// Places side by side, 100 wide: thumbnail 10..90 x 10..70, label 10..90 x 75..95.
inline MenuDefinition sampleMenu(int places, int width = 800, int height = 600) {
    MenuDefinition menu;
    menu.title = "Menu title";
    menu.background = "back.jpg";
    menu.designWidth = width;
    menu.designHeight = height;
    for (int k = 0; k < places; ++k) {
        const int x = 100 * k;
        menu.items.push_back(menuItem({x + 10, 10, x + 90, 70}, {x + 10, 75, x + 90, 95}));
    }
    menu.loopAll = menuItem({}, {10, 500, 200, 540});
    menu.playAll = menuItem({}, {300, 500, 500, 540});
    menu.titleItem = menuItem({}, {0, 0, 0, 0});
    return menu;
}

// Little-endian 32-bit value into the file bytes at a file offset.
inline void poke32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// File offsets of header fields (header offset + 1).
inline constexpr std::size_t kFileDesignWidth = 781;
inline constexpr std::size_t kFileDesignHeight = 785;
inline constexpr std::size_t kFileItemCount = 1360;
inline constexpr std::size_t kFileFirstItem = 1368;

}  // namespace lv::test
