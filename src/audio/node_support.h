// What every graph node shares: the time budget of a pump, the reference
// to an input that the node may own, pumping an input until it has what is
// wanted, and the values a derived stream carries from its input.
//
//     PumpBudget budget(10);
//     if (!pumpFor(*input.stream, readPosition + 4096, budget)) return 0;  // short: wait
//
// Limits: an input is pumped at most 5 times per call of pumpFor.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/audio_stream.h"

namespace lv::audio {

// Budgets of the pump protocol, in milliseconds of the tick count.
inline constexpr uint32_t budgetMs = 10;
inline constexpr uint32_t mixerBudgetMs = 50;
// A call stops producing once validEnd has moved more than this.
inline constexpr int64_t lookAhead = 8192;

class PumpBudget {
public:
    explicit PumpBudget(uint32_t milliseconds);
    bool spent() const;

private:
    uint32_t start_;
    uint32_t limit_;
};

// An input stream, owned or only borrowed.
struct StreamRef {
    AudioStream* stream = nullptr;
    std::unique_ptr<AudioStream> owned;

    static StreamRef owning(std::unique_ptr<AudioStream> s) {
        StreamRef r;
        r.stream = s.get();
        r.owned = std::move(s);
        return r;
    }
    static StreamRef borrowing(AudioStream* s) {
        StreamRef r;
        r.stream = s;
        return r;
    }
    explicit operator bool() const { return stream != nullptr; }
};

// Pumps until validEnd reaches `wanted`, the input finishes, 5 pumps were
// made or the budget is spent. True when the input reaches `wanted`.
bool pumpFor(AudioStream& input, int64_t wanted, const PumpBudget& budget);

// Pumps until the input has data or has finished (up to 5 times).
void pumpUntilData(AudioStream& input, const PumpBudget& budget);

// Flag bit 7 from the input (cleared without one); with copyInfo also the
// info of command 175 and the three header values.
void deriveFrom(AudioStream& node, const AudioStream* input, bool copyInfo);

// Command 175: flag bits 8 to 14, the info values, the source kind and the
// info list.
void copyInfo(const AudioStream& from, AudioStream& to);

}  // namespace lv::audio
