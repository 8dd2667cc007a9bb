// JPEG decoder (ITU-T T.81): baseline and extended sequential Huffman
// coding and progressive Huffman coding, 8-bit samples, one component (grey)
// or three (YCbCr, or RGB when the file says so through an Adobe marker with
// transform 0 or component ids 'R', 'G', 'B'), sampling factors 1 to 4.
// Arithmetic coding, lossless and hierarchical files, 12-bit samples and
// other component counts are refused.
//
// Reduced-size decoding: scale 2, 4 or 8 gives 4x4, 2x2 or 1x1 pixels per
// block, each the mean of its part of the full inverse DCT, computed straight
// from the coefficients. The output is ceil(width / scale) by
// ceil(height / scale). Subsampled chroma keeps larger blocks where that
// reaches the output resolution (at 1/2, 4:2:0 chroma decodes whole 8x8
// blocks); what remains is upsampled by replication.
//
// Limits: each side at most 65535, the image at most kMaxPixels pixels
// (134 megapixels). Sequential files that carry all components in one scan
// are decoded one row of blocks at a time; progressive and multi-scan files
// keep every coefficient (2 bytes per sample of each component, so 3 bytes
// per pixel for 4:2:0, 6 for 4:4:4), which is the largest allocation a header
// can ask for. Files that end early keep what was decoded; the rest is grey.
//
// Every method may throw JpegError or std::bad_alloc; jpeg_codec.h is the
// boundary that turns them into a status.
#pragma once

#include <cstdint>
#include <memory>

#include "codec/jpeg_input.h"

namespace lv::codec {

struct DecoderOptions {
    int scaleDenominator = 1;  // 1, 2, 4 or 8
    int wantedWidth = 0;       // the fitted size the caller will show
    int wantedHeight = 0;
    bool wantedSizeGiven = false;
    // Copied from the processor record; they select faster paths only.
    bool amdFamily6 = false;
    bool intelSse = false;
    bool intelSse2 = false;
    int colourMode = 3;    // 3: 3 bytes per colour pixel; 0: 4 bytes (blue, green, red, 0)
    int outputFormat = 1;  // 1: top row first
    // False forces the careful entropy decoder, which reads one checked
    // symbol at a time; both give the same picture (tests compare them).
    bool fastEntropyDecoding = true;
};

struct ImageInfo {
    int sourceWidth = 0;
    int sourceHeight = 0;
    int outputWidth = 0;
    int outputHeight = 0;
    int components = 0;  // 1 grey, 3 colour
    int rowsPerStrip = 0;
    int bytesPerPixel = 0;
    int bytesPerRow = 0;
};

class JpegDecoder {
public:
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 27;

    // Reads the markers up to the first scan.
    explicit JpegDecoder(ReadCallback read);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Allowed until the first readRows().
    void setOptions(const DecoderOptions& options);
    ImageInfo imageInfo() const;
    // Fills up to rowsPerStrip rows (bytesPerRow bytes each) with the next
    // output rows; returns how many, 0 at the end.
    int readRows(std::uint8_t* const* rows);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lv::codec
