#include "platform/program_control.h"

namespace lv {

ProgramControl& platformProgramControl();  // the twin of this platform

namespace {
ProgramControl* current = nullptr;
}  // namespace

ProgramControl& programControl() { return current ? *current : platformProgramControl(); }
void setProgramControl(ProgramControl* replacement) { current = replacement; }

}  // namespace lv
