// Swapping red and blue against a pixel-by-pixel reference, for every row
// length around the two-pixel steps (their tail included) and in place.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/pixel_order.h"

namespace lv {
namespace {

std::vector<std::uint8_t> row(int pixels) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(pixels) * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return bytes;
}

std::vector<std::uint8_t> swappedOneByOne(std::vector<std::uint8_t> bytes) {
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) std::swap(bytes[i], bytes[i + 2]);
    return bytes;
}

class SwapRedAndBlue : public ::testing::TestWithParam<int> {};

TEST_P(SwapRedAndBlue, MatchesPixelByPixelInPlaceOrNotAndLeavesTheRestAlone) {
    const int pixels = GetParam();
    const auto in = row(pixels);
    std::vector<std::uint8_t> out(in.size() + 8, 0xAB);
    swapRedAndBlue(in.data(), out.data(), pixels);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(in.size())),
              swappedOneByOne(in));
    for (std::size_t i = in.size(); i < out.size(); ++i) ASSERT_EQ(out[i], 0xAB) << "wrote past the row at " << i;
    auto inPlace = in;
    swapRedAndBlue(inPlace.data(), inPlace.data(), pixels);
    EXPECT_EQ(inPlace, swappedOneByOne(in));
}

INSTANTIATE_TEST_SUITE_P(RowLengths, SwapRedAndBlue, ::testing::Values(0, 1, 2, 3, 4, 5, 7, 8, 33, 4000));

}  // namespace
}  // namespace lv
