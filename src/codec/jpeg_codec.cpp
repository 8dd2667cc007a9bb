#include "codec/jpeg_codec.h"

#include <exception>
#include <new>

#include "codec/jpeg_error.h"

namespace lv::codec {

namespace {

thread_local const char* lastError = "";

// The one place where the codec's exceptions become a status.
template <class Body>
int guarded(Body&& body) {
    try {
        body();
        lastError = "";
        return kJpegOk;
    } catch (const JpegError& error) {
        lastError = error.reason;
    } catch (const std::bad_alloc&) {
        lastError = "out of memory";
    } catch (...) {
        lastError = "unexpected failure";
    }
    return kJpegFailed;
}

int missing() {
    lastError = "no codec handle";
    return kJpegFailed;
}

}  // namespace

int jpegDecoderOpen(DecoderSlot& slot, ReadCallback read) {
    slot.reset();
    return guarded([&] { slot = std::make_unique<JpegDecoder>(std::move(read)); });
}

int jpegDecoderDefaultOptions(DecoderOptions& options) {
    options = DecoderOptions{};
    return kJpegOk;
}

int jpegDecoderSetOptions(JpegDecoder* decoder, const DecoderOptions& options) {
    if (!decoder) return missing();
    return guarded([&] { decoder->setOptions(options); });
}

int jpegDecoderImageInfo(JpegDecoder* decoder, ImageInfo& info) {
    if (!decoder) return missing();
    return guarded([&] { info = decoder->imageInfo(); });
}

int jpegDecoderReadRows(JpegDecoder* decoder, std::uint8_t* const* rows, int& delivered) {
    delivered = 0;
    if (!decoder) return missing();
    return guarded([&] { delivered = decoder->readRows(rows); });
}

int jpegDecoderClose(DecoderSlot& slot) {
    slot.reset();
    return kJpegOk;
}

int jpegEncoderOpen(EncoderSlot& slot, WriteCallback write, const EncoderImage& image) {
    slot.reset();
    return guarded([&] { slot = std::make_unique<JpegEncoder>(std::move(write), image); });
}

int jpegEncoderDefaultParameters(JpegEncoder* encoder, EncoderParameters& parameters) {
    if (!encoder) return missing();
    parameters = JpegEncoder::defaultParameters();
    return kJpegOk;
}

int jpegEncoderSetParameters(JpegEncoder* encoder, const EncoderParameters& parameters) {
    if (!encoder) return missing();
    return guarded([&] { encoder->setParameters(parameters); });
}

int jpegEncoderStripGeometry(JpegEncoder* encoder, StripGeometry& geometry) {
    if (!encoder) return missing();
    return guarded([&] { geometry = encoder->stripGeometry(); });
}

int jpegEncoderWriteRows(JpegEncoder* encoder, const std::uint8_t* const* rows, int count) {
    if (!encoder) return missing();
    return guarded([&] { encoder->writeRows(rows, count); });
}

int jpegEncoderClose(EncoderSlot& slot) {
    if (!slot) return missing();
    const int status = guarded([&] { slot->close(); });
    slot.reset();
    return status;
}

const char* jpegLastError() { return lastError; }

}  // namespace lv::codec
