#pragma once

#include "base/process.h"

// Window styles callers pass for the child's main window.
constexpr int WINDOW_NORMAL = 1;    // normal, activated
constexpr int WINDOW_MINIMISED = 2; // minimised, activated

// Starts a program and waits for it (runProgram), while every window
// stays responsive; a program that cannot be started is reported in a
// message box: "ERROR: " + the platform's description + CR LF + "Could not
// execute --> " + the command line as shown (passwords masked). The caller
// goes on as if it had run. The window style reaches no child on this
// platform.
RunResult run_command(const CommandLine &command, int window_style, const RunOptions &options = {});
