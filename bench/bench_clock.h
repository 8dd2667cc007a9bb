// The benches' clock: the processor time of the calling thread, in seconds.
// On a machine shared with other work it counts only what this thread ran,
// not the moments it waited for a core, so ratios taken in one run compare
// work with work.
//
//     const auto start = ThreadClock::now();
//     work();
//     const double took = secondsSince(start);
#pragma once

#include <time.h>

struct ThreadClock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

inline double secondsSince(ThreadClock::time_point since) { return ThreadClock::now() - since; }
