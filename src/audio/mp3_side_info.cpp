#include "audio/mp3_side_info.h"

#include <algorithm>

#include "audio/bit_reader.h"

namespace lv::audio::mp3 {

int readMainDataBegin(const MpegAudioHeader& header, const uint8_t* sideInfo) {
    BitReader bits(sideInfo, 2);
    return static_cast<int>(bits.get(header.mpeg1 ? 9 : 8));
}

namespace {

bool parseGranuleChannel(BitReader& bits, bool mpeg1, GranuleChannelInfo& g) {
    g.part23Length = static_cast<int>(bits.get(12));
    g.bigValues = std::min(static_cast<int>(bits.get(9)), 288);
    g.globalGain = static_cast<int>(bits.get(8));
    g.scalefacCompress = static_cast<int>(bits.get(mpeg1 ? 4 : 9));
    g.windowSwitching = bits.getBit();
    if (g.windowSwitching) {
        g.blockType = static_cast<int>(bits.get(2));
        g.mixedBlock = bits.getBit();
        for (int i = 0; i < 2; ++i) g.tableSelect[i] = static_cast<int>(bits.get(5));
        g.tableSelect[2] = 0;
        for (int i = 0; i < 3; ++i) g.subblockGain[i] = static_cast<int>(bits.get(3));
        if (g.blockType == 0) return false;
        // Implicit region counts: region 1 starts at line 36, region 2 is empty.
        g.region0Count = (g.blockType == 2 && !g.mixedBlock) ? 8 : 7;
        g.region1Count = 20 - g.region0Count;
    } else {
        g.blockType = 0;
        g.mixedBlock = false;
        for (int i = 0; i < 3; ++i) g.tableSelect[i] = static_cast<int>(bits.get(5));
        for (int& gain : g.subblockGain) gain = 0;
        g.region0Count = static_cast<int>(bits.get(4));
        g.region1Count = static_cast<int>(bits.get(3));
    }
    g.preflag = mpeg1 ? bits.getBit() : false;  // MPEG-2 derives it from scalefac_compress
    g.scalefacScale = static_cast<int>(bits.get(1));
    g.count1Table = static_cast<int>(bits.get(1));
    return true;
}

}  // namespace

bool parseSideInfo(const MpegAudioHeader& header, const uint8_t* sideInfo, SideInfo& out) {
    BitReader bits(sideInfo, static_cast<size_t>(header.sideInfoLength()));
    const int channels = header.channels();
    out.granules = header.mpeg1 ? 2 : 1;
    if (header.mpeg1) {
        out.mainDataBegin = static_cast<int>(bits.get(9));
        bits.skip(channels == 1 ? 5 : 3);
        for (int ch = 0; ch < channels; ++ch)
            for (bool& flag : out.scfsi[ch]) flag = bits.getBit();
    } else {
        out.mainDataBegin = static_cast<int>(bits.get(8));
        bits.skip(channels == 1 ? 1 : 2);
    }
    for (int gr = 0; gr < out.granules; ++gr)
        for (int ch = 0; ch < channels; ++ch)
            if (!parseGranuleChannel(bits, header.mpeg1, out.granule[gr][ch])) return false;
    return true;
}

}  // namespace lv::audio::mp3
