#include "base/process.h"

#include "base/command_log.h"
#include "base/errors.h"
#include "base/platform.h"
#include "base/waiting.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

constexpr qsizetype kCapturedErrorBytes = 16 * 1024;

// The arguments the program receives: empty words left out, local paths
// mapped, the secret channel's path in place of its word; masked, every
// secret shown as the mask instead.
QStringList argumentsOf(const CommandLine &command, const QString &secretPath, bool masked = false)
{
    QStringList args;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QString &w = command.word(i);
        switch (command.kind(i)) {
        case CommandLine::Kind::Plain:
            if (!w.isEmpty())
                args << w;
            break;
        case CommandLine::Kind::LocalPath:
            if (!w.isEmpty())
                args << platform::toLocalPath(w);
            break;
        case CommandLine::Kind::Secret: args << (masked ? CommandLine::MASK : w); break;
        case CommandLine::Kind::SecretFile: args << secretPath; break;
        }
    }
    return args;
}

// Why a program could not be started, in plain words: a bare name not
// found on PATH, a path to nothing, or the platform's own text without the
// name of the system call QProcess puts in front of it ("execvp: ...").
QString startFailure(const QProcess &proc)
{
    static const QRegularExpression callPrefix(QStringLiteral("^exec[a-z]*: "));
    const QString program = proc.program();
    const bool bare = !program.contains(QLatin1Char('/')) && !program.contains(QLatin1Char('\\'));
    if (bare && QStandardPaths::findExecutable(program).isEmpty())
        return program + QStringLiteral(" was not found on PATH");
    if (!bare && !QFileInfo::exists(program))
        return QDir::toNativeSeparators(program) + QStringLiteral(" does not exist");
    return QDir::toNativeSeparators(program) + QStringLiteral(": ") + proc.errorString().remove(callPrefix);
}

// A process set up to start the command: standard input the null device,
// its output forwarded (or kept), the secret channel inherited.
std::unique_ptr<QProcess> prepared(const CommandLine &command, const RunOptions &options,
                                   const platform::SecretChannel *channel,
                                   const platform::ErrorCapture *capture)
{
    auto proc = std::make_unique<QProcess>();
    proc->setProgram(platform::toLocalPath(command.program()));
    proc->setArguments(argumentsOf(command, channel ? channel->path() : QString()));
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setProcessChannelMode(QProcess::ForwardedChannels);
    platform::ChildSetup setup;
    setup.keepFd = channel ? channel->inheritedFd() : -1;
    setup.stderrFd = capture ? capture->fd() : -1;
    setup.stdoutFd = capture && options.captureOutput ? capture->fd() : -1;
    platform::applyChildSetup(*proc, setup);
    return proc;
}

// The end of what the program wrote, every secret of its run masked before
// it is kept anywhere. A tail that starts inside a secret loses that line.
QByteArray maskedTail(const platform::ErrorCapture &capture, const CommandLine &command,
                      const RunOptions &options)
{
    QStringList secrets = command.secrets();
    if (!options.secret.isEmpty())
        secrets << QString::fromLocal8Bit(options.secret);
    qsizetype longest = 0;
    for (const QString &s : secrets)
        longest = std::max(longest, s.toLocal8Bit().size());
    const qsizetype limit = kCapturedErrorBytes + longest;
    QByteArray tail = capture.tail(limit);
    if (tail.size() >= limit && longest > 0) {
        const qsizetype nl = tail.indexOf('\n');
        tail = nl < 0 ? QByteArray() : tail.mid(nl + 1);
    }
    return maskSecrets(QString::fromLocal8Bit(tail), secrets).toLocal8Bit();
}

} // namespace

RunResult runProgram(const CommandLine &command, const RunOptions &options)
{
    RunResult result;
    if (options.interrupt)
        options.interrupt->check();
    CommandRun logged(CommandRecord::Source::Program, startedLine(command));
    CommandRecord &record = logged.record();
    std::optional<platform::SecretChannel> channel;
    if (command.hasSecretFile()) {
        channel.emplace(options.secret);
        if (!channel->isValid()) {
            result.startError = channel->error();
            record.firstError = result.startError;
            logged.finish();
            return result;
        }
    }
    std::optional<platform::ErrorCapture> capture;
    if (options.captureErrors || options.captureOutput)
        capture.emplace();
    // On the heap: a program that outlives the wait must keep its QProcess.
    std::unique_ptr<QProcess> proc =
        prepared(command, options, channel ? &*channel : nullptr, capture ? &*capture : nullptr);

    // The wait ends when the program ends or could not be started. The end
    // is seen from its exit status, not from its output channels, so a
    // grandchild that keeps them open does not prolong the wait.
    LocalWait wait(options.interrupt);
    bool failed = false;
    QObject::connect(proc.get(), &QProcess::finished, proc.get(), [&wait] { wait.done(); });
    QObject::connect(proc.get(), &QProcess::errorOccurred, proc.get(), [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failed = true;
            wait.done();
        }
    });
    proc->start();
    if (channel)
        channel->started();
    // A start can fail inside start() itself (no program at all); the wait
    // would then be for a signal that has already gone.
    const QDeadlineTimer deadline =
        options.timeoutMs > 0 ? QDeadlineTimer(options.timeoutMs) : QDeadlineTimer(QDeadlineTimer::Forever);
    const LocalWait::Outcome outcome =
        proc->state() == QProcess::NotRunning ? LocalWait::Outcome::Done : wait.exec(deadline);
    // A program that outlives the wait is handed over, and still asked
    // through this pointer.
    QProcess *const process = proc.get();
    if (outcome != LocalWait::Outcome::Done) {
        platform::keepRunning(proc.release()); // never killed: it goes on by itself
        if (outcome == LocalWait::Outcome::Interrupted)
            throw Interrupted{};
    }
    if (failed || process->error() == QProcess::FailedToStart) {
        result.startError = startFailure(*process);
        record.firstError = result.startError;
        logged.finish();
        return result;
    }
    result.started = true;
    result.timedOut = outcome == LocalWait::Outcome::TimedOut;
    if (!result.timedOut) {
        result.crashed = process->exitStatus() != QProcess::NormalExit;
        // After a crash QProcess gives the signal's number as the exit code.
        result.exitCode = result.crashed ? -1 : process->exitCode();
        result.signal = result.crashed ? process->exitCode() : 0;
    }
    if (capture)
        result.errors = maskedTail(*capture, command, options);
    record.ran = true;
    record.exitCode = result.exitCode;
    record.crashed = result.crashed;
    record.signal = result.signal;
    record.timedOut = result.timedOut;
    record.firstError = commandlog::firstLine(QString::fromLocal8Bit(result.errors));
    logged.finish();
    return result;
}

void startProgram(const CommandLine &command)
{
    CommandRun logged(CommandRecord::Source::Program, startedLine(command));
    logged.record().detached = true;
    QProcess proc;
    proc.setProgram(platform::toLocalPath(command.program()));
    proc.setArguments(argumentsOf(command, QString()));
    const bool started = proc.startDetached();
    logged.record().ran = started;
    if (!started)
        logged.record().firstError = startFailure(proc);
    logged.finish();
    if (!started)
        throw QuillonError(logged.record().firstError);
}

QString startedLine(const CommandLine &command)
{
    return platform::shellLine(QStringList{platform::toLocalPath(command.program())} +
                               argumentsOf(command, CommandLine::MASK, true));
}
