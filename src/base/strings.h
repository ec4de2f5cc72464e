#pragma once

// The string helpers of the site's procedures: character by character.

#include <QString>
#include <QStringList>

// s with every character equal to find replaced by repl; a find of more
// than one character never matches.
QString replace_char(const QString &find, const QString &repl, const QString &s);

// s without the characters outside the codes 1..255 of the 8-bit code page.
QString strip_non_ansi(const QString &s);

// The start of s up to and including the first delim; all of s without one.
QString upto_char(const QString &delim, const QString &s);

// Every line feed becomes CR LF; a CR already there stays.
QString lf_to_crlf(const QString &s);
