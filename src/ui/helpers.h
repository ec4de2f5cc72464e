#pragma once

#include <QDateTime>
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

// A date as the windows show it, in local time ("2024-02-12 08:14"); empty
// when there is none.
QString shownDate(const QDateTime &when);
// How long ago, in days ("today", "yesterday", "298 days ago").
QString daysAgo(const QDateTime &when, const QDateTime &now);
// Views not accessed for this many days are marked as unused.
inline constexpr int kUnusedDays = 90;

// A template's status marker ("U", "C" or "A", "S" after it for a snapshot
// view) in words: "not created", "created", "active", "created, snapshot".
QString statusInWords(const QString &marker);
