// The subsystems' start-up and shutdown steps.
//
// Start-up runs the steps in the order they were added; a step that fails
// leaves its features unavailable and the sequence goes on. Shutdown runs
// the stop operations in reverse order, only for steps whose start succeeded,
// so a subsystem never has to tear down what it never built.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lv {

class SubsystemSequence {
public:
    using Start = std::function<bool()>;  // true on success
    using Stop = std::function<void()>;

    void add(std::string name, Start start, Stop stop);

    void startAll();
    void stopAll();

    // Names of the steps whose start failed, in start order.
    std::vector<std::string> failed() const;

private:
    struct Step {
        std::string name;
        Start start;
        Stop stop;
        enum class State { Idle, Running, Failed } state = State::Idle;
    };
    std::vector<Step> steps_;
};

}  // namespace lv
