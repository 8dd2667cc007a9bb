#include "render/colour_module.h"

#include "render/display_palette.h"

namespace lv {

bool startColourModule() {
    displayPalette();
    inverseColourMap();
    return true;
}

void stopColourModule() {}

}  // namespace lv
