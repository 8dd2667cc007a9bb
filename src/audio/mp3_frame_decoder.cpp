#include "audio/mp3_frame_decoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/bit_reader.h"
#include "audio/mp3_huffman.h"
#include "audio/mp3_imdct.h"

namespace lv::audio::mp3 {
namespace {

// Alias reduction butterflies from the coefficients c[i] of 2.4.3.4.9.
struct AliasCoefficients {
    float cs[8];
    float ca[8];
    AliasCoefficients() {
        const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            const double root = std::sqrt(1 + c[i] * c[i]);
            cs[i] = static_cast<float>(1 / root);
            ca[i] = static_cast<float>(c[i] / root);
        }
    }
};

const AliasCoefficients& alias() {
    static const AliasCoefficients a;
    return a;
}

// 2^(e/4) for the quarter steps e that requantisation's exponents take:
// global gain (0..255) - 210, less a scalefactor with pre-emphasis (times 2
// or 4) and a subblock gain (times 8).
struct QuarterPowers {
    static constexpr int lowest = -210 - 4 * (15 + 3) - 8 * 7 - 4;
    static constexpr int highest = 255 - 210;
    float value[highest - lowest + 1];
    QuarterPowers() {
        for (int e = lowest; e <= highest; ++e) value[e - lowest] = static_cast<float>(std::exp2(e / 4.0));
    }
};

float quarterPower(int e) {
    static const QuarterPowers powers;
    return powers.value[std::clamp(e, QuarterPowers::lowest, QuarterPowers::highest) - QuarterPowers::lowest];
}

// xr[i] = sign(q[i]) |q[i]|^(4/3) * factor; the sign is moved over as a
// bit, as a branch on it would be mispredicted half the time.
void scaleLines(const int* q, float* xr, int count, float factor) {
    const float* pow43 = power43Table();
    for (int i = 0; i < count; ++i) {
        const int v = q[i];
        const uint32_t sign = static_cast<uint32_t>(v) & 0x80000000u;
        const float magnitude = pow43[std::min(v < 0 ? -v : v, maxQuantised)] * factor;
        xr[i] = std::bit_cast<float>(std::bit_cast<uint32_t>(magnitude) | sign);
    }
}

// The slots that MPEG-2 scalefactors fill, in bitstream order.
template <typename Visit>
void forEachLsfSlot(int blockKind, Visit visit) {
    if (blockKind == 0) {
        for (int sfb = 0; sfb < 21; ++sfb) visit(sfb, -1);
        return;
    }
    int sfb = 0;
    if (blockKind == 2) {
        for (; sfb < 6; ++sfb) visit(sfb, -1);
        sfb = 3;
    }
    for (; sfb < 12; ++sfb)
        for (int w = 0; w < 3; ++w) visit(sfb, w);
}

// 576 samples of each channel to 576 left, right pairs.
void interleave(const int16_t* left, const int16_t* right, int16_t* out) {
    for (int i = 0; i < 576; ++i) {
        out[2 * i] = left[i];
        out[2 * i + 1] = right[i];
    }
}

}  // namespace

void FrameDecoder::reset() {
    std::memset(overlap_, 0, sizeof overlap_);
    std::memset(scalefactors_, 0, sizeof scalefactors_);
    for (auto& s : synthesis_) s.reset();
}

template <typename Synthesise>
void FrameDecoder::decodeGranules(const MpegAudioHeader& header, const SideInfo& side,
                                  std::span<const uint8_t> mainData, Synthesise&& synthesise) {
    bands_ = &scalefactorBands(header.mpeg1, header.samplingIndex);
    const int channels = header.channels();
    BitReader bits(mainData.data(), mainData.size());
    size_t granuleStart = 0;
    for (int gr = 0; gr < side.granules; ++gr) {
        int nonzero[2] = {0, 0};
        for (int ch = 0; ch < channels; ++ch) {
            const GranuleChannelInfo& g = side.granule[gr][ch];
            bits.setPosition(granuleStart);
            const size_t end = granuleStart + static_cast<size_t>(g.part23Length);
            readScalefactors(bits, header, side, gr, ch);
            nonzero[ch] = decodeSpectrum(bits, g, end);
            requantise(g, ch, nonzero[ch]);
            granuleStart = end;
        }
        if (header.mode == ChannelMode::jointStereo && channels == 2)
            stereo(header, side.granule[gr][1], nonzero[0], nonzero[1]);
        for (int ch = 0; ch < channels; ++ch) {
            hybrid(side.granule[gr][ch], ch, nonzero[ch]);
            synthesise(gr, ch);
        }
    }
}

void FrameDecoder::decode(const MpegAudioHeader& header, const SideInfo& side, std::span<const uint8_t> mainData,
                          int16_t* out) {
    // Each channel is synthesised into a row of its own and the rows are
    // then interleaved in one pass: cheaper than 16-bit stores a channel
    // apart, and the samples are the same.
    const int channels = header.channels();
    decodeGranules(header, side, mainData, [&](int gr, int ch) {
        int16_t* pcm = out + static_cast<ptrdiff_t>(gr) * 576 * channels;
        int16_t* row = channels == 1 ? pcm : channelPcm_[ch];
        for (int t = 0; t < 18; ++t) synthesis_[ch].run(subbandSamples_[t], row + t * 32, 1);
        if (ch == 1) interleave(channelPcm_[0], channelPcm_[1], pcm);
    });
}

void FrameDecoder::decode(const MpegAudioHeader& header, const SideInfo& side, std::span<const uint8_t> mainData,
                          const PlanarOutput& out) {
    decodeGranules(header, side, mainData, [&](int gr, int ch) {
        for (int t = 0; t < 18; ++t) synthesis_[ch].runLeftJustified(subbandSamples_[t], out.at(ch, gr * 576 + t * 32));
    });
}

void FrameDecoder::readScalefactors(BitReader& bits, const MpegAudioHeader& header, const SideInfo& side, int gr,
                                    int ch) {
    const GranuleChannelInfo& g = side.granule[gr][ch];
    Scalefactors& sf = scalefactors_[ch];
    if (header.mpeg1) {
        const int slen1 = slen1Table[g.scalefacCompress];
        const int slen2 = slen2Table[g.scalefacCompress];
        if (g.shortBlocks()) {
            int firstShort = 0;
            if (g.mixedBlock) {
                for (int sfb = 0; sfb < 8; ++sfb) sf.l[sfb] = static_cast<int>(bits.get(slen1));
                firstShort = 3;
            }
            for (int sfb = firstShort; sfb < 12; ++sfb)
                for (int w = 0; w < 3; ++w) sf.s[sfb][w] = static_cast<int>(bits.get(sfb < 6 ? slen1 : slen2));
            for (int w = 0; w < 3; ++w) sf.s[12][w] = 0;
        } else {
            // Scalefactor selection: granule 1 reuses granule 0's groups
            // whose scfsi bit is set.
            static constexpr int groupStart[5] = {0, 6, 11, 16, 21};
            for (int group = 0; group < 4; ++group) {
                if (gr == 1 && side.scfsi[ch][group]) continue;
                for (int sfb = groupStart[group]; sfb < groupStart[group + 1]; ++sfb)
                    sf.l[sfb] = static_cast<int>(bits.get(group < 2 ? slen1 : slen2));
            }
            sf.l[21] = 0;
        }
        sf.preflag = g.preflag;
        return;
    }

    // MPEG-2: the scalefactor bit widths come from scalefac_compress, read
    // differently for the intensity-coded right channel (13818-3 2.4.3.2).
    int slen[4] = {0, 0, 0, 0};
    int table = 0;
    int compress = g.scalefacCompress;
    const bool intensityRight = ch == 1 && header.mode == ChannelMode::jointStereo && (header.modeExtension & 1);
    bool preflag = false;
    if (!intensityRight) {
        if (compress < 400) {
            slen[0] = (compress >> 4) / 5, slen[1] = (compress >> 4) % 5, slen[2] = (compress & 15) >> 2,
            slen[3] = compress & 3;
        } else if (compress < 500) {
            compress -= 400;
            slen[0] = (compress >> 2) / 5, slen[1] = (compress >> 2) % 5, slen[2] = compress & 3;
            table = 1;
        } else {
            compress -= 500;
            slen[0] = compress / 3, slen[1] = compress % 3;
            table = 2;
            preflag = true;
        }
    } else {
        compress >>= 1;
        if (compress < 180) {
            slen[0] = compress / 36, slen[1] = (compress % 36) / 6, slen[2] = compress % 6;
            table = 3;
        } else if (compress < 244) {
            compress -= 180;
            slen[0] = (compress & 63) >> 4, slen[1] = (compress & 15) >> 2, slen[2] = compress & 3;
            table = 4;
        } else {
            compress -= 244;
            slen[0] = compress / 3, slen[1] = compress % 3;
            table = 5;
        }
    }

    const int blockKind = g.shortBlocks() ? (g.mixedBlock ? 2 : 1) : 0;
    const int* counts = lsfBandCounts[table][blockKind];
    int group = 0;
    int leftInGroup = counts[0];
    sf = Scalefactors{};
    forEachLsfSlot(blockKind, [&](int sfb, int w) {
        while (leftInGroup == 0 && group < 3) leftInGroup = counts[++group];
        const int width = leftInGroup > 0 ? slen[group] : 0;
        if (leftInGroup > 0) --leftInGroup;
        const int value = static_cast<int>(bits.get(width));
        const int max = (1 << width) - 1;
        if (w < 0) {
            sf.l[sfb] = value, sf.lMax[sfb] = max;
        } else {
            sf.s[sfb][w] = value, sf.sMax[sfb][w] = max;
        }
    });
    sf.preflag = preflag;
}

int FrameDecoder::decodeSpectrum(BitReader& bits, const GranuleChannelInfo& g, size_t end) {
    // Region boundaries follow the long scalefactor bands; with window
    // switching region 2 is empty, and short blocks start region 1 at 36.
    int region1 = bands_->longBands[std::min(g.region0Count + 1, 22)];
    int region2 = bands_->longBands[std::min(g.region0Count + g.region1Count + 2, 22)];
    if (g.windowSwitching) {
        if (g.blockType == 2) region1 = 36;
        region2 = 576;
    }
    const int bigEnd = std::min(g.bigValues * 2, 576);
    region1 = std::min(region1, bigEnd);
    region2 = std::min(region2, bigEnd);

    decodePairs(bits, g.tableSelect[0], quantised_, region1);
    decodePairs(bits, g.tableSelect[1], quantised_ + region1, region2 - region1);
    decodePairs(bits, g.tableSelect[2], quantised_ + region2, bigEnd - region2);
    const int i = decodeCount1(bits, g.count1Table, quantised_, bigEnd, end);
    std::fill(quantised_ + i, quantised_ + 576, 0);
    return i;
}

void FrameDecoder::requantise(const GranuleChannelInfo& g, int ch, int nonzero) {
    // xr = sign |q|^(4/3) 2^(gain / 4): gain in quarter steps is global_gain
    // - 210, less 8 per subblock gain step, less the scalefactor (plus
    // pre-emphasis) times 2 or 4 by scalefac_scale. Only lines up to the last
    // non-zero one are worked; the rest are zero.
    const Scalefactors& sf = scalefactors_[ch];
    float* xr = spectrum_[ch];
    const int gain = g.globalGain - 210;
    const int shift = 2 * (1 + g.scalefacScale);

    int line = 0;
    if (!g.shortBlocks() || g.mixedBlock) {
        const int longEnd = std::min(g.shortBlocks() ? 36 : 576, nonzero);
        for (int sfb = 0; sfb < 22 && line < longEnd; ++sfb) {
            const int pre = sf.preflag ? pretab[sfb] : 0;
            const float factor = quarterPower(gain - shift * ((sfb < 21 ? sf.l[sfb] : 0) + pre));
            const int stop = std::min(bands_->longBands[sfb + 1], longEnd);
            scaleLines(quantised_ + line, xr + line, stop - line, factor);
            line = stop;
        }
        line = longEnd;  // a mixed block's short part starts at line 36
    }
    if (g.shortBlocks()) {
        for (int sfb = g.mixedBlock ? 3 : 0; sfb < 13 && line < nonzero; ++sfb) {
            const int width = bands_->shortBands[sfb + 1] - bands_->shortBands[sfb];
            for (int w = 0; w < 3; ++w) {
                const float factor =
                    quarterPower(gain - 8 * g.subblockGain[w] - shift * (sfb < 12 ? sf.s[sfb][w] : 0));
                scaleLines(quantised_ + line, xr + line, width, factor);
                line += width;
            }
        }
    }
    std::fill(xr + std::min(line, 576), xr + 576, 0.0f);
}

void FrameDecoder::stereo(const MpegAudioHeader& header, const GranuleChannelInfo& right, int& nonzero0,
                          int& nonzero1) {
    const bool midSide = header.modeExtension & 2;
    const bool intensity = header.modeExtension & 1;
    const float* r = spectrum_[1];

    if (intensity) {
        std::fill(std::begin(intensityLine_), std::end(intensityLine_), false);
        const Scalefactors& sf = scalefactors_[1];
        const int intensityScale = right.scalefacCompress & 1;
        auto lastNonzero = [&](int first, int count, int step) {
            int last = -1;
            for (int j = 0; j < count; ++j)
                if (r[first + j * step] != 0.0f) last = j;
            return last;
        };
        if (right.shortBlocks()) {
            // Per window: bands above the window's last non-zero band are
            // intensity coded.
            bool shortPartEmpty = true;
            const int firstSfb = right.mixedBlock ? 3 : 0;
            for (int w = 0; w < 3; ++w) {
                int startSfb = firstSfb;
                for (int sfb = 12; sfb >= firstSfb; --sfb) {
                    const int start = bands_->shortBands[sfb];
                    const int width = bands_->shortBands[sfb + 1] - start;
                    if (lastNonzero(3 * start + w * width, width, 1) >= 0) {
                        startSfb = sfb + 1;
                        shortPartEmpty = false;
                        break;
                    }
                }
                for (int sfb = startSfb; sfb < 13; ++sfb) {
                    const int start = bands_->shortBands[sfb];
                    const int width = bands_->shortBands[sfb + 1] - start;
                    // The last band carries no factor; it takes its neighbour's.
                    const int coded = std::min(sfb, 11);
                    const int position = sf.s[coded][w];
                    const bool illegal = header.mpeg1 ? position == 7 : position == sf.sMax[coded][w];
                    intensityBand(header, position, illegal, intensityScale, 3 * start + w * width, width);
                }
            }
            if (right.mixedBlock && shortPartEmpty) {
                const int longBandsInMixed = header.mpeg1 ? 8 : 6;
                const int last = lastNonzero(0, 36, 1);
                for (int sfb = 0; sfb < longBandsInMixed; ++sfb) {
                    const int start = bands_->longBands[sfb];
                    if (start <= last) continue;
                    const int position = sf.l[sfb];
                    const bool illegal = header.mpeg1 ? position == 7 : position == sf.lMax[sfb];
                    intensityBand(header, position, illegal, intensityScale, start,
                                  bands_->longBands[sfb + 1] - start);
                }
            }
        } else {
            const int last = lastNonzero(0, 576, 1);
            for (int sfb = 0; sfb < 22; ++sfb) {
                const int start = bands_->longBands[sfb];
                if (start <= last) continue;
                const int coded = std::min(sfb, 20);
                const int position = sf.l[coded];
                const bool illegal = header.mpeg1 ? position == 7 : position == sf.lMax[coded];
                intensityBand(header, position, illegal, intensityScale, start,
                              bands_->longBands[sfb + 1] - start);
            }
        }
    }

    if (midSide) {
        float* l = spectrum_[0];
        float* rr = spectrum_[1];
        const float half = static_cast<float>(1 / std::numbers::sqrt2);
        const int limit = std::max(nonzero0, nonzero1);
        for (int i = 0; i < limit; ++i) {
            if (intensity && intensityLine_[i]) continue;
            const float m = l[i], s = rr[i];
            l[i] = (m + s) * half;
            rr[i] = (m - s) * half;
        }
    }
    const int both = intensity ? 576 : std::max(nonzero0, nonzero1);
    nonzero0 = nonzero1 = both;
}

void FrameDecoder::intensityBand(const MpegAudioHeader& header, int position, bool illegal, int intensityScale,
                                 int first, int count) {
    if (illegal) return;  // left to mid/side (or plain stereo)
    float kl, kr;
    if (header.mpeg1) {
        // is_ratio = tan(position * pi / 12): left = x r / (1 + r), right = x / (1 + r).
        const double angle = position * std::numbers::pi / 12;
        const double s = std::sin(angle), c = std::cos(angle);
        kl = static_cast<float>(s / (s + c));
        kr = static_cast<float>(c / (s + c));
    } else {
        const double base = intensityScale ? std::numbers::sqrt2 / 2 : std::pow(2.0, -0.25);
        kl = kr = 1;
        if (position & 1)
            kl = static_cast<float>(std::pow(base, (position + 1) / 2));
        else if (position != 0)
            kr = static_cast<float>(std::pow(base, position / 2));
    }
    float* l = spectrum_[0];
    float* r = spectrum_[1];
    for (int i = first; i < first + count; ++i) {
        const float x = l[i];
        l[i] = x * kl;
        r[i] = x * kr;
        intensityLine_[i] = true;
    }
}

void FrameDecoder::hybrid(const GranuleChannelInfo& g, int ch, int nonzero) {
    float* xr = spectrum_[ch];
    const bool shortBlocks = g.shortBlocks();
    const int longSubbands = shortBlocks ? (g.mixedBlock ? 2 : 0) : 32;

    // Alias reduction between neighbouring long subbands.
    const AliasCoefficients& a = alias();
    const int aliasLimit = std::min(longSubbands, nonzero / 18 + 2);
    for (int sb = 1; sb < aliasLimit; ++sb) {
        // The eight lines below the boundary, nearest first, and the eight
        // above it, worked as two rows so the compiler can keep them in
        // vectors (the same products and sums either way).
        float* above = &xr[18 * sb];
        float below[8], l[8], h[8];
        for (int i = 0; i < 8; ++i) below[i] = above[-1 - i];
        for (int i = 0; i < 8; ++i) {
            l[i] = below[i] * a.cs[i] - above[i] * a.ca[i];
            h[i] = above[i] * a.cs[i] + below[i] * a.ca[i];
        }
        for (int i = 0; i < 8; ++i) above[-1 - i] = l[i], above[i] = h[i];
    }

    // Short blocks: gather each window's lines of every band, window by window.
    float shortLines[3][192];
    if (shortBlocks) {
        for (int sfb = g.mixedBlock ? 3 : 0; sfb < 13; ++sfb) {
            const int start = bands_->shortBands[sfb];
            const int width = bands_->shortBands[sfb + 1] - start;
            for (int w = 0; w < 3; ++w)
                std::memcpy(&shortLines[w][start], &xr[3 * start + w * width], sizeof(float) * static_cast<size_t>(width));
        }
    }

    // Subbands past the last non-zero line (plus the one alias reduction
    // spills into) only release their overlap. Short lines are stored window
    // by window, so their reach is the end of the band holding the last one.
    int reach = nonzero;
    if (shortBlocks && nonzero > 36) {
        int sfb = 0;
        while (sfb < 12 && 3 * bands_->shortBands[sfb + 1] < nonzero) ++sfb;
        reach = 3 * bands_->shortBands[sfb + 1];
    }
    const int activeSubbands = std::min(32, reach / 18 + 2);
    float (*prev)[32] = overlap_[ch];
    int sb = 0;
    if (longSubbands == 32) {
        // Four subbands at a time; the few past the active ones that this
        // takes along hold zeros and come out as silence.
        for (; sb < activeSubbands; sb += 4) {
            float time[36][4];
            imdctLong4(&xr[18 * sb], time, g.blockType);
            for (int i = 0; i < 18; ++i)
                for (int s = 0; s < 4; ++s) {
                    subbandSamples_[i][sb + s] = time[i][s] + prev[i][sb + s];
                    prev[i][sb + s] = time[18 + i][s];
                }
        }
    }
    for (; sb < 32; ++sb) {
        float time[36];
        if (sb >= activeSubbands) {
            std::fill(time, time + 36, 0.0f);
        } else if (sb < longSubbands) {
            imdctLong(&xr[18 * sb], time, g.mixedBlock && shortBlocks ? 0 : g.blockType);
        } else {
            float in[3][6];
            for (int w = 0; w < 3; ++w)
                for (int k = 0; k < 6; ++k) in[w][k] = shortLines[w][6 * sb + k];
            imdctShort(in, time);
        }
        for (int i = 0; i < 18; ++i) {
            subbandSamples_[i][sb] = time[i] + prev[i][sb];
            prev[i][sb] = time[18 + i];
        }
    }
    // Frequency inversion: odd time samples of odd subbands.
    for (int i = 1; i < 18; i += 2)
        for (int odd = 1; odd < 32; odd += 2) subbandSamples_[i][odd] = -subbandSamples_[i][odd];
}

}  // namespace lv::audio::mp3
