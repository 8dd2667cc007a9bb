// lumavine-tool menu: a show menu page as the player shows it (800 x 600), the
// choice a click on it makes, and menu-make, which writes a "menudef" file
// from JSON (docs/shows.md).
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "picture_file.h"
#include "shell/file_writer.h"
#include "shell/json.h"
#include "show/menu_json.h"
#include "show/menu_page.h"
#include "show/show_file.h"
#include "tool_args.h"
#include "tool_command.h"

namespace {

namespace fs = std::filesystem;

bool parseInt(const char* text, int& value) {
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

// What the player knows of the set from show 0: the number of shows and the
// menu brightness.
struct SetInfo {
    std::unique_ptr<lv::Show> first;
    int shows = 0;
    int brightness = 0;
};

SetInfo readSet(const std::string& folder) {
    SetInfo set;
    set.first = lv::loadShow(folder, 0);
    if (set.first) {
        set.shows = std::clamp(set.first->furtherShows, 0, INT_MAX - 1) + 1;
        set.brightness = set.first->menuBrightness;
    }
    return set;
}

int render(const std::string& folder, int page, const char* outText) {
    std::error_code ec;
    const std::string out = fs::absolute(outText, ec).string();
    // The background and the cell pictures are named as the player opens them, from the set's folder.
    fs::current_path(folder, ec);
    if (ec) {
        std::fprintf(stderr, "menu: cannot enter %s\n", folder.c_str());
        return 1;
    }
    const SetInfo set = readSet(folder);
    lv::MenuPageRequest request;
    request.current = set.first.get();
    request.showCount = set.shows;
    request.page = page;
    request.menuBrightness = set.brightness;
    const lv::BitmapPtr picture = lv::MenuRenderer(folder).render(request);
    if (!picture) {
        std::fprintf(stderr, "menu: no menu in %s (missing or refused menudef or background)\n", folder.c_str());
        return 1;
    }
    std::string error;
    if (!lv::tool::savePicture(*picture, out, error)) {
        std::fprintf(stderr, "menu: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int hit(const std::string& folder, int page, int x, int y) {
    const auto menu = lv::loadMenuDefinition(folder, lv::kMenuWidth, lv::kMenuHeight);
    if (!menu) {
        std::fprintf(stderr, "menu: no menu in %s\n", folder.c_str());
        return 1;
    }
    const SetInfo set = readSet(folder);
    const lv::MenuHit h = lv::hitTestMenu(*menu, set.shows, page, x, y);
    std::printf("%d\t%d %d %d %d\n", h.choice, h.rect.left, h.rect.top, h.rect.right, h.rect.bottom);
    return 0;
}

int runMenu(lv::tool::Args args) {
    if (args.size() < 3) return 2;
    const std::string folder = lv::tool::programFolderOf(args[0]);
    int page = 0, x = 0, y = 0;
    if (std::strcmp(args[1], "--render") == 0 && args.size() == 4 && parseInt(args[2], page))
        return render(folder, page, args[3]);
    if (std::strcmp(args[1], "--hit") == 0 && args.size() == 5 && parseInt(args[2], page) &&
        parseInt(args[3], x) && parseInt(args[4], y))
        return hit(folder, page, x, y);
    return 2;
}

int runMenuMake(lv::tool::Args args) {
    if (args.size() != 2) return 2;
    std::string error;
    const auto text = lv::tool::readAuthorFile(args[0], error);
    if (!text) {
        std::fprintf(stderr, "menu-make: %s\n", error.c_str());
        return 1;
    }
    const auto json = lv::parseJson(*text, error);
    const auto menu = json ? lv::menuFromJson(*json, error) : std::nullopt;
    if (!menu) {
        std::fprintf(stderr, "menu-make: %s: %s\n", args[0], error.c_str());
        return 1;
    }
    if (!lv::writeWholeFile(args[1], lv::encodeMenuDefinition(*menu), error)) {
        std::fprintf(stderr, "menu-make: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

const lv::tool::ToolCommand menuCommand{"menu", "DIR --render PAGE OUT.png | DIR --hit PAGE X Y",
                                        "draw a show menu page (800x600) to PNG, or print the choice at a point",
                                        runMenu};
const lv::tool::ToolCommand menuMakeCommand{"menu-make", "MENU.json OUT_FILE",
                                            "write a show menu definition (DIR/menudef) from JSON", runMenuMake};

}  // namespace
