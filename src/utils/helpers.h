#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QListWidget;

// True when the list already holds an entry equal to item, ignoring case.
bool is_dup_list(const QString &item, const QComboBox *list);
bool is_dup_list(const QString &item, const QListWidget *list);

// s with every character equal to find replaced by repl; a find of more
// than one character never matches.
QString replace_char(const QString &find, const QString &repl, const QString &s);

// s without the characters outside the codes 1..255 of the 8-bit code page.
QString strip_non_ansi(const QString &s);

// The start of s up to and including the first delim; all of s without one.
QString upto_char(const QString &delim, const QString &s);

// Every line feed becomes CR LF; a CR already there stays.
QString lf_to_crlf(const QString &s);

// True when at least one directory entry matches path, a listing pattern
// that may hold * and ?; a path ending in "\" matches the entries inside
// that directory. want_dir false: ordinary files only; true: files and
// directories. A failing listing shows its message and gives false.
bool file_exists(const QString &path, bool want_dir);
