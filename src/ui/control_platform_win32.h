// The control statements on Windows: controls are real windows, message
// boxes and beeps are the system's, programs start through WinExec and the
// browser is the registered opener of HTML files.
#pragma once

namespace lv {

// Installs the control statements into the program's script engine; a
// start-up step of the control classes (after the window class).
bool startControlStatements();

}  // namespace lv
