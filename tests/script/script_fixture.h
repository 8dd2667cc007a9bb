// A script world of its own for each test: functions, objects with the
// "string" type, an engine, and recorded message boxes and quit requests.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/host.h"
#include "platform/program_control.h"
#include "script/engine.h"
#include "script/functions.h"
#include "script/objects.h"
#include "script/script_loader.h"

namespace lv {

class ScriptFixture : public ::testing::Test {
protected:
    ScriptFixture() {
        objects.registerType(strings);
        setHost(&host);
        setProgramControl(&control);
    }
    ~ScriptFixture() override {
        setHost(nullptr);
        setProgramControl(nullptr);
    }

    void load(std::string_view text) { addScriptText(functions, text, "test.scr"); }
    int run(std::string_view label) { return engine.runLabel(label); }
    // Runs the lines as the body of a label of their own.
    void runLines(std::string_view lines) {
        // Appended, not "..." + string: GCC 12 warns falsely on that.
        const std::string label = std::string("t").append(std::to_string(++labels_));
        load(std::string("begin ").append(label).append("\n").append(lines).append("\nend\n"));
        run(label);
    }
    // The text of a string object, or "<none>".
    std::string str(std::string_view name) { return objects.get(name, 7).value_or("<none>"); }
    void let(std::string_view name, std::string_view value) { objects.define("string", name, value); }

    RecordingHost host;
    RecordingProgramControl control;
    StringType strings;
    ObjectRegistry objects;
    FunctionList functions;
    ScriptEngine engine{functions, objects};

private:
    int labels_ = 0;
};

}  // namespace lv
