// The Win32 window display: DirectDraw's primary surface (windowed, with a
// clipper on the window) when ddraw.dll loads and sets up, else the portable
// back buffer copied to the window with SetDIBitsToDevice.
//
// The direct-surface path writes straight into the screen: lock gives the
// primary surface over the view rectangle in screen coordinates, clipped to
// the monitor; a lost surface is restored once and otherwise the display
// falls back to the back buffer for good.
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "display/back_buffer_display.h"
#include "display/window_display.h"

namespace lv {

namespace {

std::atomic<std::uint64_t> gFramesPresented{0};

// --- back buffer to the window ------------------------------------------------

class DibDisplay : public WindowDisplay {
public:
    explicit DibDisplay(HWND window) : window_(window), buffer_(1, 1, &systemClock()) {
        updateGeometry();
        buffer_.check();
        outputs_ = buffer_.outputs();
        buffer_.onPresent = [this](const BackBufferDisplay& b) { copyToWindow(b); };
    }

    DisplayMode mode() const override { return DisplayMode::BackBuffer; }

    void updateGeometry() override {
        RECT client{};
        GetClientRect(window_, &client);
        const std::int32_t w = client.right - client.left, h = client.bottom - client.top;
        if (w != clientWidth_ || h != clientHeight_) {
            clientWidth_ = w;
            clientHeight_ = h;
            view_ = Rect{0, 0, w, h};
            buffer_.resize(w, h);
        }
    }

    int check() override {
        updateGeometry();
        return buffer_.check();
    }
    bool lock(std::vector<LockedOutput>& outputs) override {
        buffer_.setView(view_);
        return buffer_.lock(outputs);
    }
    void unlockAndPresent() override {
        buffer_.unlockAndPresent();
        ++gFramesPresented;
    }
    void waitForFrame() override { buffer_.waitForFrame(); }
    int blit(const OffscreenSurface& surface, const Rect& source, const Rect& destination) override {
        const int result = buffer_.blit(surface, source, destination);
        copyToWindow(buffer_);
        return result;
    }
    int fillBlack(const Rect& rect) override {
        const int result = buffer_.fillBlack(rect);
        copyToWindow(buffer_);
        return result;
    }

private:
    void copyToWindow(const BackBufferDisplay& b) {
        if (b.bufferWidth() <= 0 || b.bufferHeight() <= 0) return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = b.bufferWidth();
        info.bmiHeader.biHeight = b.bufferHeight();  // positive: bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        HDC dc = GetDC(window_);
        if (dc == nullptr) return;
        // The bottom row is stored first: start at the last of the top-down rows.
        SetDIBitsToDevice(dc, 0, 0, b.bufferWidth(), b.bufferHeight(), 0, 0, 0, b.bufferHeight(),
                          b.bufferRow(b.bufferHeight() - 1), &info, DIB_RGB_COLORS);
        ReleaseDC(window_, dc);
    }

    HWND window_;
    BackBufferDisplay buffer_;
};

// --- DirectDraw -----------------------------------------------------------------

using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

struct DirectDrawLibrary {
    HMODULE module = nullptr;
    DirectDrawCreateFn create = nullptr;

    static const DirectDrawLibrary& get() {
        static const DirectDrawLibrary library = [] {
            DirectDrawLibrary l;
            l.module = LoadLibraryA("ddraw.dll");
            if (l.module != nullptr) {
                l.create = reinterpret_cast<DirectDrawCreateFn>(
                    reinterpret_cast<void*>(GetProcAddress(l.module, "DirectDrawCreate")));
            }
            return l;
        }();
        return library;
    }
};

class DirectDrawDisplay : public WindowDisplay {
public:
    explicit DirectDrawDisplay(HWND window) : window_(window) {}
    ~DirectDrawDisplay() override { release(); }

    bool setUp() {
        const DirectDrawLibrary& library = DirectDrawLibrary::get();
        if (library.create == nullptr) return false;
        if (FAILED(library.create(nullptr, &device_, nullptr))) return false;
        if (FAILED(device_->SetCooperativeLevel(window_, DDSCL_NORMAL))) return false;
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        if (FAILED(device_->CreateSurface(&desc, &primary_, nullptr))) return false;
        DDSURFACEDESC read{};
        read.dwSize = sizeof read;
        if (FAILED(primary_->GetSurfaceDesc(&read))) return false;
        const DDPIXELFORMAT& f = read.ddpfPixelFormat;
        if ((f.dwFlags & DDPF_RGB) == 0) return false;
        DisplayOutput output;
        output.format = PixelFormat::fromMasks(static_cast<int>(f.dwRGBBitCount), f.dwRBitMask, f.dwGBitMask, f.dwBBitMask);
        if (!output.format.supported()) return false;
        output.bitsPerPixel = static_cast<int>(f.dwRGBBitCount);
        output.monitor = Rect{0, 0, static_cast<std::int32_t>(read.dwWidth), static_cast<std::int32_t>(read.dwHeight)};
        DWORD refresh = 0;
        output.refreshHz = SUCCEEDED(device_->GetMonitorFrequency(&refresh)) && refresh > 0 ? static_cast<int>(refresh) : 75;
        outputs_ = {output};
        if (FAILED(device_->CreateClipper(0, &clipper_, nullptr)) || FAILED(clipper_->SetHWnd(0, window_)) ||
            FAILED(primary_->SetClipper(clipper_))) {
            return false;
        }
        updateGeometry();
        return true;
    }

    DisplayMode mode() const override { return DisplayMode::DirectSurface; }

    void updateGeometry() override {
        RECT client{};
        GetClientRect(window_, &client);
        POINT origin{0, 0};
        ClientToScreen(window_, &origin);
        originX_ = origin.x;
        originY_ = origin.y;
        if (client.right != clientWidth_ || client.bottom != clientHeight_) {
            clientWidth_ = client.right;
            clientHeight_ = client.bottom;
            view_ = Rect{0, 0, clientWidth_, clientHeight_};
        }
    }

    int check() override {
        updateGeometry();
        if (primary_ != nullptr && primary_->IsLost() == DDERR_SURFACELOST) return SUCCEEDED(primary_->Restore()) ? 0 : 3;
        return 0;
    }

    bool lock(std::vector<LockedOutput>& outputs) override {
        outputs.clear();
        if (primary_ == nullptr || outputs_.empty()) return false;
        updateGeometry();
        // The view in screen coordinates, clipped to the window and the monitor.
        const Rect inWindow = intersect(view_, Rect{0, 0, clientWidth_, clientHeight_});
        const Rect onScreen = intersect(Rect{inWindow.left + originX_, inWindow.top + originY_, inWindow.width, inWindow.height},
                                        outputs_.front().monitor);
        if (onScreen.empty()) return false;
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        HRESULT result = DDERR_WASSTILLDRAWING;
        for (int attempt = 0; attempt < 50 && result == DDERR_WASSTILLDRAWING; ++attempt) {
            result = primary_->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_SURFACEMEMORYPTR, nullptr);
        }
        if (result == DDERR_SURFACELOST) primary_->Restore();
        if (FAILED(result) || desc.lpSurface == nullptr) return false;
        LockedOutput out;
        out.area = Rect{onScreen.left - originX_, onScreen.top - originY_, onScreen.width, onScreen.height};
        out.pitch = desc.lPitch;
        out.format = &outputs_.front().format;
        out.first = static_cast<std::uint8_t*>(desc.lpSurface) +
                    static_cast<std::ptrdiff_t>(onScreen.top - outputs_.front().monitor.top) * desc.lPitch +
                    static_cast<std::ptrdiff_t>(onScreen.left - outputs_.front().monitor.left) * out.format->bytesPerPixel;
        outputs.push_back(out);
        locked_ = true;
        return true;
    }

    void unlockAndPresent() override {
        unlockPrimary();
        ++gFramesPresented;
    }

    void waitForFrame() override {
        if (device_ != nullptr) device_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    }

    int blit(const OffscreenSurface& surface, const Rect& source, const Rect& destination) override {
        if (source.width != destination.width || source.height != destination.height) return 1;
        return onWholeClient([&](const LockedOutput& out) {
            const Rect target = intersect(intersect(destination, out.area), Rect{destination.left - source.left,
                                                                                destination.top - source.top,
                                                                                surface.width(), surface.height()});
            const int bpp = out.format->bytesPerPixel;
            if (surface.format().bytesPerPixel != bpp) return;
            for (std::int32_t y = target.top; y < target.bottom(); ++y) {
                std::memcpy(out.at(target.left, y),
                            surface.row(y - destination.top + source.top) +
                                static_cast<std::size_t>(target.left - destination.left + source.left) * bpp,
                            static_cast<std::size_t>(target.width) * bpp);
            }
        });
    }

    int fillBlack(const Rect& rect) override {
        return onWholeClient([&](const LockedOutput& out) {
            const Rect target = intersect(rect, out.area);
            for (std::int32_t y = target.top; y < target.bottom(); ++y) {
                std::memset(out.at(target.left, y), 0, static_cast<std::size_t>(target.width) * out.format->bytesPerPixel);
            }
        });
    }

private:
    // Locks the whole client area (whatever the view), lets `paint` write
    // into it and unlocks; 2 when the lock failed.
    template <class Paint>
    int onWholeClient(Paint paint) {
        std::vector<LockedOutput> locked;
        const Rect saved = view_;
        view_ = Rect{0, 0, clientWidth_, clientHeight_};
        const bool gotLock = lock(locked);
        if (gotLock) {
            paint(locked.front());
            unlockPrimary();
        }
        view_ = saved;
        return gotLock ? 0 : 2;
    }

    void unlockPrimary() {
        if (locked_ && primary_ != nullptr) primary_->Unlock(nullptr);
        locked_ = false;
    }

    void release() {
        if (primary_ != nullptr) primary_->Release();
        if (clipper_ != nullptr) clipper_->Release();
        if (device_ != nullptr) device_->Release();
        primary_ = nullptr;
        clipper_ = nullptr;
        device_ = nullptr;
    }

    HWND window_;
    LPDIRECTDRAW device_ = nullptr;
    LPDIRECTDRAWSURFACE primary_ = nullptr;
    LPDIRECTDRAWCLIPPER clipper_ = nullptr;
    std::int32_t originX_ = 0, originY_ = 0;
    bool locked_ = false;
};

}  // namespace

std::unique_ptr<WindowDisplay> createWindowDisplay(void* window, bool forcePortable) {
    HWND hwnd = static_cast<HWND>(window);
    if (!forcePortable) {
        auto direct = std::make_unique<DirectDrawDisplay>(hwnd);
        if (direct->setUp()) return direct;
    }
    return std::make_unique<DibDisplay>(hwnd);
}

std::uint64_t windowFramesPresented() { return gFramesPresented.load(); }

}  // namespace lv
