// What the span-mask transitions read from the player: show 0's mask folder
// and band-timing byte, and the display's pixel aspect. The show player sets
// them when it loads show 0; the transitions read a copy when they begin.
//
//     setSpanMaskSettings({"C:\\shows\\masks\\", true, 1.0});
//     SpanMaskSettings now = spanMaskSettings();   // a copy, safe on any thread
//
// Defaults: no mask folder (mask names are then opened as they stand), no
// black band, square pixels. An aspect of 0 or less is kept as given; the
// families that divide by it treat it as "circles".
#pragma once

#include <string>

namespace lv {

struct SpanMaskSettings {
    std::string maskFolder;   // prefix of mask file names, used as it stands
    bool bandTiming = false;  // show 0's band-timing byte is 1: banded transitions lead with black
    double pixelAspect = 1.0; // height of a pixel over its width
};

SpanMaskSettings spanMaskSettings();
void setSpanMaskSettings(const SpanMaskSettings& settings);

}  // namespace lv
