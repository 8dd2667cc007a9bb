#include "codec/jpeg.h"

#include <algorithm>
#include <cstring>
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

// Rows of the last strip may lie beyond the Bitmap: they go to scratch rows.
bool readInto(DecodeSession& session, const ImageInfo& info, Bitmap& bitmap) {
    const bool direct = info.bytesPerPixel * info.outputWidth == bitmap.stride;
    std::vector<std::vector<std::uint8_t>> buffers(static_cast<std::size_t>(info.rowsPerStrip),
                                                   std::vector<std::uint8_t>(static_cast<std::size_t>(info.bytesPerRow) + 8));
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(info.rowsPerStrip));
    for (int y = 0; y < info.outputHeight;) {
        for (int i = 0; i < info.rowsPerStrip; ++i)
            rows[i] = direct && y + i < info.outputHeight ? bitmap.rows[y + i] : buffers[i].data();
        int delivered = 0;
        if (jpegDecoderReadRows(session.decoder.get(), rows.data(), delivered) != kJpegOk || delivered < 1) return false;
        for (int i = 0; i < delivered && y + i < info.outputHeight; ++i) {
            if (direct) continue;
            // 32-bit pixels: the lowest three bytes, in order.
            std::uint8_t* target = bitmap.rows[y + i];
            for (int x = 0; x < info.outputWidth; ++x) std::memcpy(target + 3 * x, rows[i] + 4 * x, 3);
        }
        y += delivered;
    }
    return true;
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
    try {
        if (!findJpegStart(stream)) return nullptr;
        DecodeSession session{stream};
        if (!session.open()) return nullptr;

        DecoderOptions options;
        ImageInfo info;
        jpegDecoderDefaultOptions(options);
        options.scaleDenominator = 1;
        options.colourMode = 3;
        if (!session.configure(options, info) || info.components > 3) return nullptr;

        jpegDecoderDefaultOptions(options);
        options.scaleDenominator = 1;
        const bool sized = wantedWidth >= 1 && wantedHeight >= 1;
        PictureSize fitted{};
        if (sized) {
            fitted = fitSize({info.sourceWidth, info.sourceHeight}, {wantedWidth, wantedHeight});
            options.scaleDenominator = reducedScaleFor({info.sourceWidth, info.sourceHeight}, fitted);
            options.wantedWidth = fitted.width;
            options.wantedHeight = fitted.height;
        }
        const ProcessorFlags flags = processorFlags();
        options.amdFamily6 = flags.amdFamily6;
        options.intelSse = flags.intelSse;
        options.intelSse2 = flags.intelSse2;
        options.colourMode = flags.amdFamily6 && options.scaleDenominator == 1 ? 0 : 3;
        options.outputFormat = 1;
        options.wantedSizeGiven = sized;
        if (!session.configure(options, info)) return nullptr;

        BitmapPtr bitmap = createBitmap("jpeg", info.outputWidth, info.outputHeight, info.components < 3 ? 8 : 24);
        if (!bitmap || !readInto(session, info, *bitmap)) return nullptr;
        if (sized && fittedSizeScaler && (fitted.width != bitmap->width || fitted.height != bitmap->height)) {
            if (BitmapPtr scaled = fittedSizeScaler(*bitmap, fitted)) return scaled;
        }
        return bitmap;
    } catch (...) {
        return nullptr;
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
