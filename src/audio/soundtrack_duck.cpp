// Ducking: a cell sound lowers the music to its duck level between a and b.
// The music item's envelope and the dip are both piecewise linear; the
// result takes the lower of the two at every point of either.
#include <algorithm>
#include <set>

#include "audio/soundtrack.h"

namespace lv::audio {
namespace {

constexpr int32_t shortestDip = 50;
constexpr size_t maxEnvelopePoints = 100;

// Linear interpolation between neighbouring points, held flat beyond the
// ends, clamped to 0..100 percent.
int32_t levelAt(const std::vector<EnvelopePoint>& points, int32_t time) {
    if (points.empty()) return 100;
    int32_t level;
    if (time <= points.front().time) {
        level = points.front().level;
    } else if (time >= points.back().time) {
        level = points.back().level;
    } else {
        size_t k = 0;
        while (points[k + 1].time < time) ++k;
        const EnvelopePoint& p = points[k];
        const EnvelopePoint& q = points[k + 1];
        level = q.time == p.time ? q.level
                                 : p.level + static_cast<int32_t>(static_cast<int64_t>(q.level - p.level) *
                                                                   (time - p.time) / (q.time - p.time));
    }
    return std::clamp(level, 0, 100);
}

}  // namespace

std::vector<EnvelopePoint> dipPoints(const Dip& dip, int32_t showVolume) {
    const int32_t span = dip.b - dip.a;
    if (span < shortestDip) return {};
    int32_t down = dip.fadeDown, up = dip.fadeUp;
    if (down + up > span) {
        const int64_t sum = static_cast<int64_t>(down) + up;
        down = std::max(1, static_cast<int32_t>(static_cast<int64_t>(dip.fadeDown) * span / sum));
        up = std::max(1, static_cast<int32_t>(static_cast<int64_t>(dip.fadeUp) * span / sum));
    }
    int32_t low = dip.b - up;
    if (low <= dip.a + down) low = dip.a + down + 1;
    return {{dip.a, showVolume}, {dip.a + down, dip.level}, {low, dip.level}, {dip.b, showVolume}};
}

std::vector<EnvelopePoint> lowerEnvelope(const std::vector<EnvelopePoint>& envelope,
                                         const std::vector<EnvelopePoint>& dip) {
    if (envelope.empty()) return {};
    std::set<int32_t> times;
    for (const EnvelopePoint& p : envelope) times.insert(p.time);
    for (const EnvelopePoint& p : dip)
        if (p.time >= envelope.front().time) times.insert(p.time);
    std::vector<EnvelopePoint> merged;
    for (int32_t t : times) merged.push_back({t, std::min(levelAt(envelope, t), levelAt(dip, t))});
    if (merged.size() > maxEnvelopePoints) merged.erase(merged.begin(), merged.end() - maxEnvelopePoints);
    std::vector<EnvelopePoint> kept;
    for (size_t i = 0; i < merged.size(); ++i) {
        const bool middle = i > 0 && i + 1 < merged.size();
        if (middle && merged[i - 1].level == merged[i].level && merged[i + 1].level == merged[i].level) continue;
        kept.push_back(merged[i]);
    }
    return kept;
}

}  // namespace lv::audio
