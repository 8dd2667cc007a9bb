#include "script/script_module.h"

#include "script/objects.h"
#include "script/script_loader.h"
#include "script/service_script_files.h"
#include "script/values.h"
#include "shell/process.h"

namespace lv {

namespace {
ScriptSourceFiles* sourceFiles = nullptr;
}  // namespace

FunctionList& scriptFunctions() {
    static FunctionList functions;
    return functions;
}

ScriptEngine& scriptEngine() {
    static ScriptEngine engine(scriptFunctions(), objectRegistry());
    return engine;
}

void setScriptSourceFiles(ScriptSourceFiles* files) { sourceFiles = files; }

bool startScript() {
    static ServiceScriptFiles services;
    const StartupArgs& args = startupArgs();
    loadScript(scriptFunctions(), sourceFiles ? *sourceFiles : services, args.programFolder, args.cmdLine);
    return true;
}

void stopScript() { scriptFunctions().clear(); }

void defineStartupStrings(int width, int height, int screenSaverMode) {
    objectRegistry().define("string", "screen_width", numberText(width));
    objectRegistry().define("string", "screen_height", numberText(height));
    objectRegistry().define("string", "screen_saver", numberText(screenSaverMode));
}

}  // namespace lv
