// The random generator of transition choice, injectable so that a run can be
// replayed exactly. Draws are 0 to 32767, like the C library's rand() of the
// platform the program was made for; the default generator is that one's
// linear congruence, so the same seed gives the same draws everywhere.
//
//     CRandom random(7);
//     int r = random.next();   // 0 ... 32767
#pragma once

#include <cstdint>

namespace lv {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual int next() = 0;
};

class CRandom : public RandomSource {
public:
    explicit CRandom(std::uint32_t seed = 1) : state_(seed) {}
    int next() override {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_;
};

}  // namespace lv
