// No sound device outside Windows: playback is silent.
#include "audio/sound_device.h"

namespace lv::audio {

SoundDeviceHandle acquirePlatformSoundDevice(void*) { return nullptr; }

}  // namespace lv::audio
