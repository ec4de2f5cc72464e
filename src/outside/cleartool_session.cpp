// CCSession: runs cleartool command lines, through one "cleartool -status"
// co-process while it lives, else one process per command.

#include "outside/clearcase.h"
#include "outside/platform.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString kProgram = QStringLiteral("cleartool");

constexpr int kDefaultAnswerTimeoutMs = 120'000;
constexpr int kStartTimeoutMs = 30'000;
constexpr int kQuitTimeoutMs = 5'000;

const QLatin1StringView kErrorPrefix("cleartool: Error: ");
const QLatin1StringView kWarningPrefix("cleartool: Warning: ");

// Sorts cleartool's standard error into error texts: the "cleartool: Error: "
// prefix is removed, warnings are left out, any other line is kept whole.
QStringList error_lines(const QByteArray &err)
{
    QStringList errors;
    const QString text = QString::fromLocal8Bit(err);
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(kWarningPrefix))
            continue;
        if (line.startsWith(kErrorPrefix))
            line = line.mid(kErrorPrefix.size());
        errors.append(line.toString());
    }
    return errors;
}

// Subcommands that never ask the user anything: only these go to the
// co-process, where a question would hang the stream. Everything else runs
// in a process of its own whose standard input is the null device.
bool never_prompts(const QString &command_line)
{
    if (command_line.contains(QLatin1Char('\n')) || command_line.contains(QLatin1Char('\r')))
        return false;
    const QStringList words = platform::split_command_line(command_line);
    if (words.isEmpty())
        return false;
    const QString &sub = words.first();
    if (sub.startsWith(QLatin1String("ls")))
        return true;
    static const QSet<QString> quiet = {
        QStringLiteral("catcs"),     QStringLiteral("catcr"),   QStringLiteral("describe"),
        QStringLiteral("desc"),      QStringLiteral("pwv"),     QStringLiteral("hostinfo"),
        QStringLiteral("startview"), QStringLiteral("endview"), QStringLiteral("mktag"),
        QStringLiteral("rmtag"),     QStringLiteral("setcs"),   QStringLiteral("mkview"),
        QStringLiteral("rmview"),
    };
    return quiet.contains(sub);
}

// Where the co-process's marker starts in one stdout line ("<prefix>Command
// <n> returned status <s>"), with the status; -1 when the line has none for
// command number n.
qsizetype find_marker(QByteArrayView line, int n, int *status)
{
    if (line.endsWith('\r'))
        line.chop(1);
    const qsizetype at = line.lastIndexOf(QByteArrayView("Command "));
    if (at < 0)
        return -1;
    static const QRegularExpression marker(QStringLiteral("^Command (\\d+) returned status (-?\\d+)$"));
    const auto m = marker.match(QString::fromLatin1(line.sliced(at)));
    if (!m.hasMatch() || m.captured(1).toInt() != n)
        return -1;
    *status = m.captured(2).toInt();
    return at;
}

} // namespace

struct CCSession::Impl {
    bool use_coprocess = true;
    int answer_timeout_ms = kDefaultAnswerTimeoutMs;
    std::unique_ptr<QProcess> co;
    int sent = 0; // commands sent to the running co-process

    ~Impl() { stop_coprocess(); }

    bool ensure_coprocess();
    void stop_coprocess();
    void kill_coprocess();
    std::optional<CommandResult> run_in_coprocess(const QString &command_line);
    CommandResult run_once(const QString &command_line) const;
};

bool CCSession::Impl::ensure_coprocess()
{
    if (co && co->state() == QProcess::Running)
        return true;
    kill_coprocess();
    auto process = std::make_unique<QProcess>();
    process->setProgram(kProgram);
    process->setArguments({QStringLiteral("-status")});
    process->start();
    if (!process->waitForStarted(kStartTimeoutMs))
        return false;
    co = std::move(process);
    sent = 0;
    return true;
}

void CCSession::Impl::kill_coprocess()
{
    if (!co)
        return;
    if (co->state() != QProcess::NotRunning) {
        co->kill();
        co->waitForFinished(kQuitTimeoutMs);
    }
    co.reset();
}

void CCSession::Impl::stop_coprocess()
{
    if (co && co->state() == QProcess::Running) {
        co->write("quit\n");
        co->closeWriteChannel();
        co->waitForFinished(kQuitTimeoutMs);
    }
    kill_coprocess();
}

std::optional<CommandResult> CCSession::Impl::run_in_coprocess(const QString &command_line)
{
    if (!ensure_coprocess())
        return std::nullopt;
    co->readAllStandardError(); // whatever an earlier command left behind
    co->write(command_line.toLocal8Bit() + '\n');
    const int n = ++sent;

    QByteArray out;
    qsizetype scanned = 0; // out holds no marker before this offset
    QDeadlineTimer deadline(answer_timeout_ms);
    for (;;) {
        out += co->readAllStandardOutput();
        qsizetype newline;
        while ((newline = out.indexOf('\n', scanned)) >= 0) {
            int status = 0;
            const qsizetype at =
                find_marker(QByteArrayView(out).sliced(scanned, newline - scanned), n, &status);
            if (at >= 0) {
                // Error lines written before the marker may still wait in
                // the other pipe: take what is there without waiting.
                co->waitForReadyRead(0);
                CommandResult result;
                result.status = status;
                result.output = QString::fromLocal8Bit(QByteArrayView(out).first(scanned + at));
                result.errors = error_lines(co->readAllStandardError());
                return result;
            }
            scanned = newline + 1;
        }
        if (co->state() != QProcess::Running || deadline.hasExpired())
            break;
        if (!co->waitForReadyRead(int(deadline.remainingTime())) && co->state() == QProcess::Running &&
            deadline.hasExpired())
            break;
    }
    // It died or hung: this command is answered by a process of its own,
    // the next one by a new co-process.
    kill_coprocess();
    return std::nullopt;
}

CommandResult CCSession::Impl::run_once(const QString &command_line) const
{
    CommandResult result;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(kProgram, platform::split_command_line(command_line));
    if (!process.waitForStarted(kStartTimeoutMs)) {
        result.status = -1;
        result.errors << QStringLiteral("Unable to start cleartool: %1").arg(process.errorString());
        return result;
    }
    if (!process.waitForFinished(answer_timeout_ms)) {
        process.kill();
        process.waitForFinished(kQuitTimeoutMs);
        result.status = -1;
        result.errors << QStringLiteral("cleartool did not answer within %1 seconds: %2")
                             .arg(answer_timeout_ms / 1000.0)
                             .arg(command_line);
        return result;
    }
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.errors = error_lines(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit) {
        result.status = process.exitCode();
    } else {
        result.status = -1;
        result.errors << QStringLiteral("cleartool ended abnormally: %1").arg(command_line);
    }
    return result;
}

CCSession::CCSession() : d(std::make_unique<Impl>()) {}

CCSession::~CCSession() = default;

void CCSession::set_use_coprocess(bool on)
{
    d->use_coprocess = on;
    if (!on)
        d->stop_coprocess();
}

void CCSession::set_answer_timeout(int milliseconds)
{
    d->answer_timeout_ms = milliseconds;
}

CommandResult CCSession::run(const QString &command_line)
{
    if (d->use_coprocess && never_prompts(command_line)) {
        if (auto result = d->run_in_coprocess(command_line))
            return *std::move(result);
    }
    return d->run_once(command_line);
}
