// Fuzzes the menu definition reader. A definition that loads must write back
// to bytes that load to the same definition, keep its texts inside their
// fields and its places inside the file, and scale and hit-test without
// overflow.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "show/menu_definition.h"
#include "show/menu_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto menu = lv::parseMenuDefinition(std::span(data, size));
    if (!menu) return 0;
    if (1 + lv::kMenuHeaderSize + menu->items.size() * lv::kMenuItemSize > size) std::abort();
    if (menu->title.size() >= lv::kMenuTextSize || menu->background.size() >= lv::kMenuTextSize) std::abort();
    for (const lv::MenuItem& item : menu->items)
        if (item.face.size() >= lv::kMenuFaceSize || item.style.size() >= lv::kMenuStyleSize) std::abort();
    const auto bytes = lv::encodeMenuDefinition(*menu);
    const auto again = lv::parseMenuDefinition(bytes);
    if (!again || *again != *menu) std::abort();
    const lv::MenuDefinition scaled = lv::scaleMenuDefinition(*menu, lv::kMenuWidth, lv::kMenuHeight);
    const int shows = static_cast<int>(size % 9);
    for (int page = 0; page < 3; ++page) {
        const lv::MenuHit hit = lv::hitTestMenu(scaled, shows, page, static_cast<int>(size % 800), 300);
        if (hit.choice < -1 || hit.choice > shows + 1) std::abort();
    }
    if (lv::menuPageCount(shows, menu->itemsPerPage()) < 0) std::abort();
    return 0;
}
