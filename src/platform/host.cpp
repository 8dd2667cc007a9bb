#include "platform/host.h"

namespace lv {

Host& platformHost();  // the twin of this platform

namespace {
Host* current = nullptr;
}  // namespace

Host& host() { return current ? *current : platformHost(); }
void setHost(Host* replacement) { current = replacement; }

}  // namespace lv
