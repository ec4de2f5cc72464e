#pragma once

#include <QRegularExpression>
#include <QStringList>

#include <optional>

// The words a POSIX login shell makes of a command line, or nothing when it
// would interpret any of it (quoting, expansion, globbing, operators,
// comments, a leading assignment). Written from the shell's grammar, not
// from the program's own character set, so that it can check that set.
inline std::optional<QStringList> shell_words(const QString &line)
{
    QStringList words;
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
    for (const QString &w : line.split(blanks, Qt::SkipEmptyParts)) {
        for (const QChar c : w) {
            if (QStringView(u"\"'\\$`*?[]{}|&;<>()!\n\r^").contains(c) || c.unicode() < 0x20 ||
                c.unicode() > 0x7e)
                return std::nullopt;
        }
        if (w.startsWith(QLatin1Char('#')) || w.startsWith(QLatin1Char('~')))
            return std::nullopt;
        words << w;
    }
    // NAME=... as the first word is an assignment, not the command.
    static const QRegularExpression assignment(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*="));
    if (!words.isEmpty() && assignment.match(words.first()).hasMatch())
        return std::nullopt;
    return words;
}
