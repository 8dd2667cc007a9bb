// What follows the end of a show, by play mode (as the viewer applies it):
// the show number grows by 1; one show (mode 0) goes back to the menu, or,
// with show 0's no-menu flag, plays all shows from show 0 in a loop; all
// shows once (1) plays the next show in the same mode and after the last one
// stops as mode 0 does; all shows looped (2) starts over at show 0 after the
// last. The intro (number -1) is played in mode 0, so the menu follows it.
//
//     ShowEndStep step = stepAfterShowEnds(-1, kPlayOneShow, 5, false);  // menu
#pragma once

namespace lv {

struct ShowEndStep {
    enum class Kind { Menu, Play } kind = Kind::Menu;
    int show = 0;  // with Play: the show to load and start
    int mode = 0;  // with Play: its play mode
    bool operator==(const ShowEndStep&) const = default;
};

ShowEndStep stepAfterShowEnds(int showNumber, int playMode, int numberOfShows, bool noMenu);

}  // namespace lv
