#pragma once

#include "types/configrecord.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

// Every keyed field (all but SSH_CMD_PATH) set to its own key name.
void set_config_keys(ConfigRecord &rec);
// The defaults applied when the configuration file is missing.
void set_config_defaults(ConfigRecord &rec);
// The defaults applied before an existing file is read.
void set_config_base_defaults(ConfigRecord &rec);

// Applies the KEY=value lines of a configuration file to rec as they are
// read, and adds each PROJECT value to projects. Throws QuillonError when
// reading fails; what was read before stays.
void read_config_lines(QIODevice &device, ConfigRecord &rec, QStringList &projects);

// Reads a KEY=value configuration file (a built path) into rec, adding each
// PROJECT to the main window's project list, and then sets the window's
// NT-only look and disables what the file does not allow. Reports its own
// failures.
void read_config_file(const QString &path, ConfigRecord &rec);
