#include "render/colour_module.h"

#include <vector>

#include "render/colour_module_win32.h"
#include "render/display_palette.h"

namespace lv {

namespace {
HPALETTE logicalPalette = nullptr;
}  // namespace

HPALETTE displayPaletteHandle() { return logicalPalette; }

bool startColourModule() {
    const Palette& palette = displayPalette();
    inverseColourMap();
    // LOGPALETTE: version 0x300, 256 entries of red, green, blue, flags 0.
    std::vector<std::uint8_t> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
        logical->palPalEntry[i] = PALETTEENTRY{palette[i].red, palette[i].green, palette[i].blue, 0};
    logicalPalette = CreatePalette(logical);
    return logicalPalette != nullptr;
}

void stopColourModule() {
    if (logicalPalette) DeleteObject(logicalPalette);
    logicalPalette = nullptr;
}

}  // namespace lv
