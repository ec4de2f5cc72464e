#pragma once

#include <QString>

#include <array>

// The site settings, one string per field, in the order of the file's keys.
// A field that still holds its own key name has not been set. Booleans are
// the words "true" and "false".
struct ConfigRecord {
    QString HOST;
    QString CFG_FILE;
    QString KESTREL;
    QString KESTREL_HOME;
    QString KESTREL_CONFIG;
    QString SSH_CMD;
    QString SSH_HOME;
    QString SSH_CMD_PATH;
    QString VOB_SERVER;
    QString VIEW_STORAGE;
    QString HELPDESK;
    QString PROJECT;
    QString CFG_FILE_ALTERNATE;
    QString ADMIN;
    QString NT_ONLY;
    QString CC_EXPLORER;
    QString IS_INTEROP;
    QString USE_SSH;
};

// One keyed field: its key name and where it lives in the record.
struct ConfigKey {
    const char *name;
    QString ConfigRecord::*field;
};

// The 17 keyed fields (all but SSH_CMD_PATH), in record order.
const std::array<ConfigKey, 17> &configKeys();

// Every keyed field (all but SSH_CMD_PATH) set to its own key name.
void set_config_keys(ConfigRecord &rec);
// The defaults applied when the configuration file is missing.
void set_config_defaults(ConfigRecord &rec);
// The defaults applied before an existing file is read.
void set_config_base_defaults(ConfigRecord &rec);

// The configuration's boolean words. Most readers compare after lower-casing
// ("TRUE" counts as "true"); view creation compares exactly, so that only
// the lower-case word counts there.
bool isWord(const QString &value, const char *word);
bool isExactlyTrue(const QString &value);
