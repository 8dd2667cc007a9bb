#include "transition/row_copy.h"

#include <cstring>

#include "display/cpu_features.h"

namespace lv {

void rowCopyPlain(std::uint8_t* target, const std::uint8_t* source, std::size_t count) {
    if (count > 0) std::memcpy(target, source, count);
}

RowCopy rowCopy(const ProcessorRecord& processor) {
    if (processor.avx2() && rowCopyAvx2() != nullptr) return rowCopyAvx2();
    return rowCopyPlain;
}

}  // namespace lv
