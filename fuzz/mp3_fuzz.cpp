// Fuzz target: the layer3 decoder behind the decoder handle.
#include "decoder_fuzz_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lv::fuzz::driveDecoder(lv::audio::DecoderKind::layer3, data, size);
    return 0;
}
