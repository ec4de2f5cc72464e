// The Application, ClearTool and view objects, answered by cleartool.

#include "clearcase/clearcase.h"

namespace {

// A command line stays below this length; longer tag lists are split.
constexpr qsizetype kMaxCommandLine = 32 * 1024;

[[noreturn]] void fail(const CommandResult &result)
{
    throw ClearCaseError(errorTextOf(result), result.timedOut, result.lost);
}

CommandResult runChecked(CCSession &session, const QStringList &args)
{
    CommandResult result = session.run(args);
    if (result.status != 0)
        fail(result);
    return result;
}

// The distinct tags, in their first order.
QStringList distinct(const QStringList &tags)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &tag : tags) {
        if (!tag.isEmpty() && !seen.contains(tag)) {
            seen.insert(tag);
            out.append(tag);
        }
    }
    return out;
}

// Runs "<command> t1 t2 ..." for the tags, as few times as the line length
// allows, and hands each answer to take(result, tags of that command).
template <typename Take>
void runBatched(CCSession &session, const QStringList &command, const QStringList &tags, Take take)
{
    const QStringList all = distinct(tags);
    qsizetype i = 0;
    while (i < all.size()) {
        QStringList args = command;
        qsizetype length = command.join(QLatin1Char(' ')).size();
        QStringList chunk;
        do {
            length += 1 + all[i].size() + 2;
            args.append(all[i]);
            chunk.append(all[i]);
            ++i;
        } while (i < all.size() && length + 1 + all[i].size() + 2 <= kMaxCommandLine);
        take(session.run(args), chunk);
    }
}

// A batch answer with a non-zero status is the normal answer when some tags
// are unknown (an error line names each of them). When nothing was listed
// and no error line names one of the tags, the command as a whole failed.
void checkBatch(const CommandResult &result, bool listedSomething, const QStringList &chunk)
{
    if (result.status == 0 || listedSomething)
        return;
    for (const QString &error : result.errors) {
        for (const QString &tag : chunk) {
            if (error.contains(QLatin1Char('"') + tag + QLatin1Char('"')))
                return;
        }
    }
    fail(result);
}

} // namespace

QString errorTextOf(const CommandResult &result)
{
    if (!result.errors.isEmpty())
        return result.errors.join(QLatin1String("\r\n"));
    return QStringLiteral("cleartool returned status %1").arg(result.status);
}

QString CCView::ConfigSpec() const
{
    return runChecked(*m_session, {QStringLiteral("catcs"), QStringLiteral("-tag"), m_info.tag}).output;
}

QString ClearTool::CmdExec(const QStringList &args)
{
    return runChecked(*m_session, args).output;
}

CommandResult ClearTool::run(const QStringList &args)
{
    return m_session->run(args);
}

QSet<QString> ClearTool::activeTags(const QStringList &tags)
{
    QSet<QString> active;
    runBatched(*m_session, {QStringLiteral("lsview")}, tags,
               [&](const CommandResult &result, const QStringList &chunk) {
                   checkBatch(result, !result.output.trimmed().isEmpty(), chunk);
                   const QSet<QString> marked = ccparse::parseLsviewActive(result.output);
                   for (const QString &tag : chunk) {
                       if (marked.contains(tag))
                           active.insert(tag);
                   }
               });
    return active;
}

QStringList ClearCaseApp::viewTags(bool failOnError, const QString &region, QString *error)
{
    const CommandResult result = m_session->run(
        {QStringLiteral("lsview"), QStringLiteral("-short"), QStringLiteral("-region"), region});
    QStringList tags = ccparse::parseLsviewShort(result.output);
    if (result.status != 0) {
        if (failOnError || tags.isEmpty() || !error)
            fail(result);
        *error = errorTextOf(result);
    }
    return tags;
}

CCView ClearCaseApp::View(const QString &tag)
{
    if (tag.trimmed().isEmpty())
        throw ClearCaseError(QStringLiteral("No view tag given."));
    const CommandResult result =
        runChecked(*m_session, {QStringLiteral("lsview"), QStringLiteral("-long"), tag});
    for (ViewInfo &info : ccparse::parseLsviewLong(result.output)) {
        if (info.tag == tag)
            return CCView(*m_session, std::move(info));
    }
    throw ClearCaseError(QStringLiteral("cleartool listed no view with the tag \"%1\".").arg(tag));
}

QHash<QString, ViewInfo> ClearCaseApp::lookupViews(const QStringList &tags, bool withDates)
{
    QHash<QString, ViewInfo> views;
    QStringList command{QStringLiteral("lsview"), QStringLiteral("-long")};
    if (withDates)
        command << QStringLiteral("-properties");
    runBatched(*m_session, command, tags, [&](const CommandResult &result, const QStringList &chunk) {
        QList<ViewInfo> listed = ccparse::parseLsviewLong(result.output);
        checkBatch(result, !listed.isEmpty(), chunk);
        const QSet<QString> asked(chunk.cbegin(), chunk.cend());
        for (ViewInfo &info : listed) {
            if (asked.contains(info.tag) && !views.contains(info.tag))
                views.insert(info.tag, std::move(info));
        }
    });
    return views;
}
