#include "utils/run_command.h"

#include "outside/platform.h"
#include "utils/errors.h"
#include "utils/messages.h"
#include "utils/waiting.h"

#include <QProcess>
#include <QRegularExpression>

#include <memory>
#include <optional>

namespace {

constexpr qsizetype kCapturedErrorBytes = 16 * 1024;

// The arguments the program receives: empty words left out, local paths
// mapped, the secret channel's path in place of its word.
QStringList arguments_of(const CommandLine &command, const QString &secret_path)
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
                args << platform::to_local_path(w);
            break;
        case CommandLine::Kind::Secret: args << w; break;
        case CommandLine::Kind::SecretFile: args << secret_path; break;
        }
    }
    return args;
}

// The platform's text for a failed start, without the name of the system
// call QProcess puts in front of it ("execvp: No such file or directory").
QString start_failure(const QProcess &proc)
{
    static const QRegularExpression call_prefix(QStringLiteral("^exec[a-z]*: "));
    return proc.errorString().remove(call_prefix);
}

} // namespace

RunResult run_program(const CommandLine &command, const RunOptions &options)
{
    RunResult result;
    if (options.interrupt)
        options.interrupt->check();

    std::optional<platform::SecretChannel> channel;
    if (command.hasSecretFile()) {
        channel.emplace(options.secret);
        if (!channel->is_valid()) {
            result.start_error = channel->error();
            return result;
        }
    }
    std::optional<platform::ErrorCapture> capture;
    if (options.capture_errors || options.capture_output)
        capture.emplace();

    // On the heap: a program that outlives the wait must keep its QProcess.
    auto proc = std::make_unique<QProcess>();
    proc->setProgram(platform::to_local_path(command.program()));
    proc->setArguments(arguments_of(command, channel ? channel->path() : QString()));
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setProcessChannelMode(QProcess::ForwardedChannels);
    platform::ChildSetup setup;
    setup.keep_fd = channel ? channel->inherited_fd() : -1;
    setup.stderr_fd = capture ? capture->fd() : -1;
    setup.stdout_fd = capture && options.capture_output ? capture->fd() : -1;
    platform::apply_child_setup(*proc, setup);

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
    if (proc->state() == QProcess::NotRunning && proc->error() == QProcess::FailedToStart)
        failed = true;
    else {
        const QDeadlineTimer deadline = options.timeout_ms > 0 ? QDeadlineTimer(options.timeout_ms)
                                                               : QDeadlineTimer(QDeadlineTimer::Forever);
        switch (wait.exec(deadline)) {
        case LocalWait::Outcome::Interrupted: platform::keep_running(proc.release()); throw Interrupted{};
        case LocalWait::Outcome::TimedOut:
            platform::keep_running(proc.release());
            result.started = true;
            result.timed_out = true;
            if (capture)
                result.errors = capture->tail(kCapturedErrorBytes);
            return result;
        case LocalWait::Outcome::Done: break;
        }
    }

    if (failed) {
        result.start_error = start_failure(*proc);
        return result;
    }
    result.started = true;
    result.crashed = proc->exitStatus() != QProcess::NormalExit;
    result.exit_code = result.crashed ? -1 : proc->exitCode();
    if (capture)
        result.errors = capture->tail(kCapturedErrorBytes);
    return result;
}

RunResult run_command(const CommandLine &command, int window_style, const RunOptions &options)
{
    Q_UNUSED(window_style); // no platform window to pass it to
    RunResult result = run_program(command, options);
    if (!result.started) {
        msg_box(QStringLiteral("ERROR: ") + result.start_error + CRLF +
                    QStringLiteral("Could not execute --> ") + command.shown(),
                MsgIcon::None, MsgButtons::Ok);
    }
    return result;
}

void start_program(const CommandLine &command, int window_style)
{
    Q_UNUSED(window_style);
    QProcess proc;
    proc.setProgram(platform::to_local_path(command.program()));
    proc.setArguments(arguments_of(command, QString()));
    if (!proc.startDetached())
        throw QuillonError(start_failure(proc));
}
