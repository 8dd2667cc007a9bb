#include "platform/host.h"

namespace lv {

// Without a desktop the host records message boxes; they also go to the trace.
Host& platformHost() {
    static RecordingHost headless;
    return headless;
}

}  // namespace lv
