#include "clearcase/view_ops.h"

#include "base/textfile.h"
#include "clearcase/views.h"

namespace ccparse {

QList<Checkout> parseCheckouts(const QString &text, const QString &uuid)
{
    QList<Checkout> checkouts;
    if (uuid.isEmpty())
        return checkouts;
    forEachLine(text, [&](QStringView line) {
        // "<uuid> <reserved|unreserved> <date> <path>": the path is the rest
        // of the line, blanks included.
        if (!line.startsWith(uuid) || line.size() <= uuid.size() || line[uuid.size()] != QLatin1Char(' '))
            return;
        QStringView rest = line.mid(uuid.size() + 1);
        const qsizetype kindEnd = rest.indexOf(QLatin1Char(' '));
        if (kindEnd < 0)
            return;
        const QStringView kind = rest.left(kindEnd);
        rest = rest.mid(kindEnd + 1);
        const qsizetype dateEnd = rest.indexOf(QLatin1Char(' '));
        if (dateEnd < 0 || dateEnd + 1 >= rest.size())
            return;
        Checkout c;
        c.reserved = kind != QLatin1String("unreserved");
        c.dateText = rest.left(dateEnd).toString();
        c.date = parseDate(c.dateText);
        c.path = rest.mid(dateEnd + 1).toString();
        checkouts.append(std::move(c));
    });
    return checkouts;
}

} // namespace ccparse

QList<Checkout> viewCheckouts(ClearTool &tool, const QString &uuid)
{
    const QString listing = tool.CmdExec(
        {QStringLiteral("lsco"), QStringLiteral("-avobs"), QStringLiteral("-fmt"), kCheckoutFormat});
    return ccparse::parseCheckouts(listing, uuid);
}

bool RemovalCheck::nothingToLose() const
{
    return checkouts && checkouts->isEmpty() && privateError.isEmpty() && privateFiles.value_or(0) == 0;
}

RemovalCheck checkRemoval(ClearCaseApp &cc, ClearTool &tool, const QString &tag)
{
    RemovalCheck check;
    check.view = cc.View(tag).info();
    try {
        check.checkouts = viewCheckouts(tool, check.view.uuid);
    } catch (const ClearCaseError &e) {
        check.checkoutsError = e.description();
    }
    // lsprivate works in dynamic views only.
    if (!check.view.snapshot) {
        try {
            const QString files = tool.CmdExec(
                {QStringLiteral("lsprivate"), QStringLiteral("-tag"), tag, QStringLiteral("-other")});
            int count = 0;
            forEachLine(files, [&count](QStringView line) {
                if (!line.trimmed().isEmpty())
                    ++count;
            });
            check.privateFiles = count;
        } catch (const ClearCaseError &e) {
            check.privateError = e.description();
        }
    }
    return check;
}

bool storageUnreachable(const QString &error)
{
    return error.contains(QLatin1String("view storage directory or control files unavailable"));
}

bool ownedBy(const ViewInfo &view, const QString &user)
{
    QString owner = view.owner.trimmed();
    const qsizetype cut = std::max(owner.lastIndexOf(QLatin1Char('\\')), owner.lastIndexOf(QLatin1Char('/')));
    owner = owner.mid(cut + 1);
    return !user.isEmpty() && owner.compare(user, Qt::CaseInsensitive) == 0;
}

namespace {
// The tag gone, or why the outcome says otherwise.
RemovalOutcome checkedGone(ClearCaseApp &cc, const QString &tag)
{
    RemovalOutcome outcome;
    outcome.removed = !view_tag_exists(cc, tag);
    if (!outcome.removed)
        outcome.error = QStringLiteral("ClearCase still lists the view tag \"%1\".").arg(tag);
    return outcome;
}
} // namespace

RemovalOutcome removeView(ClearCaseApp &cc, ClearTool &tool, const ViewInfo &view, bool force)
{
    RemovalOutcome outcome;
    try {
        // A view server still running would hold the storage: end it first.
        // When this fails, rmview says what is wrong.
        if (view.active && !view.snapshot) {
            try {
                tool.CmdExec({QStringLiteral("endview"), QStringLiteral("-server"), view.tag});
            } catch (const ClearCaseError &) {
            }
        }
        QStringList rmview{QStringLiteral("rmview")};
        if (force)
            rmview << QStringLiteral("-force");
        rmview << QStringLiteral("-tag") << view.tag;
        tool.CmdExec(rmview);
    } catch (const ClearCaseError &e) {
        outcome.error = e.description();
        outcome.unreachable = storageUnreachable(outcome.error);
        return outcome;
    }
    return checkedGone(cc, view.tag);
}

RemovalOutcome cleanUpStaleView(ClearCaseApp &cc, ClearTool &tool, const ViewInfo &view)
{
    RemovalOutcome outcome;
    if (view.uuid.isEmpty()) {
        outcome.error = QStringLiteral("ClearCase gave no uuid for the view \"%1\".").arg(view.tag);
        return outcome;
    }
    const QList<QStringList> steps = {
        {QStringLiteral("rmtag"), QStringLiteral("-view"), QStringLiteral("-all"), view.tag},
        {QStringLiteral("unregister"), QStringLiteral("-view"), QStringLiteral("-uuid"), view.uuid},
        {QStringLiteral("rmview"), QStringLiteral("-force"), QStringLiteral("-all"), QStringLiteral("-uuid"),
         view.uuid},
    };
    for (const QStringList &step : steps) {
        try {
            tool.CmdExec(step);
        } catch (const ClearCaseError &e) {
            outcome.error = e.description();
            return outcome;
        }
    }
    return checkedGone(cc, view.tag);
}

void setConfigSpec(ClearTool &tool, const QString &tag, const QString &localFile)
{
    tool.CmdExec({QStringLiteral("setcs"), QStringLiteral("-tag"), tag, localFile});
}
