// The script engine of the program: the process-wide function list and
// engine, and their start-up steps.
//
// Start-up order: the object registry with the type "string"
// (startObjectRegistry, objects.h), then script loading (startScript), later
// the other object types. After the subsystems, the program defines
// screen_width, screen_height and screen_saver and runs the label init;
// postInit runs at the first idle moment of the main loop.
#pragma once

#include <string_view>

#include "script/engine.h"
#include "script/functions.h"
#include "script/source_files.h"

namespace lv {

FunctionList& scriptFunctions();
ScriptEngine& scriptEngine();

// Where startScript reads files from: the file services, with the launcher's
// packed files, unless replaced (tests). Null restores the file services.
void setScriptSourceFiles(ScriptSourceFiles* files);

// Loads the scripts of the program folder and the launcher's own
// (startupArgs()). Always succeeds: missing scripts just define nothing.
bool startScript();
// Releases every function.
void stopScript();

// Defines the strings screen_width and screen_height (the primary screen's
// size in pixels) and screen_saver, which tells a script how the program
// runs: "0" as an ordinary application, "1" as a full-screen screen saver,
// "2" as a screen-saver preview (StartupArgs::screenSaverMode).
void defineStartupStrings(int width, int height, int screenSaverMode);

}  // namespace lv
