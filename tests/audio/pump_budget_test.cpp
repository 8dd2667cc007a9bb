// The pump budgets on the coarse clock still end a pump of slow inputs
// near their length (this waits real time: about 10 ms).
#include "audio/node_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace lv::audio {
namespace {

// Takes 4 ms for every sample it produces.
class SlowProducer final : public Producer {
public:
    int32_t produce(AudioStream& self) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        self.setValidEnd(self.validEnd() + 1);
        ++pumps;
        return 0;
    }
    int pumps = 0;
};

TEST(PumpBudget, EndsTheFivePumpsOfASlowInputEarly) {
    auto input = AudioStream::create({0, 1, 44100, 16, 0});
    auto producer = std::make_unique<SlowProducer>();
    SlowProducer& slow = *producer;
    input->install(std::move(producer));
    EXPECT_FALSE(pumpFor(*input, 100, PumpBudget(budgetMs)));  // 5 pumps would take 20 ms
    EXPECT_LT(slow.pumps, 5);
}

}  // namespace
}  // namespace lv::audio
