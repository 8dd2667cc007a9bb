#include "codec/jpeg.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "codec/jpeg_codec.h"
#include "codec/simd.h"

namespace lv::codec {

namespace {

FittedSizeScaler fittedSizeScaler = nullptr;

bool isSignature(const std::uint8_t b[4]) { return b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF && b[3] >= 0xC0; }

bool probeHere(ByteStream& stream) {
    std::uint8_t b[4];
    if (stream.read(b, 4) != 4 || !isSignature(b)) return false;
    stream.seek(-4, 1);
    return true;
}

// One decode: the codec handle and the stream's end-of-data flag.
struct DecodeSession {
    explicit DecodeSession(ByteStream& s) : stream(s) {}
    ByteStream& stream;
    bool endOfData = false;
    DecoderSlot decoder;

    ~DecodeSession() { jpegDecoderClose(decoder); }

    bool open() {
        return jpegDecoderOpen(decoder, [this](std::uint8_t* buffer, int count) {
                   const int n = stream.read(buffer, count);
                   if (n < 1) endOfData = true;
                   return n;
               }) == kJpegOk;
    }
    bool configure(const DecoderOptions& options, ImageInfo& info) {
        return jpegDecoderSetOptions(decoder.get(), options) == kJpegOk &&
               jpegDecoderImageInfo(decoder.get(), info) == kJpegOk;
    }
};

// Decodes every strip. `target(y)` names where output row y goes when the
// decoder can write there directly (null: a scratch row); `deliver(y, row)`
// gets each row in Bitmap order (blue, green, red, or grey) unless it was
// decoded in place. Rows of the last strip beyond the picture go to scratch.
template <typename Target, typename Deliver>
bool readStrips(DecodeSession& session, const ImageInfo& info, Target target, Deliver deliver) {
    const bool packed = info.bytesPerPixel == 1 || info.bytesPerPixel == 3;
    std::vector<std::vector<std::uint8_t>> buffers(static_cast<std::size_t>(info.rowsPerStrip),
                                                   std::vector<std::uint8_t>(static_cast<std::size_t>(info.bytesPerRow) + 8));
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(info.rowsPerStrip));
    std::vector<bool> inPlace(rows.size());
    for (int y = 0; y < info.outputHeight;) {
        for (int i = 0; i < info.rowsPerStrip; ++i) {
            std::uint8_t* direct = packed && y + i < info.outputHeight ? target(y + i) : nullptr;
            inPlace[i] = direct != nullptr;
            rows[i] = direct ? direct : buffers[i].data();
        }
        int delivered = 0;
        if (jpegDecoderReadRows(session.decoder.get(), rows.data(), delivered) != kJpegOk || delivered < 1) return false;
        for (int i = 0; i < delivered && y + i < info.outputHeight; ++i) {
            if (inPlace[i]) continue;
            if (!packed)  // 32-bit pixels: the lowest three bytes, in order
                for (int x = 0; x < info.outputWidth; ++x) std::memmove(rows[i] + 3 * x, rows[i] + 4 * x, 3);
            if (!deliver(y + i, rows[i])) return false;
        }
        y += delivered;
    }
    return true;
}

bool readInto(DecodeSession& session, const ImageInfo& info, Bitmap& bitmap) {
    const bool direct = info.bytesPerPixel * info.outputWidth == bitmap.stride;
    return readStrips(
        session, info, [&](int y) { return direct ? bitmap.rows[y] : nullptr; },
        [&](int y, const std::uint8_t* row) {
            std::memcpy(bitmap.rows[y], row, static_cast<std::size_t>(bitmap.stride));
            return true;
        });
}

// Opens the decoder and chooses the reduced size for a wanted box: the
// fitted size in `fitted` when one was asked for. A `forcedScale` above 0
// is used instead of the one the box would choose.
bool startDecode(DecodeSession& session, int wantedWidth, int wantedHeight, ImageInfo& info,
                 std::optional<PictureSize>& fitted, int forcedScale = 0) {
    if (!findJpegStart(session.stream) || !session.open()) return false;
    DecoderOptions options;
    jpegDecoderDefaultOptions(options);
    options.scaleDenominator = 1;
    options.colourMode = 3;
    if (!session.configure(options, info) || info.components > 3) return false;

    jpegDecoderDefaultOptions(options);
    options.scaleDenominator = 1;
    const bool sized = wantedWidth >= 1 && wantedHeight >= 1;
    if (sized) {
        fitted = fitSize({info.sourceWidth, info.sourceHeight}, {wantedWidth, wantedHeight});
        options.scaleDenominator = reducedScaleFor({info.sourceWidth, info.sourceHeight}, *fitted);
        options.wantedWidth = fitted->width;
        options.wantedHeight = fitted->height;
    }
    if (forcedScale > 0) options.scaleDenominator = forcedScale;
    const ProcessorFlags flags = processorFlags();
    options.amdFamily6 = flags.amdFamily6;
    options.intelSse = flags.intelSse;
    options.intelSse2 = flags.intelSse2;
    options.colourMode = flags.amdFamily6 && options.scaleDenominator == 1 ? 0 : 3;
    options.outputFormat = 1;
    options.wantedSizeGiven = sized;
    return session.configure(options, info);
}

// The whole picture as a Bitmap; a fitted size asked for is finished by the
// installed scaler.
BitmapPtr decodeWhole(ByteStream& stream, int wantedWidth, int wantedHeight, int forcedScale) {
    try {
        DecodeSession session{stream};
        ImageInfo info;
        std::optional<PictureSize> fitted;
        if (!startDecode(session, wantedWidth, wantedHeight, info, fitted, forcedScale)) return nullptr;
        // Every row is decoded before the Bitmap is returned.
        BitmapPtr bitmap = createBitmapToFill("jpeg", info.outputWidth, info.outputHeight, info.components < 3 ? 8 : 24);
        if (!bitmap || !readInto(session, info, *bitmap)) return nullptr;
        if (fitted && fittedSizeScaler && (fitted->width != bitmap->width || fitted->height != bitmap->height)) {
            if (BitmapPtr scaled = fittedSizeScaler(*bitmap, *fitted)) return scaled;
        }
        return bitmap;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

bool findJpegStart(ByteStream& stream) {
    if (probeHere(stream)) return true;
    for (const long offset : kJpegProbeOffsets) {
        if (stream.seek(offset, 0) != offset) continue;
        if (probeHere(stream)) return true;
    }
    return false;
}

int reducedScaleFor(PictureSize source, PictureSize fitted) {
    if (fitted.width <= source.width / 8 && fitted.height <= source.height / 8) return 8;
    if (fitted.width <= source.width / 4 && fitted.height <= source.height / 4) return 4;
    return 1;
}

BitmapPtr decodeJpeg(ByteStream& stream, int wantedWidth, int wantedHeight) {
    return decodeWhole(stream, wantedWidth, wantedHeight, 0);
}

BitmapPtr decodeJpegScaled(ByteStream& stream, int scale) {
    if (scale != 1 && scale != 2 && scale != 4 && scale != 8) return nullptr;
    return decodeWhole(stream, 0, 0, scale);
}

bool decodeJpegRows(ByteStream& stream, int wantedWidth, int wantedHeight, JpegRowSink& sink) {
    try {
        DecodeSession session{stream};
        ImageInfo info;
        std::optional<PictureSize> fitted;
        if (!startDecode(session, wantedWidth, wantedHeight, info, fitted)) return false;
        if (!sink.begin(info.outputWidth, info.outputHeight, info.components < 3)) return false;
        return readStrips(
            session, info, [](int) -> std::uint8_t* { return nullptr; },
            [&](int, const std::uint8_t* row) { return sink.row(row); });
    } catch (...) {
        return false;
    }
}

int encodeJpeg(ByteStream& stream, const Bitmap& bitmap, int quality) {
    try {
        const EncoderImage image{bitmap.width, bitmap.height, bitmap.depth == 8 ? 0 : 1};
        EncoderSlot encoder;
        if (jpegEncoderOpen(encoder, [&stream](const std::uint8_t* buffer, int count) { return stream.write(buffer, count); },
                            image) != kJpegOk)
            return -1;
        EncoderParameters parameters;
        jpegEncoderDefaultParameters(encoder.get(), parameters);
        parameters.quality = std::clamp(quality, 0, 99);
        for (int c = 0; c < 3; ++c) parameters.hSampling[c] = parameters.vSampling[c] = 1;
        parameters.progressive = 0;
        parameters.jfifHeader = 1;
        parameters.restartRows = 0;
        StripGeometry geometry;
        if (jpegEncoderSetParameters(encoder.get(), parameters) != kJpegOk ||
            jpegEncoderStripGeometry(encoder.get(), geometry) != kJpegOk)
            return -1;

        // Grey level of each palette entry (the identity for the grey ramp).
        std::uint8_t grey[256];
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& p = bitmap.palette[i];
            grey[i] = static_cast<std::uint8_t>((77 * p.red + 150 * p.green + 29 * p.blue + 128) >> 8);
        }
        std::vector<std::uint8_t> strip(static_cast<std::size_t>(bitmap.width) * geometry.rowsPerStrip * 3);
        std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(geometry.rowsPerStrip));
        for (int y = 0; y < bitmap.height; y += geometry.rowsPerStrip) {
            const int count = std::min(geometry.rowsPerStrip, bitmap.height - y);
            for (int i = 0; i < count; ++i) {
                std::uint8_t* row = strip.data() + static_cast<std::size_t>(i) * geometry.bytesPerRow;
                const std::uint8_t* source = bitmap.rows[y + i];
                if (bitmap.depth == 24)
                    std::memcpy(row, source, static_cast<std::size_t>(geometry.bytesPerRow));
                else
                    for (int x = 0; x < bitmap.width; ++x) row[x] = grey[source[x]];
                rows[i] = row;
            }
            if (jpegEncoderWriteRows(encoder.get(), rows.data(), count) != kJpegOk) return -1;
        }
        if (jpegEncoderClose(encoder) != kJpegOk) return -1;
        return stream.close() ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

BitmapPtr decodeJpeg(Stream& stream, int wantedWidth, int wantedHeight) {
    SharedStream shared(stream);
    return decodeJpeg(shared, wantedWidth, wantedHeight);
}

int encodeJpeg(Stream& stream, const Bitmap& bitmap, int quality) {
    SharedStream shared(stream);
    return encodeJpeg(shared, bitmap, quality);
}

void setFittedSizeScaler(FittedSizeScaler scaler) { fittedSizeScaler = scaler; }

}  // namespace lv::codec
