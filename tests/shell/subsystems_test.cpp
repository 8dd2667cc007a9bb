#include "shell/subsystems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lv {
namespace {

TEST(Subsystems, StartInOrderStopOnceInReverseSkippingFailures) {
    std::vector<std::string> log;
    SubsystemSequence s;
    auto step = [&](const std::string& name, bool ok) {
        s.add(
            name,
            [&log, name, ok] {
                log.push_back("start " + name);
                return ok;
            },
            [&log, name] { log.push_back("stop " + name); });
    };
    step("files", true);
    step("display", false);
    step("bitmaps", true);
    s.startAll();
    EXPECT_EQ(s.failed(), std::vector<std::string>{"display"});
    s.stopAll();
    s.stopAll();  // stopping twice stops once
    const std::vector<std::string> expected = {"start files", "start display", "start bitmaps", "stop bitmaps",
                                               "stop files"};
    EXPECT_EQ(log, expected);
}

}  // namespace
}  // namespace lv
