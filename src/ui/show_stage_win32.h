// The program's show stage on Windows: the one show player, the transition
// registry and the PlaybackStage (show/show_playback.h) that every viewer
// plays on, the 50 ms playback tick timer, the window display that pictures
// change on, and the screen saver's window ("screenSaverClass").
//
//     startTransitionEngine();   // start-up, after the file services
//     startShowStage();          // after the control classes: show 0, the intro
//     playbackStage()->tickPlaying();  // what the tick timer runs
//
// Without a transition registry pictures change without transitions; without
// a sound device the shows play silently; a screen saver plays no music.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "display/window_display.h"
#include "show/show_playback.h"

namespace lv {

// --- the stage (show_stage_win32.cpp) ---------------------------------------
bool startTransitionEngine();
void stopTransitionEngine();
// The show player's set-up (show 0's settings, then the intro) and, unless
// the program runs as a screen saver, the show's music.
bool startShowStage();
void stopShowStage();
// Null before startShowStage and after stopShowStage: viewers made then do
// not play shows.
PlaybackStage* playbackStage();

// The 50 ms playback tick; it runs PlaybackStage::tickPlaying.
void startPlaybackTick();
void stopPlaybackTick();

// The display of a drawing window, for show pictures; it counts the frames
// it presents (traced with each picture change).
std::unique_ptr<Display> makeShowDisplay(HWND window);
// Frames presented by every show display made so far.
std::uint64_t showFramesPresented();

// --- the screen saver (screen_saver_win32.cpp) ------------------------------
// In preview mode with a real preview window: registers "screenSaverClass"
// and creates its child covering the preview window, which becomes the
// program's preview window. Posts the quit message when that fails.
void startScreenSaverWindow();
void stopScreenSaverWindow();
// The window that show pictures are drawn in: the preview child when there
// is one, else the viewer's own window.
HWND drawingWindow(HWND viewer);
// Ends a screen saver from a handler of the viewer: destroys the playing
// viewer and posts the quit message. The caller must not touch the viewer's
// record afterwards: its playback went with its window.
void endScreenSaver(HWND viewer);

// --- the viewer's side (viewer_win32.cpp) ------------------------------------
// The screen-saver child's WM_PAINT: the playing viewer's last transition
// frame while one runs, else its current picture in its picture rectangle.
void paintPlayingViewer(HWND window);
// The window of the viewer that plays shows, null when none plays.
HWND playingViewerWindow();

}  // namespace lv
