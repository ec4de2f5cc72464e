#include "utils/run_command.h"

#include "outside/platform.h"
#include "utils/errors.h"
#include "utils/messages.h"

#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>

namespace {

// A process set up from a built command line: the program word is mapped to
// a local path, and so is every argument written as a UNC path.
void prepare(QProcess &proc, const QString &command)
{
    QStringList words = platform::split_command_line(command);
    const QString program = words.isEmpty() ? QString() : platform::to_local_path(words.takeFirst());
    for (QString &word : words) {
        if (word.startsWith(QLatin1String("\\\\")))
            word = platform::to_local_path(word);
    }
    proc.setProgram(program);
    proc.setArguments(words);
    proc.setStandardInputFile(QProcess::nullDevice());
}

// The platform's text for a failed start, without the name of the system
// call QProcess puts in front of it ("execvp: No such file or directory").
QString start_failure(const QProcess &proc)
{
    static const QRegularExpression call_prefix(QStringLiteral("^exec[a-z]*: "));
    return proc.errorString().remove(call_prefix);
}

} // namespace

QString mask_password(const QString &command)
{
    // The password runs from after " -pw " to the blank before the
    // user@host word, so that a password holding blanks is hidden whole;
    // without such a word, to the next blank.
    static const QLatin1String marker(" -pw ");
    static const QRegularExpression login(QStringLiteral(" [^ ]*@"));
    QString shown = command;
    qsizetype from = 0;
    while ((from = shown.indexOf(marker, from)) >= 0) {
        const qsizetype start = from + marker.size();
        qsizetype end = shown.indexOf(login, start);
        if (end < 0)
            end = shown.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = shown.size();
        if (end > start)
            shown.replace(start, end - start, QStringLiteral("********"));
        from = start;
    }
    return shown;
}

void run_command(const QString &command, int window_style)
{
    Q_UNUSED(window_style); // no platform window to pass it to

    QProcess proc;
    prepare(proc, command);
    proc.setProcessChannelMode(QProcess::ForwardedChannels);

    // The loop ends when the child ends or could not be started. The end of
    // the child is seen from its exit status, not from its output channels,
    // so a grandchild that keeps them open does not prolong the wait.
    QEventLoop loop;
    bool failed = false;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&proc, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failed = true;
            loop.quit();
        }
    });

    proc.start();
    // A start can fail inside start() itself (no program at all); the loop
    // would then wait for a signal that has already gone.
    if (proc.state() == QProcess::NotRunning)
        failed = true;
    else
        loop.exec();

    if (failed) {
        msg_box(QStringLiteral("ERROR: ") + start_failure(proc) + CRLF +
                    QStringLiteral("Could not execute --> ") + mask_password(command),
                MsgIcon::None, MsgButtons::Ok);
    }
}

void start_program(const QString &command, int window_style)
{
    Q_UNUSED(window_style);

    QProcess proc;
    prepare(proc, command);
    if (!proc.startDetached())
        throw QuillonError(start_failure(proc));
}
