// Fuzz target: decoding arbitrary bytes, at full size, at 1/8 and at 1/2 (the
// viewer's), must never crash, hang or leak; refusing is fine.
#include <cstddef>
#include <cstdint>
#include <span>

#include "codec/byte_stream.h"
#include "codec/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    {
        lv::codec::MemoryStream stream(bytes);
        lv::codec::decodeJpeg(stream, 0, 0);
    }
    {
        lv::codec::MemoryStream stream(bytes);
        lv::codec::decodeJpeg(stream, 8, 8);
    }
    {
        lv::codec::MemoryStream stream(bytes);
        lv::codec::decodeJpegScaled(stream, 2);
    }
    return 0;
}
