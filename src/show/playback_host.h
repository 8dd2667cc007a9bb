// What show playback needs from the viewer window that it plays in: the
// drawing window's size, "Show a picture", the picture and path the viewer
// holds, its timers, and the few system calls (beep, quit, save prompt).
// The Win32 viewer implements it; native tests and the headless bench
// implement it with a fake clock and a BackBufferDisplay.
//
//     class ViewerHost final : public PlaybackHost { ... };   // ui/viewer_win32.cpp
//     ShowPlayback playback(stage, host);
//
// Every call comes from the user-interface thread, inside one of the
// ShowPlayback entry points; none of them may call back into ShowPlayback
// (the tick's re-entrancy counter turns a nested tick away, nothing else).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "codec/fit.h"
#include "render/bitmap.h"

namespace lv {

class Display;

class PlaybackHost {
public:
    virtual ~PlaybackHost() = default;

    // The millisecond tick count (GetTickCount); wraps like it.
    virtual std::uint32_t now() = 0;

    // Client size of the drawing window: the screen-saver preview child when
    // there is one, else the viewer's own window.
    virtual PictureSize drawingSize() = 0;

    // The viewer's "Show a picture" with the new Bitmap and the name that
    // becomes its path. While playing (ShowPlayback::active() non-zero) the
    // viewer keeps its base picture, so unsaved edits survive the show, and
    // fits the picture into the drawing window.
    virtual void showPicture(BitmapPtr picture, const std::string& name) = 0;

    // Whether the viewer has a base picture (playback starts only with one).
    virtual bool hasBasePicture() = 0;
    // The size of the viewer's current picture (0 x 0 without one).
    virtual PictureSize currentPictureSize() = 0;
    // The viewer's path: the file shown now, or a name such as "menu".
    virtual std::string picturePath() = 0;
    // Sets the viewer's `bitmap` to the path, so that file is shown again
    // (stop of playback restores the picture shown before it began). It must
    // re-read the file even when the path equals the viewer's path.
    virtual void restorePicture(const std::string& path) = 0;

    // Refit the zoom to the client area as on a resize (after the menu).
    virtual void refitZoom() = 0;
    // UpdateWindow of the drawing window: paint what is pending now.
    virtual void updateWindow() = 0;
    // MessageBeep(-1).
    virtual void beep() = 0;
    // PostQuitMessage: the program ends (Escape with no show playing).
    virtual void postQuit() = 0;
    // The viewer's save prompt for unsaved edits: true when there were none,
    // or they were saved or given up; false when the user cancelled.
    virtual bool savePrompt() = 0;

    // The display of the drawing window. Asked once, when the first
    // transition is to run; the playback keeps it until it is destroyed.
    // Null when none can be made (pictures then change without transitions).
    virtual std::unique_ptr<Display> makeDisplay() = 0;

    // Start and kill the 50 ms playback tick timer; its callback calls
    // PlaybackStage::tickPlaying().
    virtual void startTick() = 0;
    virtual void stopTick() = 0;
};

}  // namespace lv
