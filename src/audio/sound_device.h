// The sound device behind the sound output: a shared device that makes
// looping PCM buffers. DirectSound on Windows (loaded at run time from
// "DSOUND.DLL"); elsewhere there is no device and playback is silent. Tests
// put a recording device in its place.
//
//     SoundDeviceHandle device = acquirePlatformSoundDevice(window);
//     auto buffer = device ? device->createBuffer({2, 44100, 16}, 176400) : nullptr;
//
// The platform device is shared by every output: acquire hands out the one
// that exists, and the last release restores the speaker configuration and
// frees it. Buffer operations answer 0 on success, else an error code;
// soundBufferLost asks the caller to restore the buffer and try again.
#pragma once

#include <cstdint>
#include <memory>

namespace lv::audio {

inline constexpr int32_t soundBufferLost = -2005401450;  // DSERR_BUFFERLOST
inline constexpr int32_t soundFailed = -1;

struct PcmFormat {
    uint32_t channels = 2;
    uint32_t rate = 44100;
    uint32_t bits = 16;
};

class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    virtual int32_t playCursor(uint32_t& cursor) = 0;
    // Copies bytes into the buffer at offset, wrapping at its end.
    virtual int32_t write(uint32_t offset, const uint8_t* data, uint32_t bytes) = 0;
    virtual int32_t restore() = 0;
    virtual void play() = 0;  // looping
    virtual void stop() = 0;
    virtual void setFrequency(uint32_t hz) = 0;
    virtual void setAttenuation(int32_t hundredthsDb) = 0;
    virtual int32_t attenuation() = 0;
    virtual void setPlayCursor(uint32_t offset) = 0;
};

class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // A looping buffer of `bytes`; the device may fall back to plain stereo
    // PCM (then channelsUsed is 2). Null when refused.
    virtual std::unique_ptr<SoundBuffer> createBuffer(const PcmFormat& format, uint32_t bytes, uint32_t& channelsUsed) = 0;
    // False when the primary format cannot be set (ignored at open).
    virtual bool setPrimaryFormat(const PcmFormat& format) = 0;
    virtual uint32_t channels() const = 0;
};

using SoundDeviceHandle = std::shared_ptr<SoundDevice>;

// Null when the platform has no sound device (or DirectSound refuses).
SoundDeviceHandle acquirePlatformSoundDevice(void* window);

}  // namespace lv::audio
