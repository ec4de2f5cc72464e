// CCSession: runs cleartool commands, through one "cleartool -status"
// co-process while it lives, else one process per command. Nothing here
// blocks: every wait is a local event loop.

#include "base/platform.h"
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

int default_timeout_ms()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("QUILLON_CLEARTOOL_TIMEOUT", &ok);
    return ok && seconds > 0 ? seconds * 1000 : kDefaultAnswerTimeoutMs;
}

// One line of cleartool's diagnostics: an error's text without its prefix
// (the whole line when nothing follows the prefix), nothing for a warning.
std::optional<QString> error_of(QStringView line)
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
QStringList error_lines(const QByteArray &err)
{
    QStringList errors;
    forEachLine(QString::fromLocal8Bit(err), [&errors](QStringView line) {
        if (line.trimmed().isEmpty())
            return;
        if (auto e = error_of(line))
            errors.append(*e);
    });
    return errors;
}

// Subcommands that never ask the user anything: only these go to the
// co-process, where a question would hang the stream. Everything else runs
// in a process of its own whose standard input is the null device.
bool never_prompts(const QStringList &args)
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
bool only_asks(const QStringList &args)
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
std::optional<QByteArray> coprocess_line(const QStringList &args)
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

QString timeout_text(int ms)
{
    return QStringLiteral("cleartool did not answer within %1 seconds.").arg(ms / 1000.0);
}

} // namespace

struct CCSession::Impl {
    bool use_coprocess = true;
    int answer_timeout_ms = default_timeout_ms();
    const Interrupt *interrupt = nullptr;

    QProcess *co = nullptr; // the co-process, or none
    int sent = 0;           // commands sent to it
    QByteArray out;         // its merged output since the last answer
    bool waiting = false;   // a command waits for its answer

    int actions = 0; // nesting depth of actions
    QDeadlineTimer action_deadline;
    bool action_timed_out = false;

    ~Impl() { let_go(true); }

    QDeadlineTimer deadline() const
    {
        return actions > 0 ? action_deadline : QDeadlineTimer(answer_timeout_ms);
    }
    bool ensure_coprocess();
    // Stops using the co-process: it is asked to quit (or ended, when it
    // hangs on a question) and left to finish on its own.
    void let_go(bool ask_to_quit, bool end_it = false);
    std::optional<CommandResult> run_in_coprocess(const QStringList &args, const QByteArray &line);
    CommandResult run_once(const QStringList &args);
};

bool CCSession::Impl::ensure_coprocess()
{
    if (co && co->state() != QProcess::NotRunning)
        return true;
    let_go(false);
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
        delete co;
        co = nullptr;
        return false;
    }
    sent = 0;
    out.clear();
    return true;
}

void CCSession::Impl::let_go(bool ask_to_quit, bool end_it)
{
    if (!co)
        return;
    QProcess *p = co;
    co = nullptr;
    if (p->state() == QProcess::NotRunning) {
        delete p;
        return;
    }
    if (end_it) {
        p->kill();
    } else {
        if (ask_to_quit)
            p->write("quit\n");
        p->closeWriteChannel();
    }
    platform::keepRunning(p);
}

std::optional<CommandResult> CCSession::Impl::run_in_coprocess(const QStringList &args,
                                                               const QByteArray &line)
{
    if (!ensure_coprocess())
        return std::nullopt;
    out.clear();
    co->write(line);
    const int n = ++sent;

    QProcess *p = co;
    LocalWait wait(interrupt);
    std::optional<ccparse::CoprocessAnswer> marker;
    bool died = false;
    auto take_output = [&] {
        out += p->readAll();
        if (const auto answer = ccparse::findAnswer(out, n)) {
            marker = answer;
            wait.done();
        }
    };
    const auto on_output = QObject::connect(p, &QProcess::readyRead, p, take_output);
    const auto on_end = QObject::connect(p, &QProcess::finished, p, [&] {
        take_output();
        if (!marker) {
            died = true;
            wait.done();
        }
    });
    const auto on_error = QObject::connect(p, &QProcess::errorOccurred, p, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart || e == QProcess::Crashed) {
            died = true;
            wait.done();
        }
    });
    waiting = true;
    const LocalWait::Outcome outcome = wait.exec(deadline());
    waiting = false;
    QObject::disconnect(on_output);
    QObject::disconnect(on_end);
    QObject::disconnect(on_error);

    if (outcome == LocalWait::Outcome::Interrupted) {
        let_go(true);
        throw Interrupted{};
    }
    if (outcome == LocalWait::Outcome::TimedOut) {
        // Hung: a question is ended; a change is left to finish by itself.
        let_go(false, only_asks(args));
        CommandResult result;
        result.status = -1;
        result.timedOut = true;
        result.errors << timeout_text(answer_timeout_ms);
        return result;
    }
    if (died || !marker) {
        // It died: this command is answered by a process of its own, the
        // next one by a new co-process.
        let_go(false);
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
            if (auto e = error_of(line))
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

CommandResult CCSession::Impl::run_once(const QStringList &args)
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
        if (only_asks(args))
            process->kill();
        platform::keepRunning(process);
        result.status = -1;
        result.timedOut = true;
        result.errors << timeout_text(answer_timeout_ms);
        return result;
    }
    std::unique_ptr<QProcess> done(process);
    if (failed) {
        result.status = -1;
        result.errors << QStringLiteral("Unable to start cleartool: %1").arg(process->errorString());
        return result;
    }
    result.output = QString::fromLocal8Bit(process->readAllStandardOutput());
    result.errors = error_lines(process->readAllStandardError());
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
    d->use_coprocess = on;
    if (!on)
        d->let_go(true);
}

void CCSession::setAnswerTimeout(int milliseconds)
{
    d->answer_timeout_ms = milliseconds;
}

int CCSession::answerTimeout() const
{
    return d->answer_timeout_ms;
}

void CCSession::setInterrupt(const Interrupt *interrupt)
{
    d->interrupt = interrupt;
}

CCSession::Action::Action(CCSession &session) : m_session(session)
{
    Impl &d = *session.d;
    if (d.actions++ == 0) {
        d.action_deadline = QDeadlineTimer(d.answer_timeout_ms);
        d.action_timed_out = false;
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
    if (d->actions > 0 && d->action_timed_out) {
        CommandResult result;
        result.status = -1;
        result.timedOut = true;
        result.errors << timeout_text(d->answer_timeout_ms);
        return result;
    }
    CommandResult result;
    bool answered = false;
    // A command asked while another one waits for its answer (from a handler
    // run inside that wait) never shares the co-process's stream.
    if (d->use_coprocess && !d->waiting && never_prompts(args)) {
        if (const auto line = coprocess_line(args)) {
            if (auto r = d->run_in_coprocess(args, *line)) {
                result = *std::move(r);
                answered = true;
            }
        }
    }
    if (!answered)
        result = d->run_once(args);
    if (result.timedOut && d->actions > 0)
        d->action_timed_out = true;
    return result;
}
