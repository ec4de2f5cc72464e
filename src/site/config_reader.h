#pragma once

#include "site/configrecord.h"

#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// What reading a configuration file gave, beside the record it filled, for
// the main window to apply (in this order): the projects for its list, its
// NT-only look, whether the mode box may stay enabled, whether the
// administrator controls may.
struct ConfigReadResult {
    bool missing = false;        // no such file: the record got the full defaults
    QStringList projects;        // every PROJECT value in file order, also those read before a failure
    QString error;               // reading failed part-way (values read before it stay)
    bool checked = false;        // the checks after reading ran (not after a failure)
    bool ntOnly = false;         // IS_INTEROP, lower-cased, is "false"
    bool alternateUsable = true; // CFG_FILE_ALTERNATE set and naming a file in the program's folder
    bool admin = true;           // the login is named in ADMIN
    // Folders on the way to a file looked for that could not be read: the
    // path looked for and why.
    QList<std::pair<QString, QString>> unreadable;
};

// Applies the KEY=value lines of a configuration file to rec as they are
// read, and adds each PROJECT value to projects. Throws QuillonError when
// reading fails; what was read before stays.
void readConfigLines(QIODevice &device, ConfigRecord &rec, QStringList &projects);

// Reads a KEY=value configuration file (a built path) into rec: the defaults
// for a missing file, otherwise the base defaults and then the file, and the
// checks after reading (the alternate file beside programDir, the login in
// ADMIN). The caller shows what went wrong.
ConfigReadResult read_config_file(const QString &path, ConfigRecord &rec, const QString &programDir,
                                  const QString &login);
