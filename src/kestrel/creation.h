#pragma once

#include "kestrel/kestrel.h"

#include <QString>

class Interrupt;
class SshClient;

// What a view creation reports while it runs, for the window to show: the
// progress messages, and the texts of its messages (the window gives each
// its icon and title).
class CreationReport {
public:
    virtual ~CreationReport() = default;
    // The progress window's line; the window repaints.
    virtual void progress(const QString &message) = 0;
    // A program could not be started: "ERROR: " + why + CR LF + "Could not
    // execute --> " + the line as shown.
    virtual void notStarted(const QString &text) = 0;
    // Kestrel's output file is missing, or cannot be read (gcsv's messages).
    virtual void resultProblem(const QString &text) = 0;
    // A folder on the way to the output file cannot be read.
    virtual void unreadable(const QString &text) = 0;
    // The creation failed (the failure message, the SSH client's words after it).
    virtual void failed(const QString &text) = 0;
};

// The last line of a text file (Kestrel's output), or "FAILED" when the file
// is missing; a file that cannot be read gives the last line read before, ""
// here. What went wrong is the message text in problem (when given).
QString gcsv(const QString &path, QString *problem, QString *unreadable = nullptr);

// How the Kestrel run went.
struct CreationRun {
    bool failed = false; // the failure has been reported: nothing more is done
    QString created;     // the created view tag (lower case in remote mode; may be empty)
};

// Runs Kestrel for the request: locally through the HOST share, or
// (remote) on the Unix host through the SSH client, then registers the
// Windows view tag and removes the output file there. Only a result
// written in this run counts, and it must be one tag.
CreationRun runKestrel(const kestrel::Request &r, bool remote, SshClient &ssh, const Interrupt *interrupt,
                       CreationReport &report);
