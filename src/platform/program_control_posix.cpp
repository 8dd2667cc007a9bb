#include "platform/program_control.h"

namespace lv {

// Without a message loop the requests are recorded.
ProgramControl& platformProgramControl() {
    static RecordingProgramControl headless;
    return headless;
}

}  // namespace lv
