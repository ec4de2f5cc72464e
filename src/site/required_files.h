#pragma once

#include "site/configrecord.h"

#include <QList>
#include <QString>

#include <utility>

// What the required-files check met beside its answer: folders on the way
// that could not be read (the path looked for, why), and an unexpected
// failure's description.
struct RequiredFilesProblems {
    QList<std::pair<QString, QString>> unreadable;
    QString failure;
};

// True when the SSH client (SSH_HOME of rec, SSH_CMD of the active record),
// the Kestrel program on HOST and the Kestrel configuration directory on
// HOST all exist; otherwise false with msg set to the message of the first
// one missing. An unexpected failure gives false with msg unchanged.
bool check_required_files(QString &msg, const ConfigRecord &rec, const QString &activeSshCmd,
                          RequiredFilesProblems &problems);
