// DirectSound, loaded at run time from "DSOUND.DLL". One device is shared
// by every sound output (reference-counted through the handle): priority
// cooperative level where granted, a primary buffer, the speaker
// configuration set to quad while it lives and restored after. Buffers are
// asked for as WAVEFORMATEXTENSIBLE and, when refused, once more as plain
// stereo PCM. Any failure on the way means "no sound".
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>

#include <cstring>
#include <mutex>

#include "audio/sound_device.h"

namespace lv::audio {
namespace {

using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

// KSDATAFORMAT_SUBTYPE_PCM: 00000001-0000-0010-8000-00AA00389B71.
constexpr GUID subtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr DWORD secondaryFlags = 0x181E0;  // GETCURRENTPOSITION2 | GLOBALFOCUS | CTRLPOSITIONNOTIFY | CTRLVOLUME | CTRLPAN | CTRLFREQUENCY
constexpr DWORD quadSpeakers = 3;

WAVEFORMATEXTENSIBLE extensible(const PcmFormat& f, DWORD mask) {
    WAVEFORMATEXTENSIBLE w{};
    w.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    w.Format.nChannels = static_cast<WORD>(f.channels);
    w.Format.nSamplesPerSec = f.rate;
    w.Format.wBitsPerSample = static_cast<WORD>(f.bits);
    w.Format.nBlockAlign = static_cast<WORD>(f.bits / 8 * f.channels);
    w.Format.nAvgBytesPerSec = w.Format.nBlockAlign * f.rate;
    w.Format.cbSize = 22;
    w.Samples.wValidBitsPerSample = static_cast<WORD>(f.bits);
    w.dwChannelMask = f.channels == 2 ? 3 : f.channels == 4 ? 0x33 : f.channels == 5 ? 0x37 : mask;
    w.SubFormat = subtypePcm;
    return w;
}

WAVEFORMATEX plainStereo(const PcmFormat& f) {
    WAVEFORMATEX w{};
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = 2;
    w.nSamplesPerSec = f.rate;
    w.wBitsPerSample = static_cast<WORD>(f.bits);
    w.nBlockAlign = static_cast<WORD>(f.bits / 8 * 2);
    w.nAvgBytesPerSec = w.nBlockAlign * f.rate;
    return w;
}

class DirectSoundBuffer final : public SoundBuffer {
public:
    explicit DirectSoundBuffer(IDirectSoundBuffer* buffer) : buffer_(buffer) {}
    ~DirectSoundBuffer() override {
        buffer_->Stop();
        buffer_->Release();
    }
    int32_t playCursor(uint32_t& cursor) override {
        DWORD play = 0, write = 0;
        const HRESULT hr = buffer_->GetCurrentPosition(&play, &write);
        if (FAILED(hr)) return static_cast<int32_t>(hr);
        cursor = play;
        return 0;
    }
    int32_t write(uint32_t offset, const uint8_t* data, uint32_t bytes) override {
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        const HRESULT hr = buffer_->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
        if (FAILED(hr)) return static_cast<int32_t>(hr);
        const DWORD a = firstBytes < bytes ? firstBytes : bytes;
        std::memcpy(first, data, a);
        if (second && bytes > a) std::memcpy(second, data + a, bytes - a < secondBytes ? bytes - a : secondBytes);
        const HRESULT unlocked = buffer_->Unlock(first, firstBytes, second, secondBytes);
        return FAILED(unlocked) ? static_cast<int32_t>(unlocked) : 0;
    }
    int32_t restore() override { return static_cast<int32_t>(buffer_->Restore()); }
    void play() override { buffer_->Play(0, 0, DSBPLAY_LOOPING); }
    void stop() override { buffer_->Stop(); }
    void setFrequency(uint32_t hz) override { buffer_->SetFrequency(hz); }
    void setAttenuation(int32_t hundredthsDb) override { buffer_->SetVolume(hundredthsDb); }
    int32_t attenuation() override {
        LONG v = 0;
        buffer_->GetVolume(&v);
        return v;
    }
    void setPlayCursor(uint32_t offset) override { buffer_->SetCurrentPosition(offset); }

private:
    IDirectSoundBuffer* buffer_;
};

class DirectSoundDevice final : public SoundDevice {
public:
    explicit DirectSoundDevice(HWND window) {
        library_ = LoadLibraryA("DSOUND.DLL");
        if (!library_) return;
        auto create = reinterpret_cast<DirectSoundCreateFn>(reinterpret_cast<void*>(GetProcAddress(library_, "DirectSoundCreate")));
        if (!create || FAILED(create(nullptr, &sound_, nullptr))) {
            sound_ = nullptr;
            return;
        }
        priority_ = SUCCEEDED(sound_->SetCooperativeLevel(window ? window : GetDesktopWindow(), DSSCL_PRIORITY));
        if (!priority_) sound_->SetCooperativeLevel(window ? window : GetDesktopWindow(), DSSCL_NORMAL);
        if (priority_) {
            DSBUFFERDESC d{};
            d.dwSize = sizeof d;
            d.dwFlags = DSBCAPS_PRIMARYBUFFER;
            if (FAILED(sound_->CreateSoundBuffer(&d, &primary_, nullptr))) primary_ = nullptr;
        }
        if (SUCCEEDED(sound_->GetSpeakerConfig(&savedSpeakers_))) {
            speakersSaved_ = true;
            sound_->SetSpeakerConfig(quadSpeakers);
        }
    }

    ~DirectSoundDevice() override {
        if (sound_ && speakersSaved_) sound_->SetSpeakerConfig(savedSpeakers_);
        if (primary_) primary_->Release();
        if (sound_) sound_->Release();
        if (library_) FreeLibrary(library_);
    }

    bool usable() const { return sound_ != nullptr; }

    bool setPrimaryFormat(const PcmFormat& f) override {
        if (!sound_ || !priority_ || !primary_) return false;
        channels_ = f.channels;
        WAVEFORMATEXTENSIBLE w = extensible(f, 0);
        if (FAILED(primary_->SetFormat(&w.Format))) {
            WAVEFORMATEX plain = plainStereo(f);
            channels_ = 2;
            if (FAILED(primary_->SetFormat(&plain))) return false;
        }
        return true;
    }

    std::unique_ptr<SoundBuffer> createBuffer(const PcmFormat& f, uint32_t bytes, uint32_t& channelsUsed) override {
        if (!sound_) return nullptr;
        WAVEFORMATEXTENSIBLE w = extensible(f, 0);
        DSBUFFERDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = secondaryFlags;
        d.dwBufferBytes = bytes;
        d.lpwfxFormat = &w.Format;
        IDirectSoundBuffer* buffer = nullptr;
        channelsUsed = f.channels;
        if (FAILED(sound_->CreateSoundBuffer(&d, &buffer, nullptr))) {
            WAVEFORMATEX plain = plainStereo(f);
            d.lpwfxFormat = &plain;
            d.dwBufferBytes = f.rate * plain.nBlockAlign;
            channelsUsed = 2;
            if (FAILED(sound_->CreateSoundBuffer(&d, &buffer, nullptr))) return nullptr;
        }
        return std::make_unique<DirectSoundBuffer>(buffer);
    }

    uint32_t channels() const override { return channels_; }

private:
    HMODULE library_ = nullptr;
    IDirectSound* sound_ = nullptr;
    IDirectSoundBuffer* primary_ = nullptr;
    bool priority_ = false;
    bool speakersSaved_ = false;
    DWORD savedSpeakers_ = 0;
    uint32_t channels_ = 2;
};

std::mutex deviceMutex;
std::weak_ptr<DirectSoundDevice> sharedDevice;

}  // namespace

SoundDeviceHandle acquirePlatformSoundDevice(void* window) {
    std::lock_guard lock(deviceMutex);
    if (auto existing = sharedDevice.lock()) return existing;
    auto device = std::make_shared<DirectSoundDevice>(static_cast<HWND>(window));
    if (!device->usable()) return nullptr;
    sharedDevice = device;
    return device;
}

}  // namespace lv::audio
