// JPEG encoder (ITU-T T.81 baseline): one grey component or three YCbCr
// components without chroma subsampling, the example quantization tables of
// T.81 Annex K scaled by a quality of 0 to 99, and the example Huffman tables
// of K.3. Rows arrive in strips (stripGeometry); a strip is one row of 8x8
// blocks.
//
// Every method may throw JpegError or std::bad_alloc; jpeg_codec.h is the
// boundary that turns them into a status.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace lv::codec {

// Returns the number of bytes written; anything but `count` is a failure.
using WriteCallback = std::function<int(const std::uint8_t* buffer, int count)>;

struct EncoderImage {
    int width = 0;
    int height = 0;
    int colour = 0;  // 0: rows of grey bytes; 1: rows of blue, green, red
};

struct EncoderParameters {
    int quality = 75;                // 0 to 99; above 99 is 99
    int hSampling[3] = {1, 1, 1};    // only 1 is supported
    int vSampling[3] = {1, 1, 1};
    int progressive = 0;             // only 0 (sequential) is supported
    int jfifHeader = 1;              // write the JFIF marker
    int restartRows = 0;             // a restart marker every this many block rows; 0 none
};

struct StripGeometry {
    int rowsPerStrip = 0;
    int bytesPerRow = 0;
};

class JpegEncoder {
public:
    JpegEncoder(WriteCallback write, const EncoderImage& image);
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    static EncoderParameters defaultParameters() { return {}; }
    // Allowed until the first writeRows().
    void setParameters(const EncoderParameters& parameters);
    StripGeometry stripGeometry() const;
    // Up to rowsPerStrip rows of bytesPerRow bytes, top row first.
    void writeRows(const std::uint8_t* const* rows, int count);
    // Encodes what is left and ends the file; fails unless every row arrived.
    void close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lv::codec
