// The portable display back end: a 24-bit back buffer in memory (bytes blue,
// green, red; rows bottom-up, each padded to 4 bytes) that every frame is
// drawn into and then handed to the window as a whole.
//
//     BackBufferDisplay display(640, 480);
//     display.onPresent = [&](const BackBufferDisplay& d) { save(d.snapshot()); };
//
// On its own it is the memory display of the tests and the tool: present
// only calls `onPresent`. The Win32 window display derives from it and
// copies the buffer to its window. Frames are paced at 33 ms by the given
// clock; without a clock there is no waiting.
//
// Limits: each side 1 to 65535 and the buffer at most 1 GiB; a refused size
// leaves a 0 x 0 buffer whose lock gives nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "display/display.h"
#include "platform/clock.h"

namespace lv {

class BackBufferDisplay : public Display {
public:
    static constexpr std::uint32_t kFramePeriodMs = 33;

    // One output at `monitor` (the virtual screen), 24 bits, 30 Hz.
    BackBufferDisplay(std::int32_t clientWidth, std::int32_t clientHeight, Clock* pacing = nullptr);

    // Re-reads the client size; the buffer is re-created (black) when it changed.
    void resize(std::int32_t clientWidth, std::int32_t clientHeight);
    int check() override;

    bool lock(std::vector<LockedOutput>& outputs) override;
    void unlockAndPresent() override;
    void waitForFrame() override;
    int blit(const OffscreenSurface& surface, const Rect& source, const Rect& destination) override;
    int fillBlack(const Rect& rect) override;

    std::int32_t bufferWidth() const { return bufferWidth_; }
    std::int32_t bufferHeight() const { return bufferHeight_; }
    std::int32_t rowBytes() const { return rowBytes_; }
    // Top-down row y of the buffer (stored bottom-up).
    const std::uint8_t* bufferRow(std::int32_t y) const;
    // The buffer as engine pixels (0x00RRGGBB), top row first.
    std::vector<std::uint32_t> snapshot() const;
    std::uint64_t presentedFrames() const { return presented_; }

    std::function<void(const BackBufferDisplay&)> onPresent;

protected:
    std::uint8_t* writableRow(std::int32_t y);
    // The back end's copy of the whole buffer to its window.
    virtual void presentBuffer() {}

private:
    void allocate(std::int32_t width, std::int32_t height);

    std::vector<std::uint8_t> buffer_;
    std::int32_t bufferWidth_ = 0, bufferHeight_ = 0, rowBytes_ = 0;
    std::int32_t pendingWidth_ = 0, pendingHeight_ = 0;
    bool locked_ = false;
    Clock* pacing_;
    std::uint32_t lastFrameMs_ = 0;
    bool paced_ = false;
    std::uint64_t presented_ = 0;
};

}  // namespace lv
