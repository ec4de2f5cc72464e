#include "base/command_log.h"

#include "base/textfile.h"

namespace {

struct Log {
    std::deque<CommandRecord> entries;
    std::function<void()> listener;
};

Log &theLog()
{
    static Log log;
    return log;
}

const QLoggingCategory &categoryOf(CommandRecord::Source source)
{
    return source == CommandRecord::Source::ClearCase ? lcClearCase() : lcProcess();
}

} // namespace

QString CommandRecord::outcome() const
{
    if (!ran)
        return QStringLiteral("could not start: ") + firstError;
    if (detached)
        return QStringLiteral("started, not waited for");
    if (interrupted)
        return QStringLiteral("left to finish by itself after %1 ms").arg(durationMs);
    QString text;
    if (timedOut)
        text = QStringLiteral("no answer after %1 ms").arg(durationMs);
    else if (crashed && signal != 0)
        text = QStringLiteral("ended by signal %1 after %2 ms").arg(signal).arg(durationMs);
    else if (crashed)
        text = QStringLiteral("ended abnormally after %1 ms").arg(durationMs);
    else if (noStatus)
        text = QStringLiteral("no status after %1 ms").arg(durationMs);
    else
        text = QStringLiteral("exit %1 in %2 ms").arg(exitCode).arg(durationMs);
    if (!firstError.isEmpty())
        text += QStringLiteral(": ") + firstError;
    return text;
}

CommandRun::CommandRun(CommandRecord::Source source, QString command)
{
    m_record.source = source;
    m_record.command = std::move(command);
    m_record.started = QDateTime::currentDateTime();
    m_clock.start();
    qCDebug(categoryOf(source)).noquote() << "start:" << m_record.command;
}

CommandRun::~CommandRun()
{
    // Gone without an outcome: the wait was interrupted, and the program
    // goes on by itself.
    if (!m_finished) {
        m_record.ran = true;
        m_record.interrupted = true;
        finish();
    }
}

void CommandRun::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_record.durationMs = m_clock.elapsed();
    commandlog::add(m_record);
}

namespace commandlog {

const std::deque<CommandRecord> &entries()
{
    return theLog().entries;
}

void add(CommandRecord record)
{
    const QLoggingCategory &category = categoryOf(record.source);
    if (record.failed())
        qCWarning(category).noquote() << record.command << "->" << record.outcome();
    else
        qCDebug(category).noquote() << record.command << "->" << record.outcome();
    Log &log = theLog();
    log.entries.push_back(std::move(record));
    while (log.entries.size() > kCommandLogSize)
        log.entries.pop_front();
    if (log.listener)
        log.listener();
}

void clear()
{
    theLog().entries.clear();
}

void setListener(std::function<void()> listener)
{
    theLog().listener = std::move(listener);
}

QString firstLine(QStringView text)
{
    QString first;
    forEachLine(text, [&first](QStringView line) {
        if (first.isEmpty() && !line.trimmed().isEmpty())
            first = line.trimmed().toString();
    });
    return first;
}

} // namespace commandlog
