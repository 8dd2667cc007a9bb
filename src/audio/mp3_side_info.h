// Layer III side information (ISO/IEC 11172-3 2.4.1.7; 13818-3 for the
// single granule of the low sampling frequencies).
#pragma once

#include <cstdint>

#include "audio/mpeg_audio_header.h"

namespace lv::audio::mp3 {

struct GranuleChannelInfo {
    int part23Length = 0;
    int bigValues = 0;
    int globalGain = 0;
    int scalefacCompress = 0;
    bool windowSwitching = false;
    int blockType = 0;  // 0 normal, 1 start, 2 short, 3 stop
    bool mixedBlock = false;
    int tableSelect[3] = {};
    int subblockGain[3] = {};
    int region0Count = 0;
    int region1Count = 0;
    bool preflag = false;
    int scalefacScale = 0;
    int count1Table = 0;

    bool shortBlocks() const { return windowSwitching && blockType == 2; }
};

struct SideInfo {
    int mainDataBegin = 0;
    bool scfsi[2][4] = {};
    int granules = 2;  // 1 for MPEG-2
    GranuleChannelInfo granule[2][2];
};

// Just main_data_begin: 9 bits for MPEG-1, 8 for MPEG-2.
int readMainDataBegin(const MpegAudioHeader& header, const uint8_t* sideInfo);

// False for side information the standard forbids (window switching with
// block type 0). big_values above 288 are clamped to 288.
bool parseSideInfo(const MpegAudioHeader& header, const uint8_t* sideInfo, SideInfo& out);

}  // namespace lv::audio::mp3
