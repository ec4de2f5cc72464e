// CCSession: runs cleartool commands, through one "cleartool -status"
// co-process while it lives, else one process per command. Nothing here
// blocks: every wait is a local event loop.

#include "base/command_line.h"
#include "base/command_log.h"
#include "base/platform.h"
#include "base/process.h"
#include "base/textfile.h"
#include "base/waiting.h"
#include "clearcase/clearcase.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString kProgram = QStringLiteral("cleartool");

constexpr int kDefaultAnswerTimeoutMs = 60'000;

const QLatin1StringView kErrorPrefix("cleartool: Error:");
const QLatin1StringView kWarningPrefix("cleartool: Warning:");

int defaultTimeoutMs()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("QUILLON_CLEARTOOL_TIMEOUT", &ok);
    return ok && seconds > 0 ? seconds * 1000 : kDefaultAnswerTimeoutMs;
}

// One line of cleartool's diagnostics: an error's text without its prefix
// (the whole line when nothing follows the prefix), nothing for a warning.
std::optional<QString> errorOf(QStringView line)
{
    if (line.startsWith(kWarningPrefix))
        return std::nullopt;
    if (line.startsWith(kErrorPrefix)) {
        const QStringView rest = line.mid(kErrorPrefix.size()).trimmed();
        return (rest.isEmpty() ? line : rest).toString();
    }
    return line.toString();
}

// Sorts standard error into error texts; blank lines and warnings are left out.
QStringList errorLines(const QByteArray &err)
{
    QStringList errors;
    forEachLine(QString::fromLocal8Bit(err), [&errors](QStringView line) {
        if (line.trimmed().isEmpty())
            return;
        if (auto e = errorOf(line))
            errors.append(*e);
    });
    return errors;
}

// Subcommands that never ask the user anything: only these go to the
// co-process, where a question would hang the stream. Everything else runs
// in a process of its own whose standard input is the null device.
bool neverPrompts(const QStringList &args)
{
    if (args.isEmpty())
        return false;
    const QString &sub = args.first();
    if (sub.startsWith(QLatin1String("ls")))
        return true;
    static const QSet<QString> quiet = {
        QStringLiteral("catcs"),     QStringLiteral("catcr"),      QStringLiteral("describe"),
        QStringLiteral("desc"),      QStringLiteral("pwv"),        QStringLiteral("hostinfo"),
        QStringLiteral("startview"), QStringLiteral("endview"),    QStringLiteral("mktag"),
        QStringLiteral("rmtag"),     QStringLiteral("setcs"),      QStringLiteral("mkview"),
        QStringLiteral("rmview"),    QStringLiteral("unregister"),
    };
    return quiet.contains(sub);
}

// Questions change nothing: a hung one may be ended.
bool onlyAsks(const QStringList &args)
{
    if (args.isEmpty())
        return true;
    const QString &sub = args.first();
    return sub.startsWith(QLatin1String("ls")) || sub == QLatin1String("catcs") ||
           sub == QLatin1String("catcr") || sub == QLatin1String("describe") ||
           sub == QLatin1String("desc") || sub == QLatin1String("pwv") || sub == QLatin1String("hostinfo");
}

// The co-process reads one line and splits it at blanks, a double-quoted run
// being one word. A word that this cannot carry (a double quote, a line end)
// makes the command run in a process of its own.
std::optional<QByteArray> coprocessLine(const QStringList &args)
{
    QString line;
    for (const QString &w : args) {
        if (w.contains(QLatin1Char('"')) || w.contains(QLatin1Char('\n')) || w.contains(QLatin1Char('\r')) ||
            w.contains(QChar(0)))
            return std::nullopt;
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        const bool quote = w.isEmpty() || w.contains(QLatin1Char(' ')) || w.contains(QLatin1Char('\t'));
        line += quote ? QLatin1Char('"') + w + QLatin1Char('"') : w;
    }
    return line.toLocal8Bit() + '\n';
}

QString timeoutText(int ms)
{
    return QStringLiteral("cleartool did not answer within %1 seconds.").arg(ms / 1000.0);
}

} // namespace

struct CCSession::Impl {
    bool useCoprocess = true;
    int answerTimeoutMs = defaultTimeoutMs();
    const Interrupt *interrupt = nullptr;

    QProcess *co = nullptr; // the co-process, or none
    int sent = 0;           // commands sent to it
    QByteArray out;         // its merged output since the last answer
    bool waiting = false;   // a command waits for its answer

    int actions = 0; // nesting depth of actions
    QDeadlineTimer actionDeadline;
    bool actionTimedOut = false;

    ~Impl() { letGo(true); }

    QDeadlineTimer deadline() const { return actions > 0 ? actionDeadline : QDeadlineTimer(answerTimeoutMs); }
    bool ensureCoprocess();
    // Stops using the co-process: it is asked to quit (or ended, when it
    // hangs on a question) and left to finish on its own.
    void letGo(bool askToQuit, bool endIt = false);
    std::optional<CommandResult> runInCoprocess(const QStringList &args, const QByteArray &line);
    CommandResult runOnce(const QStringList &args);
};

bool CCSession::Impl::ensureCoprocess()
{
    if (co && co->state() != QProcess::NotRunning)
        return true;
    letGo(false);
    co = new QProcess;
    co->setProgram(kProgram);
    co->setArguments({QStringLiteral("-status")});
    // Errors and output in one stream, in the order cleartool wrote them,
    // all before the command's marker.
    co->setProcessChannelMode(QProcess::MergedChannels);
    // A co-process left to finish its command after Quillon has gone sees a
    // broken pipe as an error, not as a signal that ends it mid-change.
    platform::ChildSetup setup;
    setup.ignoreBrokenPipe = true;
    platform::applyChildSetup(*co, setup);
    co->start();
    if (co->state() == QProcess::NotRunning) {
        qCWarning(lcClearCase).noquote() << "cleartool -status could not be started:" << co->errorString();
        delete co;
        co = nullptr;
        return false;
    }
    qCDebug(lcClearCase) << "cleartool -status started, process" << co->processId();
    sent = 0;
    out.clear();
    return true;
}

void CCSession::Impl::letGo(bool askToQuit, bool endIt)
{
    if (!co)
        return;
    QProcess *p = co;
    co = nullptr;
    if (p->state() == QProcess::NotRunning) {
        delete p;
        return;
    }
    if (endIt) {
        p->kill();
    } else {
        if (askToQuit)
            p->write("quit\n");
        p->closeWriteChannel();
    }
    platform::keepRunning(p);
}

std::optional<CommandResult> CCSession::Impl::runInCoprocess(const QStringList &args, const QByteArray &line)
{
    if (!ensureCoprocess())
        return std::nullopt;
    out.clear();
    co->write(line);
    const int n = ++sent;

    QProcess *p = co;
    LocalWait wait(interrupt);
    std::optional<ccparse::CoprocessAnswer> marker;
    bool died = false;
    auto takeOutput = [&] {
        out += p->readAll();
        if (const auto answer = ccparse::findAnswer(out, n)) {
            marker = answer;
            wait.done();
        }
    };
    const auto onOutput = QObject::connect(p, &QProcess::readyRead, p, takeOutput);
    const auto onEnd = QObject::connect(p, &QProcess::finished, p, [&] {
        takeOutput();
        if (!marker) {
            died = true;
            wait.done();
        }
    });
    const auto onError = QObject::connect(p, &QProcess::errorOccurred, p, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart || e == QProcess::Crashed) {
            died = true;
            wait.done();
        }
    });
    waiting = true;
    const LocalWait::Outcome outcome = wait.exec(deadline());
    waiting = false;
    QObject::disconnect(onOutput);
    QObject::disconnect(onEnd);
    QObject::disconnect(onError);

    if (outcome == LocalWait::Outcome::Interrupted) {
        letGo(true);
        throw Interrupted{};
    }
    if (outcome == LocalWait::Outcome::TimedOut) {
        // Hung: a question is ended; a change is left to finish by itself.
        letGo(false, onlyAsks(args));
        CommandResult result;
        result.status = -1;
        result.timedOut = true;
        result.errors << timeoutText(answerTimeoutMs);
        return result;
    }
    if (died || !marker) {
        // It died: this command is answered by a process of its own, the
        // next one by a new co-process.
        letGo(false);
        return std::nullopt;
    }

    CommandResult result;
    if (marker->inRange) {
        result.status = int(marker->status);
    } else {
        result.status = -1;
        result.errors
            << QStringLiteral("cleartool reported the status %1, which is not a status.").arg(marker->status);
    }
    // Merged streams: diagnostics are told apart by their prefix.
    const QString text = QString::fromLocal8Bit(QByteArrayView(out).first(marker->outputEnd));
    out.clear();
    QString output;
    output.reserve(text.size());
    forEachLineWithEnd(text, [&](QStringView line, QStringView end) {
        if (line.startsWith(kErrorPrefix) || line.startsWith(kWarningPrefix)) {
            if (auto e = errorOf(line))
                result.errors.append(*e);
            return;
        }
        // The output as cleartool wrote it, its line ends included.
        output += line;
        output += end;
    });
    result.output = output;
    return result;
}

CommandResult CCSession::Impl::runOnce(const QStringList &args)
{
    CommandResult result;
    QProcess *process = new QProcess;
    process->setStandardInputFile(QProcess::nullDevice());
    platform::ChildSetup setup;
    setup.ignoreBrokenPipe = true;
    platform::applyChildSetup(*process, setup);
    LocalWait wait(interrupt);
    bool failed = false;
    QObject::connect(process, &QProcess::finished, process, [&] { wait.done(); });
    QObject::connect(process, &QProcess::errorOccurred, process, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            failed = true;
            wait.done();
        }
    });
    process->start(kProgram, args);
    const LocalWait::Outcome outcome = wait.exec(deadline());
    if (outcome == LocalWait::Outcome::Interrupted) {
        platform::keepRunning(process);
        throw Interrupted{};
    }
    if (outcome == LocalWait::Outcome::TimedOut) {
        if (onlyAsks(args))
            process->kill();
        platform::keepRunning(process);
        result.status = -1;
        result.timedOut = true;
        result.errors << timeoutText(answerTimeoutMs);
        return result;
    }
    std::unique_ptr<QProcess> done(process);
    if (failed) {
        result.status = -1;
        result.started = false;
        result.errors << QStringLiteral("Unable to start cleartool: %1").arg(process->errorString());
        return result;
    }
    result.output = QString::fromLocal8Bit(process->readAllStandardOutput());
    result.errors = errorLines(process->readAllStandardError());
    if (process->exitStatus() == QProcess::NormalExit) {
        result.status = process->exitCode();
    } else {
        result.status = -1;
        result.errors << QStringLiteral("cleartool ended abnormally: %1").arg(args.join(QLatin1Char(' ')));
    }
    return result;
}

CCSession::CCSession() : d(std::make_unique<Impl>()) {}

CCSession::~CCSession() = default;

void CCSession::setUseCoprocess(bool on)
{
    d->useCoprocess = on;
    if (!on)
        d->letGo(true);
}

void CCSession::setAnswerTimeout(int milliseconds)
{
    d->answerTimeoutMs = milliseconds;
}

void CCSession::setInterrupt(const Interrupt *interrupt)
{
    d->interrupt = interrupt;
}

CCSession::Action::Action(CCSession &session) : m_session(session)
{
    Impl &d = *session.d;
    if (d.actions++ == 0) {
        d.actionDeadline = QDeadlineTimer(d.answerTimeoutMs);
        d.actionTimedOut = false;
    }
}

CCSession::Action::~Action()
{
    --m_session.d->actions;
}

CommandResult CCSession::run(const QStringList &args)
{
    if (d->interrupt)
        d->interrupt->check();
    if (d->actions > 0 && d->actionTimedOut) {
        CommandResult result;
        result.status = -1;
        result.timedOut = true;
        result.errors << timeoutText(d->answerTimeoutMs);
        return result;
    }
    CommandRun logged(CommandRecord::Source::ClearCase, startedLine(CommandLine(kProgram, args)));
    CommandResult result;
    bool answered = false;
    // A command asked while another one waits for its answer (from a handler
    // run inside that wait) never shares the co-process's stream.
    if (d->useCoprocess && !d->waiting && neverPrompts(args)) {
        if (const auto line = coprocessLine(args)) {
            if (auto r = d->runInCoprocess(args, *line)) {
                result = *std::move(r);
                answered = true;
            }
        }
    }
    if (!answered)
        result = d->runOnce(args);
    if (result.timedOut && d->actions > 0)
        d->actionTimedOut = true;
    CommandRecord &record = logged.record();
    record.ran = result.started;
    record.exitCode = result.status;
    record.timedOut = result.timedOut;
    record.firstError = result.errors.value(0);
    logged.finish();
    return result;
}
