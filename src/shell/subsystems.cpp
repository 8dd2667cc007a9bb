#include "shell/subsystems.h"

#include <utility>

namespace lv {

void SubsystemSequence::add(std::string name, Start start, Stop stop) {
    steps_.push_back(Step{std::move(name), std::move(start), std::move(stop)});
}

void SubsystemSequence::startAll() {
    for (Step& step : steps_) {
        if (step.state == Step::State::Running) continue;
        const bool ok = !step.start || step.start();
        step.state = ok ? Step::State::Running : Step::State::Failed;
    }
}

void SubsystemSequence::stopAll() {
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
        if (it->state == Step::State::Running && it->stop) it->stop();
        it->state = Step::State::Idle;
    }
}

std::vector<std::string> SubsystemSequence::failed() const {
    std::vector<std::string> names;
    for (const Step& step : steps_)
        if (step.state == Step::State::Failed) names.push_back(step.name);
    return names;
}

}  // namespace lv
