// The photo browser's windows: the viewer ("vwr") and the thumbnail area
// ("thm"), and the operations that the script's commands and the main loop
// reach them by. Each operation finds its control by the object names
// "viewer" and "thumbArea" and does nothing when it is missing.
//
// The rules (fitting, layout, keys, rolls, adjustments, byte layouts) live in
// src/browse/ and are tested natively; these windows apply them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "browse/file_cache.h"
#include "browse/thumb_list.h"
#include "script/objects.h"

namespace lv {

// --- viewer (viewer_win32.cpp) --------------------------------------------
std::unique_ptr<ObjectInstance> createViewer(HWND parent);
bool startViewerClass();
void stopViewerClass();

void viewerOpen(const std::string& path);  // the viewer's `bitmap` set to the path
void viewerStep(int step);                 // viewNext / viewPrev
void viewerCrop();
// The viewer's picture as save, copy and print take it: as shown, with the
// pending adjustments applied; its path; whether it is an unmodified file on
// disk (only then is a file drop offered). No picture: null.
struct ViewerPictureView {
    const Bitmap* picture = nullptr;
    std::string path;
    bool unmodifiedFile = false;
    HWND window = nullptr;
};
ViewerPictureView viewerPictureForOutput();
// The viewer's save prompt; false when the picture must stay (cancelled or failed save).
bool viewerSavePrompt(HWND owner);

// --- save, copy, print (picture_output_win32.cpp) -------------------------
enum class SaveOutcome { Saved, Cancelled, Failed };
SaveOutcome saveViewerPicture(HWND owner, int quality);
void copyViewerPicture();
void printViewerPicture();

// --- thumbnail area (thumb_area_win32.cpp) ---------------------------------
std::unique_ptr<ObjectInstance> createThumbArea(HWND parent);
bool startThumbAreaClass();
void stopThumbAreaClass();

ThumbList& thumbList();
void readFolder(const std::string& folder);
void findRolls();
void stepRoll(int step);
void relayoutThumbArea();
void redrawTile(int index);
// The whole file: the cache first, else the file (packed files too); null
// when it cannot be read.
FileData readPictureFile(const std::string& path);

}  // namespace lv
