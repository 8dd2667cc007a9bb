#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "display/cpu_features.h"
#include "display/pack_kernels.h"

namespace lv {
namespace {

constexpr std::uint8_t kGuard = 0xA5;

class PackKernels : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(11);
        pixels.resize(kLength);
        for (auto& p : pixels) p = random();  // the fourth byte too: it must be dropped
    }
    // The packed row with guard bytes after it, so a write past the end shows.
    std::vector<std::uint8_t> pack(PackRowKernel kernel, std::int32_t count) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(kLength) * 3 + 32, kGuard);
        kernel(pixels.data(), count, out.data());
        return out;
    }
    static std::vector<std::pair<const char*, PackRowKernel>> vectorForms() {
        const ProcessorRecord& processor = processorRecord();
        std::vector<std::pair<const char*, PackRowKernel>> forms;
        if (processor.sse2() && packRow24Sse2() != nullptr) forms.emplace_back("SSE2", packRow24Sse2());
        if (processor.avx2() && packRow24Avx2() != nullptr) forms.emplace_back("AVX2", packRow24Avx2());
        return forms;
    }
    static constexpr std::int32_t kLength = 133;
    std::vector<std::uint32_t> pixels;
};

TEST_F(PackKernels, PlainFormWritesBlueGreenRedAndNothingMore) {
    const auto out = pack(packRow24Plain, 5);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(out[3 * i], pixels[i] & 0xFF);
        EXPECT_EQ(out[3 * i + 1], (pixels[i] >> 8) & 0xFF);
        EXPECT_EQ(out[3 * i + 2], (pixels[i] >> 16) & 0xFF);
    }
    for (std::size_t i = 15; i < out.size(); ++i) ASSERT_EQ(out[i], kGuard) << i;
}

TEST_F(PackKernels, VectorFormsAreByteIdenticalToThePlainOne) {
    const auto forms = vectorForms();
    if (forms.empty()) GTEST_SKIP() << "no vector forms on this processor";
    for (const auto& [name, kernel] : forms) {
        for (std::int32_t count = 0; count <= kLength; ++count) {
            ASSERT_EQ(pack(kernel, count), pack(packRow24Plain, count)) << name << " count " << count;
        }
    }
}

}  // namespace
}  // namespace lv
