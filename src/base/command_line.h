#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A program and its arguments, kept apart from the start: a configured value
// or a password is one argument, whatever it holds, and nothing splits the
// line again. The words keep the order of the site's written command lines;
// an empty word stands for an option that was left out and shows only as the
// extra blank the written line has there.
class CommandLine {
public:
    enum class Kind {
        Plain,     // passed as it is
        LocalPath, // a file or folder on this workstation: mapped when started
        Secret,    // a password passed as an argument: shown as ********
        SecretFile // replaced, when started, by the path of a private channel
                   // that hands the program the secret; shown as ********
    };

    CommandLine() = default;
    explicit CommandLine(QString program, const QStringList &words = {});

    CommandLine &arg(const QString &word, Kind kind = Kind::Plain);
    CommandLine &args(const QStringList &words);

    const QString &program() const { return m_program; }
    qsizetype size() const { return m_words.size(); }
    const QString &word(qsizetype i) const { return m_words.at(i).text; }
    Kind kind(qsizetype i) const { return m_words.at(i).kind; }
    // The words as written, empty ones included.
    QStringList words() const;
    bool hasSecretFile() const;
    // The secret words' texts.
    QStringList secrets() const;

    // The line as the site writes it: program and words joined by blanks,
    // every secret word shown as ********.
    QString shown() const;

    static const QString MASK;

private:
    struct Word {
        QString text;
        Kind kind;
    };
    QString m_program;
    QList<Word> m_words;
};

// The one masking step: every piece of text a program wrote that is kept or
// shown (Command Log, debug log, messages, results kept for later) passes
// through it first. Each occurrence of a non-empty secret becomes ********;
// longer secrets first, so that one inside another leaves nothing behind.
QString maskSecrets(QString text, const QStringList &secrets);
