#pragma once

#include <QString>

class QComboBox;
class QListWidget;

// True when the list already holds an entry equal to item, ignoring case.
bool is_dup_list(const QString &item, const QComboBox *list);
bool is_dup_list(const QString &item, const QListWidget *list);

// True when a file or folder matches path (fileExists); a folder on the way
// that cannot be read is reported ("Error determining file exist --> " +
// path + "::" + why, critical icon) and gives false.
bool file_exists(const QString &path, bool want_dir);
