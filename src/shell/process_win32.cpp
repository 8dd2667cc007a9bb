#include "shell/process_win32.h"

namespace lv {

namespace {
HINSTANCE instanceHandle = nullptr;
ATOM recordAtom = 0;
}  // namespace

HINSTANCE moduleInstance() { return instanceHandle; }
ATOM windowRecordAtom() { return recordAtom; }
void setModuleInstance(HINSTANCE instance) { instanceHandle = instance; }
void setWindowRecordAtom(ATOM atom) { recordAtom = atom; }

}  // namespace lv
