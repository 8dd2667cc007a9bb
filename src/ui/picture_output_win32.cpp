// Taking the viewer's picture out: the save dialog and JPEG save, the
// clipboard (device-independent bitmap and file drop) and printing one
// page. Byte layouts and the page fit are src/browse/'s.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

#include "browse/picture_save.h"
#include "browse/picture_transfer.h"
#include "browse/view_geometry.h"
#include "render/bitmap_draw.h"
#include "script/engine.h"
#include "script/script_module.h"
#include "shell/process.h"
#include "ui/browse_win32.h"
#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kFilter[] = "JPEG Files\0*.jpg\0";
constexpr DWORD kFileNameBytes = 260;

// A movable, shareable global block holding the bytes; null on failure.
HGLOBAL globalBlock(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
    if (!memory) return nullptr;
    void* p = GlobalLock(memory);
    if (!p) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    return memory;
}

void handOver(UINT format, HGLOBAL memory) {
    if (memory && !SetClipboardData(format, memory)) GlobalFree(memory);
}

}  // namespace

SaveOutcome saveViewerPicture(HWND owner, int quality) {
    const ViewerPictureView view = viewerPictureForOutput();
    if (!view.picture) return SaveOutcome::Cancelled;
    char fileName[kFileNameBytes] = {};
    const std::string offered = dialogFileName(view.path).substr(0, kFileNameBytes - 1);
    std::memcpy(fileName, offered.data(), offered.size());
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = kFileNameBytes;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&dialog)) return SaveOutcome::Cancelled;
    // The dialog pumps messages: take the picture again, it may have changed.
    const ViewerPictureView now = viewerPictureForOutput();
    if (now.picture && savePictureAsJpeg(*now.picture, fileName, quality)) return SaveOutcome::Saved;
    scriptEngine().runLabel("saveError");
    return SaveOutcome::Failed;
}

void copyViewerPicture() {
    const ViewerPictureView view = viewerPictureForOutput();
    if (!view.picture) return;
    HGLOBAL dib = globalBlock(packedDib(*view.picture));
    if (!dib) return;
    if (!OpenClipboard(view.window)) {
        GlobalFree(dib);
        return;
    }
    EmptyClipboard();
    handOver(CF_DIB, dib);
    // A file drop names the file only while the picture is that file.
    if (view.unmodifiedFile) handOver(CF_HDROP, globalBlock(dropFilesBlock(view.path, 0, 0)));
    CloseClipboard();
}

void printViewerPicture() {
    ViewerPictureView view = viewerPictureForOutput();
    if (!view.picture) return;
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = view.window;
    dialog.Flags = PD_RETURNDC;
    dialog.nFromPage = dialog.nToPage = dialog.nMinPage = dialog.nMaxPage = 1;
    if (!PrintDlgA(&dialog) || !dialog.hDC) return;
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    HDC printer = dialog.hDC;
    DOCINFOA document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = "Lumavine";
    if (StartDocA(printer, &document) > 0) {
        StartPage(printer);
        SetStretchBltMode(printer, COLORONCOLOR);
        view = viewerPictureForOutput();  // the dialog pumped messages
        if (view.picture) {
            const Bitmap& picture = *view.picture;
            const ViewRect r = pageRect({picture.width, picture.height},
                                        {GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)},
                                        GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY));
            const DeviceIndependentBitmap dib = makeDeviceIndependentBitmap(picture);
            StretchDIBits(printer, r.left, r.top, r.width(), r.height(), 0, 0, picture.width, picture.height,
                          dib.bits.data(), reinterpret_cast<const BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS,
                          SRCCOPY);
        }
        EndPage(printer);
        EndDoc(printer);
    }
    DeleteDC(printer);
}

}  // namespace lv
