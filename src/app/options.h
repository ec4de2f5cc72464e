#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for before any window exists: the help or the
// version (printed on standard output, status 0), or a mistake (a message
// on standard error, status 2). Nothing when the program is to start: then
// the first name left is the configuration file, and any after it are
// ignored; "--" ends the options. Qt's own options
// (-platform, -style, ...) are let through.
struct EarlyExit {
    int status = 0;
    QString out; // for standard output
    QString err; // for standard error
};
std::optional<EarlyExit> handleOptions(const QStringList &arguments);
