#pragma once

#include "base/command_line.h"

#include <QByteArray>
#include <QString>

class Interrupt;

struct RunOptions {
    // Ends the wait early; the program is then left to finish on its own.
    const Interrupt *interrupt = nullptr;
    // Handed to the program through a private channel whose path takes the
    // place of the command line's SecretFile word.
    QByteArray secret;
    // Keep the program's standard error (it then does not reach ours).
    bool captureErrors = false;
    // Keep its standard output too, in the same place, in the order written.
    bool captureOutput = false;
    // Give up waiting after this long (0: never); the program goes on.
    int timeoutMs = 0;
};

struct RunResult {
    bool started = false;
    QString startError; // the platform's description when it could not start
    int exitCode = -1;  // as the program reported it
    bool crashed = false;
    int signal = 0; // the signal that ended it, when crashed
    bool timedOut = false;
    QByteArray errors; // the end of what it wrote, when captured
};

// Starts a program with its arguments (a UNC program path and LocalPath words
// mapped to local paths, empty words left out) and waits until it has ended,
// while every window of the program stays responsive (the wait runs a local
// event loop; it uses no processor time of its own). Standard input is the
// null device; standard output and error go where the program's own go.
// Waits started inside the wait end first. A grandchild that outlives the
// program does not hold the wait. When the interrupt fires, the program is
// not killed: it goes on by itself, and Interrupted is thrown.
RunResult runProgram(const CommandLine &command, const RunOptions &options = {});

// Starts a program and returns at once, without waiting for it. Throws
// QuillonError with the platform's description when it cannot be started.
void startProgram(const CommandLine &command);

// The command as it is started (the program and local paths mapped, empty
// words left out, secrets masked), written so that pasted into the
// platform's shell it means the same.
QString startedLine(const CommandLine &command);
