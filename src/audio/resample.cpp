// The Resample: bandlimited interpolation in 16-bit fixed point. Each output
// sample is a sum over the input samples around its position, weighted by a
// windowed-sinc filter read from a table of 256 entries per input sample
// (with a table of neighbour differences for linear interpolation between
// entries). Below a factor of 1 the filter is stretched (dhb < 256) so that
// it also removes what the lower rate cannot carry.
//
// Filters: "small" (13 zero crossings, wing of 1536 entries, scale 13128)
// and "large" (65, 8192, scale 14746). Their tables are Kaiser-windowed
// sincs built once, normalised so that a unit-spaced sum of the wing gives
// the filter's scale back as unity gain (then the usual 0.95 head-room).
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/fir_kernel.h"
#include "audio/graph_nodes.h"
#include "audio/page_aligned.h"

namespace lv::audio {
namespace {

constexpr int32_t entriesPerCrossing = 256;
constexpr int32_t fractionBits = 15;
constexpr int32_t fractionMask = (1 << fractionBits) - 1;
constexpr int32_t inputBlock = 8192;
constexpr int32_t outputChunk = 3173;
constexpr size_t tapGroup = 16;  // the widest kernel's step

struct Filter {
    int32_t nmult;
    int32_t wing;
    int32_t scale;
    double kaiserBeta;
    std::vector<int16_t> table;
    std::vector<int16_t> differences;
};

double besselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

void buildTables(Filter& f) {
    // The cut-off makes a unit-spaced sum of a wing of peak 32767 come out
    // at 2^29 / scale, the gain the output stage expects.
    const double cutoff = 32767.0 * f.scale / 536870912.0;
    const double halfLength = static_cast<double>(f.wing) / entriesPerCrossing;
    std::vector<double> h(static_cast<size_t>(f.wing));
    for (int32_t i = 0; i < f.wing; ++i) {
        const double x = static_cast<double>(i) / entriesPerCrossing;
        const double y = std::numbers::pi * cutoff * x;
        const double sinc = i == 0 ? 1.0 : std::sin(y) / y;
        const double r = x / halfLength;
        const double window = besselI0(f.kaiserBeta * std::sqrt(std::max(0.0, 1 - r * r))) / besselI0(f.kaiserBeta);
        h[static_cast<size_t>(i)] = sinc * window;
    }
    double unitSum = h[0];
    for (int32_t i = entriesPerCrossing; i < f.wing; i += entriesPerCrossing) unitSum += 2 * h[static_cast<size_t>(i)];
    const double gain = 536870912.0 / f.scale / unitSum;
    f.table.resize(static_cast<size_t>(f.wing));
    f.differences.resize(static_cast<size_t>(f.wing));
    for (int32_t i = 0; i < f.wing; ++i)
        f.table[static_cast<size_t>(i)] =
            static_cast<int16_t>(std::clamp(std::lround(h[static_cast<size_t>(i)] * gain), -32768L, 32767L));
    for (int32_t i = 0; i + 1 < f.wing; ++i)
        f.differences[static_cast<size_t>(i)] =
            static_cast<int16_t>(f.table[static_cast<size_t>(i) + 1] - f.table[static_cast<size_t>(i)]);
    f.differences.back() = static_cast<int16_t>(-f.table.back());
}

const Filter& filterFor(int32_t quality) {
    static const Filter small = [] {
        Filter f{13, 1536, 13128, 6.0, {}, {}};
        buildTables(f);
        return f;
    }();
    static const Filter large = [] {
        Filter f{65, 8192, 14746, 10.0, {}, {}};
        buildTables(f);
        return f;
    }();
    return quality == 0 ? small : large;
}

class Resample final : public Producer {
public:
    Resample(StreamRef source, int32_t targetRate, int32_t quality)
        : source_(std::move(source)),
          filter_(filterFor(quality)),
          p_(resampleParameters(static_cast<int32_t>(source_.stream->sampleRate()), targetRate, quality)),
          targetRate_(targetRate) {
        const size_t channels = source_.stream->channels();
        const size_t length = static_cast<size_t>(inputBlock + 2 * p_.xoff + 2);
        inputs_.assign(channels, std::vector<int16_t>(length, 0));
        outputs_.assign(channels, PageAlignedVector<int32_t>(outputChunk));
        fill_ = index_ = p_.xoff;
        // The fraction starts at 0 and moves by dt, so it only takes
        // multiples of the largest power of two that divides dt.
        const auto step = static_cast<uint32_t>(p_.dt & fractionMask);
        phaseShift_ = step == 0 ? fractionBits : std::countr_zero(step);
        phases_.resize(size_t{1} << (fractionBits - phaseShift_));
        prepareSteps();
        const size_t most = static_cast<size_t>(outputChunk) * channels;
        terms_.resize(most);
        tapStarts_.resize(most);
        splitTerms_.resize(most);
        sums_.resize(most);
    }

    int32_t produce(AudioStream& self) override {
        const PumpBudget budget(budgetMs);
        AudioStream& in = *source_.stream;
        if (!started_) {
            pumpUntilData(in, budget);
            if (in.validEnd() <= in.firstRetained() && !in.finished()) return 0;
            const auto mapped =
                static_cast<int64_t>(static_cast<double>(in.firstRetained()) * targetRate_ / in.sampleRate());
            self.jumpTo(mapped);
            read_ = in.firstRetained();
            started_ = true;
        }
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            if (fill_ < inputBlock && !inputEnded_ && !refill(in, budget)) break;
            if (!filterSteps()) filterRun();
            if (outCount_ == outputChunk) flush(self);
            if (index_ >= limit_) {
                if (inputEnded_) {
                    flush(self);
                    self.finish(false);
                    return 0;
                }
                shift();
            }
            if (budget.spent()) break;
        }
        return 0;
    }

    bool hasSetPosition() const override { return true; }
    void setPosition(AudioStream&, int64_t target) override {
        // The source counts at its own rate.
        const int64_t back = std::max<int64_t>(0, target - 1024);
        source_.stream->setPosition(static_cast<int64_t>(static_cast<double>(back) * source_.stream->sampleRate() /
                                                         targetRate_));
    }

private:
    // False when the source is short and not finished (wait for it).
    bool refill(AudioStream& in, const PumpBudget& budget) {
        const int64_t want = inputBlock - fill_;
        pumpFor(in, read_ + want, budget);
        const int64_t available = std::clamp<int64_t>(in.validEnd() - read_, 0, want);
        if (!in.finished() && available < want) return false;
        // In runs that lie in one storage block of the source, read in place.
        for (int32_t done = 0; done < available;) {
            const auto run = std::min(static_cast<int32_t>(available) - done, AudioStream::blockRoom(read_ + done));
            for (size_t c = 0; c < inputs_.size(); ++c) {
                const int32_t* samples = in.read32(static_cast<int32_t>(c), read_ + done, run);
                if (!samples) continue;
                int16_t* to = inputs_[c].data() + fill_ + done;
                for (int32_t i = 0; i < run; ++i) to[i] = toSample16(samples[i]);
            }
            done += run;
        }
        fill_ += static_cast<int32_t>(available);
        read_ += available;
        limit_ = fill_ - p_.xoff;
        in.release(read_);
        if (in.finished() && read_ >= in.validEnd()) {
            // The filter's tail: outputs go on over Xoff zeros past the
            // last sample, for which the buffers have room.
            for (auto& x : inputs_) std::fill(x.begin() + fill_, x.end(), 0);
            limit_ = fill_ + p_.xoff;
            inputEnded_ = true;
        }
        return true;
    }

    // The filter's weights for one input fraction (a phase of the filter),
    // laid out to run forwards over the input: the left wing reversed
    // (..., x[index - 1], x[index]), then the right wing (x[index + 1],
    // ...). They depend on the fraction only, so every channel and every
    // output sample at the same fraction shares them; each phase is built
    // the first time it is met and kept while the pool has room.
    // `split`: the weights are also kept in the split form (fir_kernel.h)
    // at the same offsets of fine_ and coarse_, and that form fits.
    struct Phase {
        int32_t offset;
        int32_t left;
        int32_t count;
        SplitForm split;
    };

    struct PhaseSlot {
        int32_t offset = -1;
        int32_t left = 0;
        int32_t count = 0;
        SplitForm split;
    };

    int16_t weight(int32_t ho) const {
        const int32_t k = ho >> 7;
        return static_cast<int16_t>(filter_.table[static_cast<size_t>(k)] +
                                    ((filter_.differences[static_cast<size_t>(k)] * (ho & 127)) >> 7));
    }

    // Appends the phase's weights to `out`; returns the left wing's length.
    int32_t makeTaps(int32_t fraction, std::vector<int16_t>& out) const {
        const int32_t wing = filter_.wing;
        const size_t first = out.size();
        for (int32_t ho = (fraction * p_.dhb) >> fractionBits; (ho >> 7) < wing; ho += p_.dhb) out.push_back(weight(ho));
        std::reverse(out.begin() + static_cast<ptrdiff_t>(first), out.end());
        const auto left = static_cast<int32_t>(out.size() - first);
        const int32_t rightFraction = (-fraction) & fractionMask;
        int32_t ho = (rightFraction * p_.dhb) >> fractionBits;
        if (rightFraction == 0) ho += p_.dhb;
        for (; (ho >> 7) < wing - 1; ho += p_.dhb) out.push_back(weight(ho));
        // Zero weights up to a whole number of vector steps: their terms are
        // 0, and the kernel then runs without a scalar tail.
        while ((out.size() - first) % tapGroup != 0) out.push_back(0);
        return left;
    }

    // The phase's weights are at `offset` in the pool, or in the scratch
    // taps (offset -1) when the pool is full; the scratch holds one phase at
    // a time, so `scratchFree` false refuses such a phase (count -1).
    static constexpr size_t poolLimit = size_t{1} << 21;

    Phase phaseFor(int32_t fraction, bool scratchFree) {
        PhaseSlot& slot = phases_[static_cast<size_t>(fraction >> phaseShift_)];
        if (slot.offset < 0 && pool_.size() < poolLimit) {
            slot.offset = static_cast<int32_t>(pool_.size());
            slot.left = makeTaps(fraction, pool_);
            slot.count = static_cast<int32_t>(pool_.size()) - slot.offset;
            fine_.resize(pool_.size());
            coarse_.resize(pool_.size());
            const auto at = static_cast<size_t>(slot.offset);
            slot.split = splitWeights(pool_.data() + at, slot.count, fine_.data() + at, coarse_.data() + at);
        }
        if (slot.offset >= 0) return {slot.offset, slot.left, slot.count, slot.split};
        if (!scratchFree) return {-1, 0, -1, {}};
        scratchTaps_.clear();
        const int32_t left = makeTaps(fraction, scratchTaps_);
        return {-1, left, static_cast<int32_t>(scratchTaps_.size()), {}};
    }

    // When every phase fits the pool (few fractions: 2 for 22050 to 44100),
    // all of them are built at once and laid out alike for the stepped
    // kernel (fir_kernel.h): each padded with zeros in front to the largest
    // left wing and behind to one length, a whole number of vector steps
    // (zero weights add nothing). Runs of output samples are then summed by
    // stepping through the phases inside the kernel (filterSteps), not
    // gathered one by one.
    void prepareSteps() {
        const int32_t most = 2 * (filter_.wing * 128 / p_.dhb + 2) + static_cast<int32_t>(tapGroup);
        if (p_.dt < 1 || phases_.size() * static_cast<size_t>(most) * 2 > poolLimit) return;
        for (size_t slot = 0; slot < phases_.size(); ++slot)
            phaseFor(static_cast<int32_t>(slot << phaseShift_), false);
        int32_t left = 0, reach = 0;
        for (const PhaseSlot& slot : phases_) {
            if (slot.offset < 0) return;  // not pooled after all: gather
            left = std::max(left, slot.left);
            reach = std::max(reach, slot.count - slot.left);
        }
        const auto count = static_cast<int32_t>((static_cast<size_t>(left + reach) + tapGroup - 1) / tapGroup * tapGroup);
        const size_t total = phases_.size() * static_cast<size_t>(count);
        stepTaps_.assign(total, 0);
        stepFine_.resize(total);
        stepCoarse_.resize(total);
        for (size_t p = 0; p < phases_.size(); ++p) {
            const PhaseSlot& slot = phases_[p];
            const size_t at = p * static_cast<size_t>(count);
            std::copy_n(pool_.begin() + slot.offset, slot.count, stepTaps_.begin() + static_cast<ptrdiff_t>(at) + (left - slot.left));
        }
        const SplitForm all = splitPhases(stepTaps_.data(), static_cast<int32_t>(phases_.size()), count, stepFine_.data(),
                                          stepCoarse_.data());
        steps_ = {stepTaps_.data(), {}, left, count, phaseShift_, 0, 0, p_.dt};
        if (all.fits) steps_.split = {stepFine_.data(), stepCoarse_.data(), all.coarseBegin, all.coarseEnd};
        columns_ = firColumns(steps_);
        steps_.columns = columns_.get();
    }

    // Sums the output samples up to the limit or the chunk's end with the
    // stepped kernel; false (nothing done) when the phases are not all
    // pooled or a run's taps would reach outside the buffers (they are then
    // left out term by term in filterRun).
    bool filterSteps() {
        if (!steps_.taps) return false;
        // Positions in 1/32768 of an input sample: output k lies at
        // start + k dt, and the run takes those before the limit.
        if (index_ >= limit_) return true;
        const int64_t start = (int64_t{index_} << fractionBits) + fraction_;
        const int64_t before = ((int64_t{limit_} << fractionBits) - start + p_.dt - 1) / p_.dt;
        const auto n = static_cast<int32_t>(std::min<int64_t>(before, outputChunk - outCount_));
        const auto last = static_cast<int32_t>((start + int64_t{n - 1} * p_.dt) >> fractionBits);
        const int64_t end = start + int64_t{n} * p_.dt;
        const auto index = static_cast<int32_t>(end >> fractionBits);
        const auto fraction = static_cast<int32_t>(end & fractionMask);
        const auto length = static_cast<int32_t>(inputs_[0].size());
        if (index_ - steps_.left + 1 < 0 || last + 1 + (steps_.count - steps_.left) > length) return false;
        FirSteps steps = steps_;
        steps.index = index_;
        steps.fraction = fraction_;
        for (size_t c = 0; c < inputs_.size(); ++c) {
            roundedDotSteps(steps, inputs_[c].data(), n, sums_.data());
            scaleFilterSums(sums_.data(), n, p_.lpScl, outputs_[c].data() + outCount_);
        }
        index_ = index;
        fraction_ = fraction;
        outCount_ += n;
        return true;
    }

    // Gathers the inner products of the output samples up to the limit or
    // the chunk's end, sums them in one call, then scales them. The pool
    // may grow (and move) while they are gathered, so the weights are found
    // by their offsets only afterwards (tapStarts_: the pool offset, or -1 -
    // the scratch offset; splitTerms_: whether its split form may be used,
    // whose coarse groups the term holds meanwhile).
    void filterRun() {
        const size_t channels = inputs_.size();
        const auto length = static_cast<int32_t>(inputs_[0].size());
        const int32_t begin = outCount_;
        int32_t index = index_, fraction = fraction_, outCount = outCount_;
        const int32_t limit = limit_, dt = p_.dt;
        DotTerms* terms = terms_.data();
        int32_t* tapStarts = tapStarts_.data();
        uint8_t* splitTerms = splitTerms_.data();
        size_t n = 0;
        bool scratchUsed = false;
        while (index < limit && outCount < outputChunk) {
            const Phase phase = phaseFor(fraction, !scratchUsed);
            if (phase.count < 0) break;  // the scratch is taken: the next run
            scratchUsed = scratchUsed || phase.offset < 0;
            // Taps that would reach outside the buffer are left out.
            const int32_t first = index - phase.left + 1;
            const int32_t skip = std::max(0, -first);
            const int32_t count = std::max(0, std::min(phase.count, length - first) - skip);
            const int32_t taps = phase.offset < 0 ? -1 - skip : phase.offset + skip;
            // Split weights only for a whole phase.
            const bool split = phase.split.fits && skip == 0 && count == phase.count;
            for (size_t c = 0; c < channels; ++c, ++n) {
                terms[n] = {nullptr, inputs_[c].data() + first + skip, count, {}};
                terms[n].split.coarseBegin = phase.split.coarseBegin;
                terms[n].split.coarseEnd = phase.split.coarseEnd;
                tapStarts[n] = taps;
                splitTerms[n] = split;
            }
            ++outCount;
            fraction += dt;
            index += fraction >> fractionBits;
            fraction &= fractionMask;
        }
        index_ = index;
        fraction_ = fraction;
        outCount_ = outCount;
        const int16_t* pool = pool_.data();
        const int16_t* scratch = scratchTaps_.data();
        for (size_t k = 0; k < n; ++k) {
            const int32_t at = tapStarts[k];
            terms[k].taps = at >= 0 ? pool + at : scratch + (-1 - at);
            if (!splitTerms[k]) continue;
            terms[k].split.fine = fine_.data() + at;
            terms[k].split.coarse = coarse_.data() + at;
        }
        roundedDotProducts(terms, static_cast<int32_t>(n), sums_.data());
        scaleFilterSums(sums_.data(), static_cast<int32_t>(n), p_.lpScl, sums_.data());
        const int32_t* sample = sums_.data();
        for (int32_t k = begin; k < outCount_; ++k)
            for (size_t c = 0; c < channels; ++c) outputs_[c][static_cast<size_t>(k)] = *sample++;
    }

    void flush(AudioStream& self) {
        if (outCount_ == 0) return;
        const int64_t at = self.validEnd();
        // Written in runs that lie in one storage block, in place.
        const int32_t count = outCount_;
        for (int32_t done = 0; done < count;) {
            const int32_t run = std::min(count - done, AudioStream::blockRoom(at + done));
            for (size_t c = 0; c < outputs_.size(); ++c)
                std::copy_n(outputs_[c].data() + done, run, self.write32(static_cast<int32_t>(c), at + done, run));
            done += run;
        }
        self.setValidEnd(at + count);
        outCount_ = 0;
    }

    // Keeps the Xoff samples of history before the index and what follows.
    void shift() {
        const int32_t drop = index_ - p_.xoff;
        if (drop <= 0) return;
        for (auto& x : inputs_) std::memmove(x.data(), x.data() + drop, static_cast<size_t>(fill_ - drop) * 2);
        fill_ -= drop;
        index_ = p_.xoff;
        limit_ = fill_ - p_.xoff;
    }

    StreamRef source_;
    const Filter& filter_;
    ResampleParameters p_;
    int32_t targetRate_;
    std::vector<std::vector<int16_t>> inputs_;
    std::vector<PageAlignedVector<int32_t>> outputs_;  // stored samples, left-justified
    int32_t fill_ = 0;
    int32_t index_ = 0;
    int32_t fraction_ = 0;
    int32_t limit_ = 0;
    int32_t outCount_ = 0;
    int64_t read_ = 0;
    bool started_ = false;
    bool inputEnded_ = false;
    int32_t phaseShift_ = 0;  // fractions are multiples of 2^phaseShift_
    std::vector<PhaseSlot> phases_;
    std::vector<int16_t> pool_;
    std::vector<int16_t> fine_;    // pool_ in the split form
    std::vector<int16_t> coarse_;
    // Every phase laid out alike for the stepped kernel, when all are pooled.
    FirSteps steps_{};
    std::vector<int16_t> stepTaps_;
    std::vector<int16_t> stepFine_;
    std::vector<int16_t> stepCoarse_;
    std::unique_ptr<FirColumns> columns_;
    std::vector<int16_t> scratchTaps_;
    std::vector<DotTerms> terms_;
    std::vector<int32_t> tapStarts_;
    std::vector<uint8_t> splitTerms_;
    PageAlignedVector<int32_t> sums_;
};

}  // namespace

ResampleParameters resampleParameters(int32_t sourceRate, int32_t targetRate, int32_t quality) {
    const Filter& f = filterFor(quality);
    ResampleParameters p{};
    p.factor = sourceRate > 0 ? static_cast<double>(targetRate) / sourceRate : 1.0;
    p.xoff = static_cast<int32_t>((f.nmult + 1) / 2.0 * std::max(1.0, 1.0 / p.factor) + 10);
    p.lpScl = static_cast<int32_t>(f.scale * 0.95);
    if (p.factor < 1) p.lpScl = static_cast<int32_t>(p.lpScl * p.factor + 0.5);
    p.dt = static_cast<int32_t>(32768 / p.factor + 0.5);
    p.dhb = static_cast<int32_t>(std::min(256.0, 256.0 * p.factor) * 128 + 0.5);
    return p;
}

ResampleFilterTable resampleFilterTable(int32_t quality) {
    const Filter& f = filterFor(quality);
    return {f.table.data(), f.differences.data(), f.wing};
}

std::unique_ptr<AudioStream> createResample(ResampleSetup setup) {
    if (!setup.source.stream || setup.targetRate <= 0 || setup.targetRate > 96000) return nullptr;
    AudioStream& in = *setup.source.stream;
    if (in.sampleRate() == 0) return nullptr;
    // Below 1/65536 of the source rate the table step rounds to 0 and a
    // phase's weights would never end.
    const auto sourceRate = static_cast<int32_t>(in.sampleRate());
    if (resampleParameters(sourceRate, setup.targetRate, setup.quality).dhb < 1) return nullptr;
    AudioFormat f = in.format();
    f.sampleRate = static_cast<uint32_t>(setup.targetRate);
    auto out = AudioStream::create(f);
    if (!out) return nullptr;
    deriveFrom(*out, &in, true);
    out->install(std::make_unique<Resample>(std::move(setup.source), setup.targetRate, setup.quality));
    return out;
}

}  // namespace lv::audio
