#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "display/cpu_features.h"
#include "transition/row_copy.h"

namespace lv {
namespace {

// Every length across the vector sizes, at every start of both rows within
// a cache line: the bytes of memcpy and nothing written past the end.
TEST(RowCopy, VectorFormCopiesExactlyTheBytes) {
    if (!processorRecord().avx2() || rowCopyAvx2() == nullptr) GTEST_SKIP() << "no AVX2 form on this processor";
    std::vector<std::uint8_t> source(512);
    std::iota(source.begin(), source.end(), std::uint8_t{7});
    for (std::size_t from = 0; from < 64; from += 3) {
        for (std::size_t to = 0; to < 64; to += 5) {
            for (std::size_t count : {0, 1, 31, 32, 33, 63, 64, 65, 95, 96, 127, 128, 129, 191, 200, 300}) {
                std::vector<std::uint8_t> plain(512, 0xA5), vector(512, 0xA5);
                rowCopyPlain(plain.data() + to, source.data() + from, count);
                rowCopyAvx2()(vector.data() + to, source.data() + from, count);
                ASSERT_EQ(vector, plain) << "from " << from << " to " << to << " count " << count;
            }
        }
    }
}

}  // namespace
}  // namespace lv
