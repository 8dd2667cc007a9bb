// A hint that memory at `at` will be read or written soon, for loops that
// walk more streams at once than the processor follows on its own (a step's
// sets read row by row across all of them, display rows a page apart). Only a hint: it never faults
// and changes no result; where the compiler has no such hint it does nothing.
//
//     for (...) { prefetch(next + 16); use(*next++); }
#pragma once

namespace lv {

inline void prefetch(const void* at) {
#if defined(__GNUC__)
    __builtin_prefetch(at);
#else
    (void)at;
#endif
}

// The same for memory about to be written.
inline void prefetchForWrite(const void* at) {
#if defined(__GNUC__)
    __builtin_prefetch(at, 1);
#else
    (void)at;
#endif
}

}  // namespace lv
