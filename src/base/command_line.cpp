#include "base/command_line.h"

#include <algorithm>

const QString CommandLine::MASK = QStringLiteral("********");

CommandLine::CommandLine(QString program, const QStringList &words) : m_program(std::move(program))
{
    args(words);
}

CommandLine &CommandLine::arg(const QString &word, Kind kind)
{
    m_words.append({word, kind});
    return *this;
}

CommandLine &CommandLine::args(const QStringList &words)
{
    for (const QString &w : words)
        arg(w);
    return *this;
}

QStringList CommandLine::words() const
{
    QStringList out;
    out.reserve(m_words.size());
    for (const Word &w : m_words)
        out << w.text;
    return out;
}

bool CommandLine::hasSecretFile() const
{
    for (const Word &w : m_words) {
        if (w.kind == Kind::SecretFile)
            return true;
    }
    return false;
}

QString CommandLine::shown() const
{
    QString line = m_program;
    for (const Word &w : m_words) {
        line += QLatin1Char(' ');
        line += (w.kind == Kind::Secret || w.kind == Kind::SecretFile) ? MASK : w.text;
    }
    return line;
}

QStringList CommandLine::secrets() const
{
    QStringList out;
    for (const Word &w : m_words) {
        if (w.kind == Kind::Secret && !w.text.isEmpty())
            out << w.text;
    }
    return out;
}

QString maskSecrets(QString text, const QStringList &secrets)
{
    QStringList ordered = secrets;
    std::sort(ordered.begin(), ordered.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &secret : ordered) {
        if (!secret.isEmpty())
            text.replace(secret, CommandLine::MASK);
    }
    return text;
}
