#include "audio/node_support.h"

#include "platform/clock.h"

namespace lv::audio {

// Budgets are counted on the coarse clock: they are checked after every
// chunk and every input pump, thousands of times a second, and need only
// end near their length, as they do with the tick count's steps on Windows.
PumpBudget::PumpBudget(uint32_t milliseconds) : start_(coarseClock().milliseconds()), limit_(milliseconds) {}

bool PumpBudget::spent() const {
    return elapsedMs(start_, coarseClock().milliseconds()) >= static_cast<int32_t>(limit_);
}

bool pumpFor(AudioStream& input, int64_t wanted, const PumpBudget& budget) {
    for (int tries = 0; tries < 5 && input.validEnd() < wanted && !input.finished() && input.hasPump(); ++tries) {
        input.pump();
        if (budget.spent()) break;
    }
    return input.validEnd() >= wanted;
}

void pumpUntilData(AudioStream& input, const PumpBudget& budget) {
    for (int tries = 0; tries < 5 && input.validEnd() <= input.firstRetained() && !input.finished() &&
                        input.hasPump();
         ++tries) {
        input.pump();
        if (budget.spent()) break;
    }
}

void copyInfo(const AudioStream& from, AudioStream& to) {
    const CarriedInfo& a = from.info();
    CarriedInfo& b = to.info();
    constexpr uint16_t bits8to14 = 0x7F00;
    b.flags = static_cast<uint16_t>((b.flags & ~bits8to14) | (a.flags & bits8to14));
    b.infoValue1 = a.infoValue1;
    b.infoValue2 = a.infoValue2;
    b.sourceKind = a.sourceKind;
    b.infoList = a.infoList;
}

void deriveFrom(AudioStream& node, const AudioStream* input, bool withInfo) {
    constexpr uint16_t bit7 = 0x80;
    CarriedInfo& info = node.info();
    info.flags = static_cast<uint16_t>((info.flags & ~bit7) | (input ? input->info().flags & bit7 : 0));
    if (!input || !withInfo) return;
    copyInfo(*input, node);
    info.header1 = input->info().header1;
    info.header2 = input->info().header2;
    info.header3 = input->info().header3;
}

}  // namespace lv::audio
