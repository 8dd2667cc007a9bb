// Loads arbitrary bytes as a script and runs init and the first function,
// headless. Loops that never end are cut by the step budget (the program
// itself runs without one).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/host.h"
#include "platform/program_control.h"
#include "render/bitmap_object.h"
#include "script/engine.h"
#include "script/objects.h"
#include "script/script_loader.h"
#include "script/stand_in_controls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lv::RecordingHost host;
    lv::RecordingProgramControl control;
    lv::setHost(&host);
    lv::setProgramControl(&control);
    {
        lv::StringType strings;
        lv::ObjectRegistry objects;
        objects.registerType(strings);
        objects.registerType(lv::bitmapType());
        lv::registerStandInControls(objects);
        lv::FunctionList functions;
        lv::addScriptText(functions, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.scr");
        lv::ScriptEngine engine(functions, objects);
        engine.setStepBudget(20000);
        engine.runLabel("init");
        if (!functions.empty()) engine.runLabel(functions.all().front().name);
        objects.sweep();
    }
    lv::setHost(nullptr);
    lv::setProgramControl(nullptr);
    return 0;
}
