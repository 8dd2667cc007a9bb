// Pictures in and out: JPEG streams to Bitmaps and back, through the codec's
// entry points (jpeg_codec.h).
//
// decodeJpeg() finds the start of the JPEG data (findJpegStart), decodes it
// into a Bitmap named "jpeg" (8-bit grey for one component, 24-bit otherwise)
// and, when a wanted size is given, decodes at 1/8 or 1/4 of the size if the
// picture fitted into the wanted box (fitSize) is that small; it never
// chooses 1/2 (decodeJpegScaled asks for a scale outright). The result is
// the reduced decode, ceil(side / scale); when a scaler is installed
// (setFittedSizeScaler) it is then scaled to the fitted size.
//
// encodeJpeg() writes a Bitmap as a baseline JPEG file at quality 0 to 99
// (above 99 is 99) without chroma subsampling; 8-bit Bitmaps are written as
// grey through their palette. On success it closes the stream; on failure the
// caller closes (or discards) it.
#pragma once

#include "codec/byte_stream.h"
#include "codec/fit.h"
#include "render/bitmap.h"

namespace lv::codec {

// Probes the stream for FF D8 FF xx (xx at least C0): first at the current
// position, then at these offsets from the start. On success the stream is
// at the signature.
inline constexpr long kJpegProbeOffsets[] = {54, 128, 158, 162, 666, 668, 669, 670, 671,
                                             672, 679, 724, 726, 854, 2780, 4294};
bool findJpegStart(ByteStream& stream);

// 8, 4 or 1: the reduction whose size the fitted picture does not exceed.
int reducedScaleFor(PictureSize source, PictureSize fitted);

// Wanted width or height below 1: full size.
BitmapPtr decodeJpeg(ByteStream& stream, int wantedWidth, int wantedHeight);

// The picture at 1/scale of each side (scale 1, 2, 4 or 8; the size is
// ceil(side / scale)), whatever its size; no fitted-size scaler applies.
// The viewer opens a large picture at 1/2 when it is shown at half its size
// or less. Null for another scale or data that does not decode.
BitmapPtr decodeJpegScaled(ByteStream& stream, int scale);

// The same decode delivered row by row, top first, with no whole picture
// in memory: begin() once the output size is known, then row() for each row
// in Bitmap order (blue, green, red; one byte for grey). Either returning
// false stops the decode. The reduced size is not scaled further (no fitted
// size scaler is applied). False when the stream is not a decodable JPEG.
class JpegRowSink {
public:
    virtual ~JpegRowSink() = default;
    virtual bool begin(int width, int height, bool grey) = 0;
    virtual bool row(const std::uint8_t* pixels) = 0;
};
bool decodeJpegRows(ByteStream& stream, int wantedWidth, int wantedHeight, JpegRowSink& sink);

int encodeJpeg(ByteStream& stream, const Bitmap& bitmap, int quality);

// The same on a file-service stream (a file opened with
// openWithPackedFiles, packed or on disk). On success encodeJpeg has flushed
// the stream; closing it is the caller's (streams close by being released).
BitmapPtr decodeJpeg(Stream& stream, int wantedWidth, int wantedHeight);
int encodeJpeg(Stream& stream, const Bitmap& bitmap, int quality);

// The seam where the image scaler finishes a reduced-size decode: given the
// decoded Bitmap and the fitted size, it returns the scaled Bitmap (or null to
// keep the decoded one). None is installed by default.
using FittedSizeScaler = BitmapPtr (*)(const Bitmap& decoded, PictureSize fitted);
void setFittedSizeScaler(FittedSizeScaler scaler);

}  // namespace lv::codec
