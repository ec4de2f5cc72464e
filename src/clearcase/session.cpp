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
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

const QString kProgram = QStringLiteral("cleartool");

constexpr int kDefaultAnswerTimeoutMs = 60'000;

// What one answer may hold; beyond it the answer is refused, not read.
constexpr qsizetype kAnswerCapBytes = 64 * 1024 * 1024;

int defaultTimeoutMs()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("QUILLON_CLEARTOOL_TIMEOUT", &ok);
    return ok && seconds > 0 ? seconds * 1000 : kDefaultAnswerTimeoutMs;
}

// Sorts standard error into error texts; blank lines and warnings are left out.
QStringList errorLines(const QByteArray &err)
{
    QStringList errors;
    forEachLine(QString::fromLocal8Bit(err), [&errors](QStringView line) {
        if (line.trimmed().isEmpty())
            return;
        if (auto e = ccparse::errorOf(line))
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

QString tooLargeText()
{
    return QStringLiteral("cleartool's answer was too large (more than %1 MB); it was not read.")
        .arg(kAnswerCapBytes / (1024 * 1024));
}

// A word that no output holds by chance: new for every co-process.
QByteArray freshToken()
{
    QByteArray token = "quillon-end-";
    for (int i = 0; i < 4; ++i)
        token += QByteArray::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, '0');
    return token;
}

// A result without an answer. A change may or may not have been made.
CommandResult noAnswer(const QString &why, bool change, bool timedOut = false)
{
    CommandResult result;
    result.status = -1;
    result.hasStatus = false;
    result.lost = change;
    result.timedOut = timedOut;
    result.errors << why;
    return result;
}

} // namespace

struct CCSession::Impl {
    bool useCoprocess = true;
    int answerTimeoutMs = defaultTimeoutMs();
    const Interrupt *interrupt = nullptr;

    QProcess *co = nullptr; // the co-process, or none
    int sent = 0;           // command lines sent to it
    QByteArray tokenLine;   // sent after each command
    std::optional<ccparse::CoprocessReader> reader;
    bool waiting = false; // a command waits for its answer

    int actions = 0; // nesting depth of actions
    bool actionTimedOut = false;

    ~Impl() { letGo(true); }

    // Each command's own: from the moment it is sent until its answer.
    QDeadlineTimer deadline() const { return QDeadlineTimer(answerTimeoutMs); }
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
    const QByteArray token = freshToken();
    tokenLine = token + '\n';
    reader.emplace(token, kAnswerCapBytes);
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
        // What it still writes is not read: the pipe must not fill.
        QObject::connect(p, &QProcess::readyRead, p, [p] { p->readAll(); });
    }
    platform::keepRunning(p);
}

std::optional<CommandResult> CCSession::Impl::runInCoprocess(const QStringList &args, const QByteArray &line)
{
    if (!ensureCoprocess())
        return std::nullopt;
    const bool change = !onlyAsks(args);
    const int n = ++sent;
    ++sent; // the token's line
    reader->expect(n);
    // Buffered by QProcess and written as the pipe takes it: never blocks.
    co->write(line + tokenLine);

    QProcess *p = co;
    LocalWait wait(interrupt);
    bool died = false;
    auto takeOutput = [&] {
        if (reader->feed(p->readAll()) != ccparse::CoprocessReader::State::Reading)
            wait.done();
    };
    const auto onOutput = QObject::connect(p, &QProcess::readyRead, p, takeOutput);
    const auto onEnd = QObject::connect(p, &QProcess::finished, p, [&] {
        takeOutput();
        if (reader->state() == ccparse::CoprocessReader::State::Reading) {
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
        letGo(false, !change);
        return noAnswer(timeoutText(answerTimeoutMs), change, true);
    }
    if (reader->state() == ccparse::CoprocessReader::State::TooLarge) {
        letGo(false, !change);
        return noAnswer(tooLargeText(), change);
    }
    if (died || reader->state() != ccparse::CoprocessReader::State::Complete) {
        letGo(false);
        // A question is asked again, of a process of its own; a change is
        // never sent twice.
        if (!change)
            return std::nullopt;
        return noAnswer(
            QStringLiteral("cleartool ended before it answered: %1").arg(args.join(QLatin1Char(' '))),
            change);
    }

    CommandResult result;
    result.output = reader->output();
    result.errors = reader->errors();
    if (!reader->hasStatus()) {
        result.status = -1;
        result.hasStatus = false;
        result.lost = change;
        result.errors << QStringLiteral("cleartool's answer could not be read: it gave no status.");
    } else if (!reader->statusInRange()) {
        // Kept as reported: never folded into a number that could read as success.
        result.status = reader->status();
        result.lost = change;
        result.errors << QStringLiteral("cleartool reported the status %1, which is not a status.")
                             .arg(reader->status());
    } else {
        result.status = reader->status();
    }
    return result;
}

CommandResult CCSession::Impl::runOnce(const QStringList &args)
{
    const bool change = !onlyAsks(args);
    CommandResult result;
    QProcess *process = new QProcess;
    process->setStandardInputFile(QProcess::nullDevice());
    platform::ChildSetup setup;
    setup.ignoreBrokenPipe = true;
    platform::applyChildSetup(*process, setup);
    LocalWait wait(interrupt);
    bool failed = false;
    bool tooLarge = false;
    // Read as it comes, so that a huge answer is refused at the cap instead
    // of being kept whole.
    QByteArray out;
    QByteArray err;
    const auto take = [&] {
        out += process->readAllStandardOutput();
        err += process->readAllStandardError();
        if (out.size() + err.size() > kAnswerCapBytes && !tooLarge) {
            tooLarge = true;
            out.clear();
            err.clear();
            wait.done();
        }
    };
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, take);
    QObject::connect(process, &QProcess::readyReadStandardError, process, take);
    QObject::connect(process, &QProcess::finished, process, [&] { wait.done(); });
    QObject::connect(process, &QProcess::errorOccurred, process, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            failed = true;
            wait.done();
        }
    });
    process->start(kProgram, args);
    const LocalWait::Outcome outcome = wait.exec(deadline());
    QObject::disconnect(process, nullptr, nullptr, nullptr);
    if (outcome == LocalWait::Outcome::Interrupted) {
        platform::keepRunning(process);
        throw Interrupted{};
    }
    if (outcome == LocalWait::Outcome::TimedOut || tooLarge) {
        if (change) {
            process->closeReadChannel(QProcess::StandardOutput);
            process->closeReadChannel(QProcess::StandardError);
        } else {
            process->kill();
        }
        platform::keepRunning(process);
        return tooLarge ? noAnswer(tooLargeText(), change)
                        : noAnswer(timeoutText(answerTimeoutMs), change, true);
    }
    std::unique_ptr<QProcess> done(process);
    if (failed) {
        result.status = -1;
        result.started = false;
        result.errors << QStringLiteral("Unable to start cleartool: %1").arg(process->errorString());
        return result;
    }
    take();
    result.output = QString::fromLocal8Bit(out);
    result.errors = errorLines(err);
    if (process->exitStatus() == QProcess::NormalExit) {
        result.status = process->exitCode();
    } else {
        // Ended by a signal: whatever it had done stands, but there is no answer.
        result.status = -1;
        result.hasStatus = false;
        result.signal = process->exitCode(); // the signal's number
        result.lost = change;
        result.errors << QStringLiteral("cleartool ended by signal %1: %2")
                             .arg(result.signal)
                             .arg(args.join(QLatin1Char(' ')));
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
    if (d.actions++ == 0)
        d.actionTimedOut = false;
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
    // A question that hung ends the action's questions; after a change
    // whose answer is lost, ClearCase must still be asked what it holds.
    if (result.timedOut && !result.lost && d->actions > 0)
        d->actionTimedOut = true;
    CommandRecord &record = logged.record();
    record.ran = result.started;
    record.exitCode = result.status;
    record.noStatus = !result.hasStatus && !result.timedOut && result.signal == 0;
    record.crashed = result.signal != 0;
    record.signal = result.signal;
    record.timedOut = result.timedOut;
    record.firstError = result.errors.value(0);
    logged.finish();
    return result;
}
