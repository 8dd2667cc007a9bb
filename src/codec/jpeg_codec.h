// The codec's entry points. Each reports kJpegOk (1035) on success and any
// other value on failure; no exception ever leaves them. Handles are owned
// by the caller's slot; close releases them.
//
//   decoder: open -> defaultOptions -> setOptions -> imageInfo -> readRows... -> close
//   encoder: open -> defaultParameters -> setParameters -> stripGeometry -> writeRows... -> close
//
// jpegLastError() gives the reason of the last failure on this thread.
#pragma once

#include <cstdint>
#include <memory>

#include "codec/jpeg_decoder.h"
#include "codec/jpeg_encoder.h"

namespace lv::codec {

inline constexpr int kJpegOk = 1035;
inline constexpr int kJpegFailed = 1036;

using DecoderSlot = std::unique_ptr<JpegDecoder>;
using EncoderSlot = std::unique_ptr<JpegEncoder>;

int jpegDecoderOpen(DecoderSlot& slot, ReadCallback read);
int jpegDecoderDefaultOptions(DecoderOptions& options);
int jpegDecoderSetOptions(JpegDecoder* decoder, const DecoderOptions& options);
int jpegDecoderImageInfo(JpegDecoder* decoder, ImageInfo& info);
// Fills the next strip; `delivered` gets the number of rows (0 at the end).
int jpegDecoderReadRows(JpegDecoder* decoder, std::uint8_t* const* rows, int& delivered);
int jpegDecoderClose(DecoderSlot& slot);

int jpegEncoderOpen(EncoderSlot& slot, WriteCallback write, const EncoderImage& image);
int jpegEncoderDefaultParameters(JpegEncoder* encoder, EncoderParameters& parameters);
int jpegEncoderSetParameters(JpegEncoder* encoder, const EncoderParameters& parameters);
int jpegEncoderStripGeometry(JpegEncoder* encoder, StripGeometry& geometry);
int jpegEncoderWriteRows(JpegEncoder* encoder, const std::uint8_t* const* rows, int count);
// Finishes the file and releases the encoder; on failure it is released too.
int jpegEncoderClose(EncoderSlot& slot);

const char* jpegLastError();

}  // namespace lv::codec
