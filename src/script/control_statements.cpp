#include "script/control_statements.h"

#include <array>
#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/host.h"
#include "script/engine.h"
#include "script/keywords.h"
#include "script/property_record.h"
#include "script/stand_in_controls.h"
#include "script/values.h"
#include "shell/process.h"

namespace lv {

namespace {

constexpr std::string_view kNoHome = " -nohome";
constexpr unsigned kStartedAbove = 31;

std::intptr_t windowOf(ObjectRegistry& objects, const std::optional<std::string>& name) {
    if (!name) return 0;
    const std::optional<std::string> text = objects.get(*name, kwHwnd);
    if (!text) return 0;
    long long value = 0;
    std::from_chars(text->data(), text->data() + text->size(), value);
    return static_cast<std::intptr_t>(value);
}

// The value a statement property hands to an object: texts as written,
// numbers and colours as decimal text.
std::optional<std::string> valueText(const PropertyRecord& record, int keyword) {
    if (!record.given(keyword)) return std::nullopt;
    switch (PropertyRecord::groupOf(keyword)) {
    case PropertyRecord::Group::Number: return numberText(record.number(keyword));
    case PropertyRecord::Group::Colour: return numberText(static_cast<std::int32_t>(record.colour(keyword)));
    case PropertyRecord::Group::Text: return record.text(keyword);
    case PropertyRecord::Group::None: break;
    }
    return std::nullopt;
}

// Sets the property from the record when the line gave it.
void setGiven(ObjectRegistry& objects, const std::string& name, const PropertyRecord& record, int keyword,
              int property) {
    if (const auto value = valueText(record, keyword)) objects.set(name, property, *value);
}
void setGiven(ObjectRegistry& objects, const std::string& name, const PropertyRecord& record, int keyword) {
    setGiven(objects, name, record, keyword, keyword);
}

constexpr std::array kGeometryTail{kwLeft,   kwTop,     kwRight,    kwBottom, kwWidth,
                                   kwHeight, kwVisible, kwMaximize, kwResize};

void applyGeometryTail(ObjectRegistry& objects, const std::string& name, const PropertyRecord& record) {
    for (const int keyword : kGeometryTail) setGiven(objects, name, record, keyword);
}

// A state picture not given on the line and not yet reported by the object
// takes the picture of the state before it.
void fillMissingStates(ObjectRegistry& objects, const std::string& name, const PropertyRecord& record,
                       std::initializer_list<int> states, const std::string& picture) {
    for (const int state : states)
        if (!record.given(state) && !objects.get(name, state)) objects.set(name, state, picture);
}

void setStatePictures(ObjectRegistry& objects, const std::string& name, const PropertyRecord& record) {
    if (const auto& normal = record.text(kwNormalstate)) {
        objects.set(name, kwNormalstate, *normal);
        fillMissingStates(objects, name, record, {kwOverstate, kwDownstate, kwSeldownstate}, *normal);
    }
    if (const auto& over = record.text(kwOverstate)) {
        objects.set(name, kwOverstate, *over);
        fillMissingStates(objects, name, record, {kwDownstate, kwSeldownstate}, *over);
    }
    if (const auto& down = record.text(kwDownstate)) {
        objects.set(name, kwDownstate, *down);
        if (const auto& selected = record.text(kwSeldownstate)) {
            objects.set(name, kwSeldownstate, *selected);
            return;
        }
        if (!objects.get(name, kwSeldownstate)) objects.set(name, kwSeldownstate, *down);
    }
    setGiven(objects, name, record, kwSeldownstate);
}

void createControl(ScriptEngine& engine, ControlPlatform& platform, ControlClass kind, const PropertyRecord& record) {
    const auto& nameText = record.text(kwName);
    if (!nameText) return;
    ObjectRegistry& objects = engine.objects();
    // The object is defined under the dereferenced name, so its properties
    // are set under that name too.
    const std::string name = dereference(objects, *nameText);
    const std::intptr_t parent = windowOf(objects, record.text(kwParent));
    auto control = platform.createControl(kind, parent, record.text(kwText), record.number(kwResize));
    if (!control) return;
    // adopt releases the control (and so destroys it) when the entry cannot be made.
    if (objects.adopt(controlTypeName(kind), name, std::move(control)) != 0) return;

    setGiven(objects, name, record, kwText);
    setGiven(objects, name, record, kwSize);
    if (kind == ControlClass::Static || kind == ControlClass::ThumbArea || kind == ControlClass::Viewer) {
        setGiven(objects, name, record, kwPath);
        setGiven(objects, name, record, kwInnerColor);
        setGiven(objects, name, record, kwInnerBit);
        setGiven(objects, name, record, kwSource, kwBitmap);
        setGiven(objects, name, record, kwThumbsizex);
        setGiven(objects, name, record, kwThumbsizey);
        objects.set(name, kwHorz, record.given(kwHorz) ? numberText(record.number(kwHorz)) : "0");
        setGiven(objects, name, record, kwImageWidth);
        setGiven(objects, name, record, kwImageHeight);
    }
    if (kind == ControlClass::Window) setGiven(objects, name, record, kwClose);
    if (kind == ControlClass::Button || kind == ControlClass::ThumbArea) {
        setGiven(objects, name, record, kwTrigger);
        setGiven(objects, name, record, kwIn);
        setGiven(objects, name, record, kwOut);
        setStatePictures(objects, name, record);
    }
    if (!record.given(kwVisible)) objects.set(name, kwVisible, "1");
    applyGeometryTail(objects, name, record);
}

void showOrHide(ObjectRegistry& objects, const PropertyRecord& record, const char* visible) {
    const auto& nameText = record.text(kwName);
    if (!nameText) return;
    const std::string name = dereference(objects, *nameText);
    setGiven(objects, name, record, kwMaximize);
    objects.set(name, kwVisible, visible);
}

void openInBrowser(ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
    const auto& name = record.text(kwName);
    if (!name) return;
    const std::string target = expandLoaderPathPrefix(*name, startupArgs().loaderPath);
    if (!record.given(kwBits)) {
        if (auto command = platform.browserCommand()) {
            // "browser" -nohome "target", built by appends (GCC 12 warns falsely on chained +).
            std::string line = "\"";
            line.append(cleanBrowserCommand(std::move(*command))).append("\"").append(kNoHome);
            line.append(" \"").append(target).append("\"");
            if (platform.startProgram(line) > kStartedAbove) return;
        }
    }
    engine.runLabel("noBrowser");
}

// setViewer: the trigger to the thumbnail area, then the viewer's settings in
// their fixed order, each only when given.
constexpr std::array kViewerTexts{kwDouble, kwValid, kwInvalid, kwInnerColor};
constexpr std::array kViewerNumbers{kwBright, kwContrast, kwBlack,  kwWhite,   kwAngle,  kwHorz,
                                    kwVert,   kwMaximize, kwSsActive, kwSsDelay, kwSsPause, kwSsOrder,
                                    kwZoom,   kwZoomAdd,  kwPan,    kwCrop,    kwRedeye, kwFade,
                                    kwReload};

void setViewer(ScriptEngine& engine, ControlPlatform&, const PropertyRecord& record) {
    ObjectRegistry& objects = engine.objects();
    if (const auto& trigger = record.text(kwTrigger)) objects.set("thumbArea", kwSetViewer, *trigger);
    const std::string viewer = "viewer";
    for (const int keyword : kViewerTexts) setGiven(objects, viewer, record, keyword);
    for (const int keyword : kViewerNumbers) setGiven(objects, viewer, record, keyword);
}

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

void saveStatement(ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
    const int quality = record.given(kwKey) ? record.number(kwKey) : 75;
    // A bare `save` has the all-zero record: quality 0 and the prompt.
    const bool prompt = record.given(kwVisible) && record.number(kwVisible) == 0;
    platform.savePicture(windowOf(engine.objects(), record.text(kwParent)), quality, prompt);
}

void readFilesStatement(ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
    const auto& name = record.text(kwName);
    if (!name) {
        platform.readFolder(startupArgs().loaderPath);
        return;
    }
    platform.readFolder(scriptPath(dereference(engine.objects(), *name)));
}

using Handler = void (*)(ScriptEngine&, ControlPlatform&, const PropertyRecord&);

struct StatementEntry {
    int keyword;
    Handler handler;
};

template <ControlClass kind>
void create(ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
    createControl(engine, platform, kind, record);
}

const StatementEntry kStatements[] = {
    {kwButton, create<ControlClass::Button>},
    {kwStatic, create<ControlClass::Static>},
    {kwViewer, create<ControlClass::Viewer>},
    {kwThumbArea, create<ControlClass::ThumbArea>},
    {kwWindow, create<ControlClass::Window>},
    {kwSize,
     [](ScriptEngine& engine, ControlPlatform&, const PropertyRecord& record) {
         if (const auto& name = record.text(kwName))
             applyGeometryTail(engine.objects(), dereference(engine.objects(), *name), record);
     }},
    {kwShow,
     [](ScriptEngine& engine, ControlPlatform&, const PropertyRecord& r) { showOrHide(engine.objects(), r, "1"); }},
    {kwHide,
     [](ScriptEngine& engine, ControlPlatform&, const PropertyRecord& r) { showOrHide(engine.objects(), r, "0"); }},
    {kwTop,
     [](ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
         if (const std::intptr_t window = windowOf(engine.objects(), record.text(kwName)); window != 0)
             platform.raise(window);
     }},
    {kwTitle,
     [](ScriptEngine& engine, ControlPlatform&, const PropertyRecord& record) {
         const auto& name = record.text(kwName);
         const auto& text = record.text(kwText);
         if (name && text) engine.objects().set(dereference(engine.objects(), *name), kwTitle, *text);
     }},
    {kwMessagebox,
     [](ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
         const auto& name = record.text(kwName);
         const auto& text = record.text(kwText);
         if (!name || !text) return;
         ObjectRegistry& objects = engine.objects();
         platform.messageBox(windowOf(objects, record.text(kwParent)), dereference(objects, *text),
                             dereference(objects, *name));
     }},
    {kwBeep, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.beep(); }},
    {kwExec,
     [](ScriptEngine& engine, ControlPlatform& platform, const PropertyRecord& record) {
         const auto& name = record.text(kwName);
         if (!name) return;
         ObjectRegistry& objects = engine.objects();
         std::string command = scriptPath(dereference(objects, *name));
         if (const auto& dest = record.text(kwDest)) command += " -folder=" + scriptPath(dereference(objects, *dest));
         platform.startProgram(command);
     }},
    {kwNet, openInBrowser},
    {kwSetViewer, setViewer},
    {kwSave, saveStatement},
    {kwCopy, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.copyPicture(); }},
    {kwPrint, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.printPicture(); }},
    {kwViewNext, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.viewStep(1); }},
    {kwViewPrev, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.viewStep(-1); }},
    {kwReadFiles, readFilesStatement},
    {kwRolls, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.findRolls(); }},
    {kwNextRoll, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.stepRoll(1); }},
    {kwPrevRoll, [](ScriptEngine&, ControlPlatform& platform, const PropertyRecord&) { platform.stepRoll(-1); }},
};

}  // namespace

std::string_view controlTypeName(ControlClass kind) {
    switch (kind) {
    case ControlClass::Button: return "button";
    case ControlClass::Static: return "static";
    case ControlClass::Viewer: return "viewer";
    case ControlClass::ThumbArea: return "thumbArea";
    case ControlClass::Window: return "window";
    }
    return {};
}

void installControlStatements(ScriptEngine& engine, ControlPlatform& platform) {
    // `crop name=viewer` crops the viewer's picture; any other crop is the
    // image statement installed before.
    ScriptEngine::Statement imageCrop = engine.statement(kwCrop);
    engine.setStatement(kwCrop, [imageCrop, &platform](ScriptEngine& eng, const PropertyRecord& record,
                                                       std::string& gotoTarget) {
        const auto& name = record.text(kwName);
        if (name && sameNoCase(*name, "viewer")) {
            platform.cropViewer();
            return ScriptEngine::kDone;
        }
        return imageCrop ? imageCrop(eng, record, gotoTarget) : ScriptEngine::kDone;
    });
    for (const StatementEntry& entry : kStatements) {
        const Handler handler = entry.handler;
        engine.setStatement(entry.keyword, [handler, &platform](ScriptEngine& eng, const PropertyRecord& record,
                                                               std::string&) {
            handler(eng, platform, record);
            return ScriptEngine::kDone;
        });
    }
}

std::string cleanBrowserCommand(std::string command) {
    if (command.size() > kNoHome.size() && command.ends_with(kNoHome)) command.resize(command.size() - kNoHome.size());
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"')
        command = command.substr(1, command.size() - 2);
    return command;
}

std::unique_ptr<ObjectInstance> StandInControlPlatform::createControl(ControlClass, std::intptr_t,
                                                                      const std::optional<std::string>&, int) {
    return std::make_unique<StandInControl>();
}

void StandInControlPlatform::messageBox(std::intptr_t, std::string_view text, std::string_view caption) {
    host().messageBox(text, caption, Host::kOk);
}

void StandInControlPlatform::beep() { host().beep(0xFFFFFFFFu); }

unsigned StandInControlPlatform::startProgram(std::string_view commandLine) {
    started.emplace_back(commandLine);
    return kStartedAbove + 1;
}

}  // namespace lv
