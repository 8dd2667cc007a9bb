#include "audio/graph_nodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "audio/audio_dispatch.h"
#include "audio_graph_fixture.h"

namespace lv::audio {
namespace {

using namespace test;

// Each input a WAV stream of its channels and samples at 8000 Hz, with its gain.
struct MixInput {
    uint16_t channels;
    std::vector<int16_t> samples;
    int32_t gain;
};

std::unique_ptr<AudioStream> mix(const std::vector<MixInput>& inputs, int32_t channels = 0, uint32_t secondRate = 8000) {
    MixerSetup setup;
    for (const auto& in : inputs)
        setup.inputs.push_back({StreamRef::owning(wavStream(setup.inputs.empty() ? 8000 : secondRate, in.channels, in.samples)), 0, in.gain});
    setup.outputChannels = channels;
    return createMixer(std::move(setup));
}

// ---- Mixer ---------------------------------------------------------------

struct MixCase {
    const char* name;
    std::vector<MixInput> inputs;
    int32_t channels;
    std::vector<int16_t> want;
};

// Sums of 32-bit-safe gains (below 2048 in all) and of widened ones (2048).
int16_t sumOf(int32_t a, int32_t b, int32_t ga, int32_t gb) {
    return static_cast<int16_t>((((int64_t{a * 65536} >> 11) * ga + (int64_t{b * 65536} >> 11) * gb) * 8) >> 16);
}

class Mixes : public ::testing::TestWithParam<MixCase> {};

TEST_P(Mixes, GiveTheSaturatedSumOfTheGainedInputs) { EXPECT_EQ(drain(*mix(GetParam().inputs, GetParam().channels)), GetParam().want); }

INSTANTIATE_TEST_SUITE_P(
    Mixer, Mixes,
    ::testing::Values(MixCase{"UnityAdds", {{1, {1000, 1000}, 256}, {1, {-300, -300}, 256}}, 0, {700, 700}},
                      MixCase{"HalfGainHalves", {{1, {1000}, 128}}, 0, {500}},
                      MixCase{"UnityReachesBothEndsUnsaturated", {{1, {32767, -32768}, 256}}, 0, {32767, -32768}},
                      MixCase{"NegativeUnitySaturatesAtTheTop", {{1, {-32768, 32767}, -256}}, 0, {32767, -32767}},
                      MixCase{"FullScaleSaturates", {{2, {32767, -32768}, 256}, {2, {32767, -32768}, 256}}, 0, {32767, -32768}},
                      MixCase{"HighGainSaturates", {{1, {20000, -20000, 200}, 256 * 300}}, 0, {32767, -32768, 32767}},
                      MixCase{"HugeGainsSaturate", std::vector<MixInput>(8, MixInput{1, {32767}, INT32_MAX}), 0, {32767}},
                      MixCase{"GainsBelow2048", {{1, {-32768, 100, 5}, 1024}, {1, {-32768, 100, -5}, 1023}}, 0,
                              {-32768, sumOf(100, 100, 1024, 1023), sumOf(5, -5, 1024, 1023)}},
                      MixCase{"GainsAt2048", {{1, {-32768, 100, 5}, 1024}, {1, {-32768, 100, -5}, 1024}}, 0,
                              {-32768, sumOf(100, 100, 1024, 1024), sumOf(5, -5, 1024, 1024)}},
                      MixCase{"GainsAbove2048Widen", {{1, {-32768}, 1025}, {1, {-32768}, 1024}}, 0, {-32768}},
                      MixCase{"MonoFeedsBothOfStereo", {{1, {100, 200}, 256}, {2, {1, 2, 3, 4}, 256}}, 0, {101, 102, 203, 204}},
                      MixCase{"MonoFeedsChannelZeroOfFour", {{1, {100}, 256}}, 4, {100, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Mixer, EndsWithItsShortestFinishedInput) {
    auto m = mix({{1, ramp(5000), 256}, {1, ramp(9000), 256}});
    EXPECT_EQ(drain(*m).size(), 5000u);
    EXPECT_TRUE(m->finished());
}

TEST(Mixer, RefusesNoInputsMixedRatesAndTooFewChannels) {
    EXPECT_EQ(createMixer({}), nullptr);
    EXPECT_EQ(mix({{1, {1}, 256}, {1, {1}, 256}}, 0, 11025), nullptr);
    EXPECT_EQ(mix({{2, {1, 1}, 256}}, 1), nullptr);
}

// ---- VolumeFader ---------------------------------------------------------

struct FaderCase : ::testing::Test {
    std::unique_ptr<AudioStream> fader = createVolumeFader(StreamRef::owning(wavStream(44100, 1, constant(44100, 16384))));
};

TEST_F(FaderCase, UnityLeavesSamplesAsTheyAre) { EXPECT_EQ(drain(*fader), constant(44100, 16384)); }

// Every sample of a ramp carries the gain MulDiv(i, to - from, span) + from
// (rounded half away from zero): a sample s of 16 bits becomes
// (256 s g with its low 10 bits cleared) in the upper half, saturated
// beyond unity. The samples sweep the whole 16-bit range, so that each run
// of one gain meets other samples.
struct FaderRamp {
    double from, to, seconds;
};

class FaderRamps : public ::testing::TestWithParam<FaderRamp> {};

TEST_P(FaderRamps, EverySampleHasTheMultiplyDivideGain) {
    const FaderRamp r = GetParam();
    std::vector<int16_t> in(9000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<int16_t>(i * 7919 % 65536 - 32768);
    auto fader = createVolumeFader(StreamRef::owning(wavStream(44100, 1, in)));
    ASSERT_EQ(faderSetEntry(*fader, 0.0, r.from), 0);
    ASSERT_EQ(faderSetEntry(*fader, r.seconds, r.to), 0);
    const auto from = static_cast<int64_t>(r.from * 256), to = static_cast<int64_t>(r.to * 256);
    const auto span = static_cast<int64_t>(44100 * r.seconds);
    const auto out = drain(*fader);
    ASSERT_EQ(out.size(), 9000u);
    for (int64_t i = 0; i < 9000; ++i) {
        const int64_t g = i < span ? std::llround(static_cast<double>(i * (to - from)) / static_cast<double>(span)) + from : to;
        const int64_t product = std::clamp<int64_t>(256 * in[static_cast<size_t>(i)] * g, INT32_MIN, INT32_MAX);
        ASSERT_EQ(out[static_cast<size_t>(i)], (product & ~int64_t{0x3FF}) >> 16) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(UpDownAndBeyondUnity, FaderRamps,
                         ::testing::Values(FaderRamp{1.0, 0.0, 0.1234}, FaderRamp{0.0, 1.0, 0.05},
                                           FaderRamp{0.75, 77 / 256.0, 0.1}, FaderRamp{1.0, 2.5, 0.0999},
                                           FaderRamp{0.5, -0.25, 0.07}, FaderRamp{0.0, 0.01171875, 0.15},
                                           FaderRamp{3.0, 3.0, 0.05}));

TEST_F(FaderCase, AnEntryAlreadyProducedIsRefused) {
    drain(*fader, 8192);
    EXPECT_EQ(faderSetEntry(*fader, 0.0, 0.5), 1);
    EXPECT_EQ(faderRemoveEntry(*fader, 0.0), 1);
}

TEST_F(FaderCase, EntriesAreKeptInOrderAndReadBack) {
    faderSetEntry(*fader, 0.5, 0.25);
    faderSetEntry(*fader, 0.25, 0.75);
    faderSetEntry(*fader, 0.5, 0.5);  // same position: the new value
    ASSERT_EQ(faderEntryCount(*fader), 3u);
    double t = 0, v = 0;
    FaderEntryArgument a{0, &v};
    int32_t index = 2;
    EXPECT_EQ(send(kindAudioStream, cmdGetFaderEntry, fader.get(), &index, &a), 0);
    EXPECT_DOUBLE_EQ(a.time, 0.5);
    EXPECT_DOUBLE_EQ(v, 0.5);
    index = 3;
    EXPECT_EQ(send(kindAudioStream, cmdGetFaderEntry, fader.get(), &index, &a), -1);
    EXPECT_EQ(faderRemoveEntry(*fader, 0.3), 2);
    faderState(*fader, t, &v);
    EXPECT_DOUBLE_EQ(v, 1.0);
}

// ---- AudioCrop -----------------------------------------------------------

// One second out of three is exactly 44100 samples; a crop by samples
// without an end runs to the source's end.
TEST(AudioCrop, CutsBySecondsAndBySamples) {
    const auto v = ramp(3 * 44100);
    CropSetup seconds;
    seconds.source = StreamRef::owning(wavStream(44100, 1, v));
    seconds.startSeconds = 1.0;
    seconds.endSeconds = 2.0;
    EXPECT_EQ(drain(*createAudioCrop(std::move(seconds))), std::vector<int16_t>(v.begin() + 44100, v.begin() + 2 * 44100));
    CropSetup samples;
    samples.source = StreamRef::owning(wavStream(8000, 1, v));
    samples.useSamples = true;
    samples.startSample = 2500;
    EXPECT_EQ(drain(*createAudioCrop(std::move(samples))), std::vector<int16_t>(v.begin() + 2500, v.end()));
}

TEST(AudioCrop, PassesWholeBlocksOnUnchanged) {
    // A stereo song cut short mid-block, from its start (blocks taken over
    // from a source the crop owns, copied from one it borrows) and from a
    // little way in (whose time line is not the source's): the same
    // samples, and the source's blocks after an exchange are never read.
    std::vector<int16_t> v = ramp(2 * 30000);
    for (size_t i = 1; i < v.size(); i += 2) v[i] = static_cast<int16_t>(-v[i]);
    for (const int64_t start : {0, 2500}) {
        const std::vector<int16_t> expected(v.begin() + 2 * start, v.begin() + 2 * 27000);
        for (const bool owned : {true, false}) {
            auto source = wavStream(44100, 2, v);
            CropSetup setup;
            setup.source = owned ? StreamRef::owning(std::move(source)) : StreamRef::borrowing(source.get());
            setup.useSamples = true;
            setup.startSample = start;
            setup.endSample = 27000;
            auto crop = createAudioCrop(std::move(setup));
            EXPECT_EQ(drain(*crop), expected) << "start " << start << (owned ? ", owned" : ", borrowed");
        }
    }
}

// ---- Concat, Silence, ChannelChanger ------------------------------------

// Segments (a start and a length in their source) follow end to end; the
// join finishes only at the end marker and takes nothing after it.
TEST(Concat, JoinsSegmentsInOrderUntilTheEndMarker) {
    const auto v = ramp(6000);
    auto c = createConcat({StreamRef::owning(wavStream(8000, 1, constant(5000, 1))), 0, -1});
    ASSERT_EQ(concatAppend(*c, {StreamRef::owning(wavStream(8000, 1, v)), 100, 50}), 0);
    EXPECT_EQ(concatAppend(*c, {StreamRef::owning(wavStream(11025, 1, {1})), 0, -1}), 1);  // another rate
    const auto out = drain(*c, 5050);
    ASSERT_EQ(out.size(), 5050u);
    EXPECT_EQ(out[4999], 1);
    EXPECT_EQ(out[5000], v[100]);
    EXPECT_EQ(out[5049], v[149]);
    EXPECT_FALSE(c->finished());
    concatAppendEnd(*c);
    for (int i = 0; i < 10 && !c->finished(); ++i) c->pump();
    EXPECT_TRUE(c->finished());
    EXPECT_EQ(c->validEnd(), 5050);
    EXPECT_EQ(concatAppend(*c, {StreamRef::owning(wavStream(8000, 1, {1})), 0, -1}), 1);
}

TEST(Silence, GivesItsLengthOfZerosAndFinishesUnlessTheLengthIsNegative) {
    auto s = createSilence(5000, 44100, 2);
    EXPECT_EQ(drain(*s), constant(10000, 0));
    EXPECT_TRUE(s->finished());
    auto endless = createSilence(-1, 44100, 2);
    for (int i = 0; i < 100; ++i) endless->pump();
    EXPECT_FALSE(endless->finished());
    EXPECT_GT(endless->validEnd(), 800000);
}

TEST(ChannelChanger, CopiesMonoIntoEveryChannelAndRefusesStereoSourcesAndMonoTargets) {
    auto c = createChannelChanger(StreamRef::owning(wavStream(8000, 1, {5, -6})), 3);
    EXPECT_EQ(drain(*c), (std::vector<int16_t>{5, 5, 5, -6, -6, -6}));
    EXPECT_EQ(createChannelChanger(StreamRef::owning(wavStream(8000, 2, {1, 1})), 4), nullptr);
    EXPECT_EQ(createChannelChanger(StreamRef::owning(wavStream(8000, 1, {1})), 1), nullptr);
}

TEST(ChannelChanger, ReleasesWhatItCopiedOfAnOwnedSourceOnly) {
    auto owned = wavStream(8000, 1, ramp(100000));
    AudioStream* source = owned.get();
    auto c = createChannelChanger(StreamRef::owning(std::move(owned)), 2);
    EXPECT_EQ(drain(*c).size(), 200000u);
    EXPECT_GT(source->firstRetained(), 80000);
    auto kept = wavStream(8000, 1, ramp(100000));
    auto borrowing = createChannelChanger(StreamRef::borrowing(kept.get()), 2);
    drain(*borrowing);
    EXPECT_EQ(kept->firstRetained(), 0);
}

// ---- Resample ------------------------------------------------------------

TEST(Resample, ParametersOfTheSmallFilter) {
    const auto up = resampleParameters(22050, 44100, 0);
    EXPECT_EQ(up.xoff, 17);
    EXPECT_EQ(up.dt, 16384);
    EXPECT_EQ(up.dhb, 32768);
    const auto down = resampleParameters(44100, 22050, 0);
    EXPECT_EQ(down.xoff, 24);
    EXPECT_EQ(down.lpScl, 6236);
    EXPECT_EQ(down.dhb, 16384);
}

TEST(Resample, RefusesATargetBelowOne65536thOfTheSourceRate) {
    // The table step would round to 0 and a phase would never end.
    EXPECT_EQ(createResample({StreamRef::owning(wavStream(96000, 1, {1})), 1, 1}), nullptr);
    EXPECT_EQ(resampleParameters(96000, 2, 1).dhb, 1);
    EXPECT_NE(createResample({StreamRef::owning(wavStream(96000, 1, {1})), 2, 0}), nullptr);
}

// The interpolation written out term by term over the whole input at once:
// Xoff zeros before it and zeros after, one output per step of dt from the
// first sample on until Xoff samples past the last (the filter's tail). The
// node refills and shifts its buffers in blocks and sums through its vector
// kernels; it must give these samples.
std::vector<int16_t> resampledByDefinition(const std::vector<int16_t>& in, int32_t from, int32_t to, int32_t quality) {
    const ResampleParameters p = resampleParameters(from, to, quality);
    const ResampleFilterTable f = resampleFilterTable(quality);
    std::vector<int32_t> x(static_cast<size_t>(p.xoff), 0);
    x.insert(x.end(), in.begin(), in.end());
    x.resize(x.size() + static_cast<size_t>(2 * p.xoff + 2), 0);
    auto coefficient = [&](int32_t ho) {
        const int32_t k = ho >> 7;
        return f.table[k] + ((f.differences[k] * (ho & 127)) >> 7);
    };
    std::vector<int16_t> out;
    int32_t index = p.xoff, fraction = 0;
    const auto end = 2 * p.xoff + static_cast<int32_t>(in.size());
    while (index < end) {
        int64_t sum = 0;
        int32_t at = index;
        for (int32_t ho = (fraction * p.dhb) >> 15; (ho >> 7) < f.wing; ho += p.dhb)
            sum += (coefficient(ho) * x[static_cast<size_t>(at--)] + 8192) >> 14;
        const int32_t right = (-fraction) & 0x7FFF;
        at = index + 1;
        for (int32_t ho = ((right * p.dhb) >> 15) + (right == 0 ? p.dhb : 0); (ho >> 7) < f.wing - 1; ho += p.dhb)
            sum += (coefficient(ho) * x[static_cast<size_t>(at++)] + 8192) >> 14;
        const int64_t v = ((sum >> 2) * p.lpScl + 4096) >> 13;
        out.push_back(static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767)));
        fraction += p.dt;
        index += fraction >> 15;
        fraction &= 0x7FFF;
    }
    return out;
}

// Rises and falls, with each filter, at rates whose phases repeat after two
// steps, a few hundred, or (44100 to 22051) far more than are kept; over
// more than one input block, loud enough to clip.
TEST(Resample, GivesTheInterpolationsSamplesExactly) {
    struct Case {
        int32_t from, to, quality;
    };
    const Case cases[] = {{22050, 44100, 1}, {22050, 44100, 0}, {44100, 22050, 0}, {44100, 48000, 1},
                          {48000, 44100, 1}, {8000, 44100, 0}, {44100, 22051, 1}};
    std::vector<int16_t> in = sine(30000, 3000, 44100, 20000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<int16_t>(in[i] + ((i * 7919) % 25000) - 12500);
    for (size_t i = 12000; i < 12400; ++i) in[i] = (i / 3) % 2 ? 32767 : -32768;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to << ", quality " << c.quality);
        const auto expected = resampledByDefinition(in, c.from, c.to, c.quality);
        const auto out = drain(*createResample({StreamRef::owning(wavStream(static_cast<uint32_t>(c.from), 1, in)), c.to,
                                                c.quality}));
        ASSERT_EQ(out.size(), expected.size());
        for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], expected[i]) << "sample " << i;
    }
}

// A crop that starts inside a resampled sound (a show seeking into a cell
// sound of another rate) sets the Resample's position, which the source
// must get at its own rate. From the crop's start on, the samples are those
// of the sound played through: the run-in before it fills the filter.
TEST(Resample, ASeekIntoItGivesTheSamplesOfTheSoundPlayedThrough) {
    struct Case {
        int32_t from, to;
        int64_t start;
    };
    const Case cases[] = {{22050, 44100, 30000}, {11025, 44100, 30001}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to << " from " << c.start);
        std::vector<int16_t> in = sine(static_cast<size_t>(c.from), 700, c.from, 12000);
        for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<int16_t>(in[i] + ((i * 7919) % 8000) - 4000);
        const auto resampled = [&] {
            return createResample({StreamRef::owning(wavStream(static_cast<uint32_t>(c.from), 1, in)), c.to, 1});
        };
        const auto through = drain(*resampled());
        ASSERT_GT(through.size(), static_cast<size_t>(c.start));
        CropSetup crop;
        crop.source = StreamRef::owning(resampled());
        crop.useSamples = true;
        crop.startSample = c.start;
        const auto sought = drain(*createAudioCrop(std::move(crop)));
        EXPECT_EQ(sought, std::vector<int16_t>(through.begin() + c.start, through.end()));
    }
}

// Signal-to-noise ratio of out against a sine of the given frequency at
// the output rate, skipping the ends.
double sineSnr(const std::vector<int16_t>& out, double frequency, double rate, double amplitude, size_t first = 200) {
    double signal = 0, noise = 0;
    for (size_t i = first; i + 200 < out.size(); ++i) {
        const double want = amplitude * 0.95 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / rate);
        signal += want * want;
        noise += (out[i] - want) * (out[i] - want);
    }
    return 10 * std::log10(signal / std::max(noise, 1e-9));
}

// One second of a sine up with either filter and down (stereo: the output
// stage of a down-conversion scales by the factor too). Just above half the
// rate every output sample has a phase of its own (128 weights each with the
// large filter): after some 16000 samples they are no longer kept and each
// is built for its run, as clean as the rest (a phase taken from the wrong
// place leaves them near 35 dB).
TEST(Resample, ConvertsASineCleanly) {
    struct Case {
        uint32_t from;
        int32_t to;
        uint16_t channels;
        int quality;
        double frequency;
        size_t first;
        double snr;
    };
    const Case cases[] = {{22050, 44100, 1, 0, 1000, 200, 30}, {22050, 44100, 1, 1, 1000, 200, 30},
                          {44100, 22050, 2, 0, 500, 200, 30}, {44100, 22051, 1, 1, 500, 17000, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to << ", quality " << c.quality);
        std::vector<int16_t> in;
        for (int16_t s : sine(c.from, c.frequency, c.from)) in.insert(in.end(), c.channels, s);
        auto r = createResample({StreamRef::owning(wavStream(c.from, c.channels, in)), c.to, c.quality});
        const auto out = drain(*r);
        std::vector<int16_t> left;
        for (size_t i = 0; i < out.size(); i += c.channels) left.push_back(out[i]);
        // The output runs on over the filter's tail, Xoff input samples past the end.
        const double tail = resampleParameters(static_cast<int32_t>(c.from), c.to, c.quality).xoff;
        EXPECT_NEAR(static_cast<double>(left.size()), (c.from + tail) * c.to / c.from, 1);
        EXPECT_GT(sineSnr(left, c.frequency, c.to, 16000, c.first), c.snr);
    }
}

// ---- ComplexMixer --------------------------------------------------------

MixerEntry soundAt(double seconds, std::vector<int16_t> samples, int32_t gain = 256) {
    MixerEntry e;
    e.startTime = seconds;
    e.gain = gain;
    auto bytes = std::make_shared<std::vector<int16_t>>(std::move(samples));
    e.opener = [bytes] { return wavStream(44100, 2, *bytes); };
    return e;
}

TEST(ComplexMixer, IdleSilencePlaysForever) {
    ComplexMixerSetup setup;
    setup.idleSilence = true;
    auto m = createComplexMixer(std::move(setup));
    const auto out = drain(*m, 5 * 44100);
    EXPECT_EQ(out, constant(10 * 44100, 0));
    EXPECT_FALSE(m->finished());
}

TEST(ComplexMixer, EndAtLengthRunsSilenceToTheLength) {
    ComplexMixerSetup setup;
    setup.provider = [](MixerEntry&) { return 0; };
    setup.endAtLength = true;
    setup.length = 3;
    auto m = createComplexMixer(std::move(setup));
    EXPECT_EQ(drain(*m).size(), 2u * 132300);
    EXPECT_TRUE(m->finished());
}

TEST(ComplexMixer, AMonoEntryOfAnotherRateIsResampledIntoBothChannels) {
    const auto voice = sine(22050, 700, 22050);
    auto alone = createResample({StreamRef::owning(wavStream(22050, 1, voice)), 44100, 1});
    const auto expected = drain(*alone);
    ComplexMixerSetup setup;
    MixerEntry e;
    e.gain = 256;
    e.opener = [voice] { return wavStream(22050, 1, voice); };
    setup.fixedEntries.push_back(e);
    auto m = createComplexMixer(std::move(setup));
    const auto out = drain(*m);
    ASSERT_EQ(out.size(), 2 * expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(out[2 * i], expected[i]) << i;
        ASSERT_EQ(out[2 * i + 1], expected[i]) << i;
    }
}

// Entries start at their samples and overlapping ones are summed; one whose
// opener fails is dropped.
TEST(ComplexMixer, FixedEntriesStartAtTheirSamplesAndOverlap) {
    ComplexMixerSetup setup;
    MixerEntry broken;
    broken.opener = [] { return std::unique_ptr<AudioStream>(); };
    setup.fixedEntries.push_back(std::move(broken));
    setup.fixedEntries.push_back(soundAt(0.5, constant(2 * 100, 1000)));
    setup.fixedEntries.push_back(soundAt(0.25, constant(2 * 50, -2000), 128));
    setup.fixedEntries.push_back(soundAt(0.0, constant(2 * 20000, 100)));
    auto m = createComplexMixer(std::move(setup));
    const auto out = drain(*m);
    ASSERT_EQ(out.size(), 2u * (22050 + 100));
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[2 * 11024], 100);
    EXPECT_EQ(out[2 * 11025], -900);
    EXPECT_EQ(out[2 * 11074 + 1], -900);
    EXPECT_EQ(out[2 * 11075], 100);
    EXPECT_EQ(out[2 * 19999], 100);
    EXPECT_EQ(out[2 * 20000], 0);
    EXPECT_EQ(out[2 * 22049], 0);
    EXPECT_EQ(out[2 * 22050], 1000);
    EXPECT_TRUE(m->finished());
}

TEST(ComplexMixer, AWaitBehindItsValidEndDoesNotSilenceTheRest) {
    // The provider answers "wait until 0 s" until the output has passed
    // half a second, as a provider whose clock lags the output does.
    ComplexMixerSetup setup;
    AudioStream* self = nullptr;
    int calls = 0;
    bool offered = false;
    setup.provider = [&](MixerEntry& e) {
        if (++calls > 100000 || offered) return 0;
        if (self->validEnd() < 22050) {
            e.startTime = 0;
            return 2;
        }
        offered = true;
        e = soundAt(1.0, constant(2 * 10, 500));
        return 1;
    };
    auto m = createComplexMixer(std::move(setup));
    self = m.get();
    const auto out = drain(*m, 2 * 44100);
    ASSERT_GE(out.size(), 2u * 44110);
    EXPECT_EQ(out[2 * 44099], 0);
    EXPECT_EQ(out[2 * 44100], 500);
    EXPECT_TRUE(m->finished());
    EXPECT_LT(calls, 100);
}

TEST(ComplexMixer, UpdatesTheQueuedEntryOfTheGivenType) {
    ComplexMixerSetup setup;
    int calls = 0;
    setup.provider = [&](MixerEntry& e) {
        if (calls++ > 0) return 0;
        e = soundAt(2.0, constant(2, 1));
        e.type = 1;
        return 1;
    };
    auto m = createComplexMixer(std::move(setup));
    m->pump();
    EXPECT_EQ(complexMixerUpdateQueued(*m, soundAt(1.0, constant(2, 5)), 1), 1);
    EXPECT_EQ(complexMixerUpdateQueued(*m, soundAt(3.0, constant(2, 5)), 7), 2);
    EXPECT_EQ(complexMixerUpdateQueued(*m, soundAt(3.0, constant(2, 5)), 1), 0);
    const auto out = drain(*m);
    ASSERT_EQ(out.size(), 2u * (3 * 44100 + 1));
    EXPECT_EQ(out.back(), 5);
}

TEST(ComplexMixer, AMonoEntryFillsEveryChannelOfAWiderOutput) {
    // Four channels: a Mixer would feed a mono input to channel 0 only.
    ComplexMixerSetup setup;
    setup.channels = 4;
    MixerEntry e;
    e.opener = [] { return wavStream(44100, 1, constant(300, 700)); };
    setup.fixedEntries.push_back(std::move(e));
    EXPECT_EQ(drain(*createComplexMixer(std::move(setup))), constant(4 * 300, 700));
}

}  // namespace
}  // namespace lv::audio
