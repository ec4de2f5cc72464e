#pragma once

#include <QString>

// Window styles callers pass for the child's main window.
constexpr int WINDOW_NORMAL = 1;    // normal, activated
constexpr int WINDOW_MINIMISED = 2; // minimised, activated

// Starts a command line and waits until the started process has ended,
// while every window of the program stays responsive (the wait runs a local
// event loop; it uses no processor time of its own). Standard input is the
// null device; standard output and error go where the program's own go.
// Waits started inside the wait (from any event handler) end first. A
// failure to start is reported in a message box; the caller is not told.
// The window style reaches no child on this platform.
void run_command(const QString &command, int window_style);

// Starts a command line and returns at once, without waiting for it.
// Throws QuillonError with the platform's description when the program
// cannot be started.
void start_program(const QString &command, int window_style);

// The command line as it may be shown: the word after " -pw " (the SSH
// client's password) becomes "********"; everything else is kept exactly.
QString mask_password(const QString &command);
