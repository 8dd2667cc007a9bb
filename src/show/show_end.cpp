#include "show/show_end.h"

#include "show/show_player.h"

namespace lv {

ShowEndStep stepAfterShowEnds(int showNumber, int playMode, int numberOfShows, bool noMenu) {
    const ShowEndStep backToStart =
        noMenu ? ShowEndStep{ShowEndStep::Kind::Play, 0, kPlayAllLooped} : ShowEndStep{ShowEndStep::Kind::Menu, 0, 0};
    if (playMode == kPlayOneShow) return backToStart;
    const int next = showNumber + 1;
    if (next < numberOfShows) return ShowEndStep{ShowEndStep::Kind::Play, next, playMode};
    if (playMode == kPlayAllLooped) return ShowEndStep{ShowEndStep::Kind::Play, 0, kPlayAllLooped};
    return backToStart;
}

}  // namespace lv
