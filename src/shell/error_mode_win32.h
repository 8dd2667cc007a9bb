// Switches the system's critical-error dialogs off for the lifetime of the
// guard ("insert a disk in drive A:"), restoring the previous mode after.
// Every file call of the file services runs under one.
#pragma once

#include <windows.h>

namespace lv {

class CriticalErrorsOff {
public:
    CriticalErrorsOff() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsOff() { SetErrorMode(previous_); }
    CriticalErrorsOff(const CriticalErrorsOff&) = delete;
    CriticalErrorsOff& operator=(const CriticalErrorsOff&) = delete;

private:
    UINT previous_;
};

}  // namespace lv
