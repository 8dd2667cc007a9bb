// Fuzz target: the layer12 decoder behind the decoder handle.
#include "decoder_fuzz_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lv::fuzz::driveDecoder(lv::audio::DecoderKind::layer12, data, size);
    return 0;
}
