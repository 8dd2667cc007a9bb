// Fuzz target: the wav decoder behind the decoder handle.
#include "decoder_fuzz_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lv::fuzz::driveDecoder(lv::audio::DecoderKind::wav, data, size);
    return 0;
}
