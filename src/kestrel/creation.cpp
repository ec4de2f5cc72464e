#include "kestrel/creation.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/platform.h"
#include "base/process.h"
#include "base/textfile.h"
#include "kestrel/ssh_client.h"

namespace {
const QString FAILED = QStringLiteral("FAILED");
const QString CRLF = QStringLiteral("\r\n");

RunResult run(const CommandLine &command, const RunOptions &options, CreationReport &report)
{
    RunResult result = runProgram(command, options);
    if (!result.started)
        report.notStarted(QStringLiteral("ERROR: ") + result.startError + CRLF +
                          QStringLiteral("Could not execute --> ") + startedLine(command));
    return result;
}

QString failureText(const QString &requested, const RunResult &client, const QString &password)
{
    QString text = QStringLiteral("Failed: Could not create the view") + CRLF + QStringLiteral("--> ") +
                   requested + CRLF + CRLF +
                   QStringLiteral("Make sure that you typed in the correct password");
    const QString said = kestrel::clientReport(client.errors, password);
    if (!said.isEmpty())
        text += CRLF + CRLF + QStringLiteral("The SSH client reported:") + CRLF + said;
    return text;
}

CreationRun runRemote(const kestrel::Request &r, SshClient &ssh, RunOptions options, CreationReport &report)
{
    CreationRun outcome;
    report.progress(QStringLiteral("Creating view remotely..."));
    const kestrel::PasswordPassing how = ssh.passingFor(r.sshCmdPath, options.interrupt);
    options.secret = r.password.toLocal8Bit();
    // Only a result Kestrel wrote in this run counts: what the file was
    // before the run is noted first.
    const QString output = kestrel::outputFileUnc(r);
    const FileState before = fileState(output);
    RunOptions client = options;
    client.captureErrors = true;
    const RunResult kestrelRun = run(kestrel::remoteCommand(r, how), client, report);
    const FileState after = fileState(output);

    QString result = FAILED;
    if (!(before.exists && after == before)) {
        QString problem, unreadable;
        result = gcsv(output, &problem, &unreadable);
        if (!unreadable.isEmpty())
            report.unreadable(unreadable);
        if (!problem.isEmpty())
            report.resultProblem(problem);
    }
    // An empty last line gives no tag; anything else must be one tag.
    if (result == FAILED || (!result.isEmpty() && !kestrel::isViewTag(result))) {
        report.failed(failureText(kestrel::remoteViewTag(r), kestrelRun, r.password));
        outcome.failed = true;
        return outcome;
    }
    outcome.created = result.toLower();
    if (!outcome.created.isEmpty()) {
        report.progress(QStringLiteral("Creating NT Tag..."));
        run(kestrel::mktagCommand(r, outcome.created), options, report);
    }
    report.progress(QStringLiteral("cleaning up files..."));
    run(kestrel::cleanupCommand(r, how), options, report);
    return outcome;
}
} // namespace

QString gcsv(const QString &path, QString *problem, QString *unreadable)
{
    QString why;
    const bool exists = fileExists(path, false, &why);
    if (!why.isEmpty() && unreadable)
        *unreadable = QStringLiteral("Error determining file exist --> ") + platform::toLocalPath(path) + QStringLiteral("::") + why;
    if (!exists) {
        if (problem)
            *problem = QStringLiteral("(gcsv): File does not exist --> ") + platform::toLocalPath(path);
        return FAILED;
    }
    try {
        return readLastLine(path);
    } catch (const std::exception &e) {
        if (problem)
            *problem = QStringLiteral("Failed to get view tag --> ") + platform::toLocalPath(path) + errorDescription(e);
        return QString();
    }
}

CreationRun runKestrel(const kestrel::Request &r, bool remote, SshClient &ssh, const Interrupt *interrupt,
                       CreationReport &report)
{
    RunOptions options;
    options.interrupt = interrupt;
    if (remote)
        return runRemote(r, ssh, options, report);
    CreationRun outcome;
    outcome.created = kestrel::localViewTag(r);
    report.progress(QStringLiteral("Creating view..."));
    run(kestrel::localCommand(r), options, report);
    return outcome;
}
