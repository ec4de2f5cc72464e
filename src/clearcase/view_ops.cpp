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

QString ownerName(const ViewInfo &view)
{
    const QString owner = view.owner.trimmed();
    const qsizetype cut = std::max(owner.lastIndexOf(QLatin1Char('\\')), owner.lastIndexOf(QLatin1Char('/')));
    return owner.mid(cut + 1);
}

bool ownedBy(const ViewInfo &view, const QString &user)
{
    return !user.isEmpty() && ownerName(view).compare(user, Qt::CaseInsensitive) == 0;
}

namespace {
const QLatin1StringView kNoSuchTag("No matching entries found for view tag");
const QLatin1StringView kNotFoundByUuid("Unable to find view by uuid:");

QStringList lsviewLong(const QString &tag, const QString &region, bool properties = false)
{
    QStringList args{QStringLiteral("lsview"), QStringLiteral("-long")};
    if (properties)
        args << QStringLiteral("-properties");
    if (!region.isEmpty())
        args << QStringLiteral("-region") << region;
    return args << tag;
}

// The block of this tag in an lsview -long answer.
std::optional<ViewInfo> blockOf(const QString &output, const QString &tag)
{
    for (const ViewInfo &info : ccparse::parseLsviewLong(output)) {
        if (info.tag == tag)
            return info;
    }
    return std::nullopt;
}

QString shownCommand(const QStringList &args)
{
    return QStringLiteral("cleartool ") + args.join(QLatin1Char(' '));
}
} // namespace

TagState tagState(ClearTool &tool, const QString &tag, const QString &region, QString *error)
{
    const CommandResult r = tool.run(lsviewLong(tag, region));
    if (r.status == 0 && blockOf(r.output, tag))
        return TagState::Present;
    if (r.status != 0 && !r.lost && !r.timedOut && errorTextOf(r).contains(kNoSuchTag))
        return TagState::Absent;
    if (error)
        *error = errorTextOf(r);
    return TagState::NotKnown;
}

Staleness checkStale(ClearTool &tool, const QString &tag, const QString &region)
{
    Staleness s;
    const CommandResult r = tool.run(lsviewLong(tag, region, true));
    const std::optional<ViewInfo> block = blockOf(r.output, tag);
    if (block)
        s.uuid = block->uuid;
    s.error = r.status == 0 ? QString() : errorTextOf(r);
    if (r.timedOut || r.lost || !r.started)
        s.state = Staleness::State::NotKnown;
    else if (r.status == 0 && block)
        s.state = Staleness::State::Reachable;
    else if (s.error.contains(kNoSuchTag))
        s.state = Staleness::State::Gone;
    else if (block && storageUnreachable(s.error))
        s.state = Staleness::State::Stale;
    else if (const qsizetype at = s.error.indexOf(kNotFoundByUuid); at >= 0) {
        // "Unable to find view by uuid:U, last known at ...": the uuid is the view's.
        s.state = Staleness::State::Unregistered;
        QStringView rest = QStringView(s.error).mid(at + kNotFoundByUuid.size());
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != QLatin1Char(',') && !rest[end].isSpace())
            ++end;
        s.uuid = rest.first(end).toString();
    }
    return s;
}

namespace {
// The tag gone, or why the outcome says otherwise.
RemovalOutcome checkedGone(ClearTool &tool, const QString &tag, const QString &region)
{
    RemovalOutcome outcome;
    QString error;
    switch (tagState(tool, tag, region, &error)) {
    case TagState::Absent: outcome.removed = true; break;
    case TagState::Present:
        outcome.error = QStringLiteral("ClearCase still lists the view tag \"%1\".").arg(tag);
        break;
    case TagState::NotKnown:
        outcome.notKnown = true;
        outcome.error =
            QStringLiteral("ClearCase could not say whether the view tag \"%1\" is gone: %2").arg(tag, error);
        break;
    }
    return outcome;
}

// After a change whose answer is lost: what ClearCase holds now.
RemovalOutcome afterLostRemoval(ClearTool &tool, const QString &tag, const QString &region,
                                const QString &why)
{
    RemovalOutcome outcome = checkedGone(tool, tag, region);
    outcome.lost = true;
    outcome.error = outcome.notKnown ? why + QStringLiteral("\r\n") + outcome.error : why;
    outcome.checkCommand = shownCommand(
        region.isEmpty() ? QStringList{QStringLiteral("lsview"), tag}
                         : QStringList{QStringLiteral("lsview"), QStringLiteral("-region"), region, tag});
    return outcome;
}
} // namespace

RemovalOutcome removeView(ClearCaseApp &, ClearTool &tool, const ViewInfo &view, bool force,
                          const QString &region)
{
    // A view server still running would hold the storage: end it first.
    // When this fails, rmview says what is wrong; when its answer is lost,
    // nothing more is sent.
    if (view.active && !view.snapshot) {
        const QStringList endview{QStringLiteral("endview"), QStringLiteral("-server"), view.tag};
        const CommandResult r = tool.run(endview);
        if (r.lost) {
            RemovalOutcome outcome;
            outcome.lost = true;
            const QStringList ask{QStringLiteral("lsview"), view.tag};
            outcome.checkCommand = shownCommand(ask);
            const CommandResult now = tool.run(ask);
            const QString state =
                now.status != 0
                    ? QStringLiteral("ClearCase could not say whether the view is still active: ") +
                          errorTextOf(now)
                : ccparse::parseLsviewActive(now.output).contains(view.tag)
                    ? QStringLiteral("ClearCase shows the view still active.")
                    : QStringLiteral("ClearCase shows the view no longer active.");
            outcome.error = errorTextOf(r) + QStringLiteral("\r\n") + state +
                            QStringLiteral("\r\nThe view was not removed: rmview was not run.");
            return outcome;
        }
    }
    QStringList rmview{QStringLiteral("rmview")};
    if (force)
        rmview << QStringLiteral("-force");
    rmview << QStringLiteral("-tag") << view.tag;
    const CommandResult r = tool.run(rmview);
    if (r.lost)
        return afterLostRemoval(tool, view.tag, region, errorTextOf(r));
    if (r.status != 0) {
        RemovalOutcome outcome;
        outcome.error = errorTextOf(r);
        // One storage error is not a stale view: the storage is asked again.
        if (storageUnreachable(outcome.error) || outcome.error.contains(kNotFoundByUuid)) {
            outcome.staleness = checkStale(tool, view.tag, region);
            outcome.unreachable =
                outcome.staleness.stale() && (outcome.staleness.uuid == view.uuid || view.uuid.isEmpty());
        }
        return outcome;
    }
    return checkedGone(tool, view.tag, region);
}

CleanUpPlan planCleanUp(ClearTool &tool, const QString &tag, const QString &uuid, const QString &region,
                        bool registered)
{
    if (uuid.isEmpty())
        throw ClearCaseError(QStringLiteral("ClearCase gave no uuid for the view \"%1\".").arg(tag));
    CleanUpPlan plan{tag, uuid, region, {}};
    const QStringList regions = splitTextLines(tool.CmdExec({QStringLiteral("lsregion")}));
    for (const QString &line : regions) {
        const QString other = line.trimmed();
        if (other.isEmpty() || other == region)
            continue;
        const CommandResult r = tool.run(lsviewLong(tag, other));
        const std::optional<ViewInfo> block = blockOf(r.output, tag);
        if (r.status == 0 && block) {
            // Another view's tag of the same name is left alone.
            if (block->uuid == uuid)
                plan.steps << QStringList{QStringLiteral("rmtag"), QStringLiteral("-view"),
                                          QStringLiteral("-region"), other, tag};
        } else if (!errorTextOf(r).contains(kNoSuchTag)) {
            throw ClearCaseError(errorTextOf(r), r.timedOut);
        }
    }
    if (registered)
        plan.steps << QStringList{QStringLiteral("unregister"), QStringLiteral("-view"),
                                  QStringLiteral("-uuid"), uuid};
    plan.steps << QStringList{QStringLiteral("rmview"), QStringLiteral("-force"), QStringLiteral("-all"),
                              QStringLiteral("-uuid"), uuid};
    plan.steps << QStringList{QStringLiteral("rmtag"), QStringLiteral("-view"), QStringLiteral("-region"),
                              region, tag};
    return plan;
}

namespace {
// Why the view is no longer one to clean up, or nothing when it still is.
std::optional<QString> notStale(const Staleness &s, const CleanUpPlan &plan)
{
    switch (s.state) {
    case Staleness::State::Reachable:
        return QStringLiteral("The storage of view --> %1 can be reached again: the view is not stale.")
            .arg(plan.tag);
    case Staleness::State::Gone:
        return QStringLiteral("ClearCase no longer lists the view tag \"%1\".").arg(plan.tag);
    case Staleness::State::NotKnown:
        return QStringLiteral("ClearCase could not say whether view --> %1 is still stale: %2")
            .arg(plan.tag, s.error);
    case Staleness::State::Stale:
    case Staleness::State::Unregistered: break;
    }
    if (!s.uuid.isEmpty() && s.uuid != plan.uuid)
        return QStringLiteral("The view tag \"%1\" now names another view.").arg(plan.tag);
    return std::nullopt;
}

enum class StepState { Done, NotDone, NotKnown };

// After a step whose answer is lost: whether ClearCase holds it as done.
StepState askAfterLost(ClearTool &tool, const QStringList &step, const CleanUpPlan &plan)
{
    const QString &sub = step.first();
    if (sub == QLatin1String("rmtag")) {
        switch (tagState(tool, step.last(), step.at(3))) {
        case TagState::Absent: return StepState::Done;
        case TagState::Present: return StepState::NotDone;
        case TagState::NotKnown: return StepState::NotKnown;
        }
    }
    if (sub == QLatin1String("unregister")) {
        const Staleness s = checkStale(tool, plan.tag, plan.region);
        if (s.state == Staleness::State::Unregistered)
            return StepState::Done;
        return s.state == Staleness::State::Stale ? StepState::NotDone : StepState::NotKnown;
    }
    // rmview -all -uuid: the VOBs' checkouts of the view are gone or not.
    try {
        return viewCheckouts(tool, plan.uuid).isEmpty() ? StepState::Done : StepState::NotDone;
    } catch (const ClearCaseError &) {
        return StepState::NotKnown;
    }
}
} // namespace

RemovalOutcome cleanUpStaleView(ClearCaseApp &, ClearTool &tool, const CleanUpPlan &plan)
{
    RemovalOutcome outcome;
    for (const QStringList &step : plan.steps)
        outcome.stepsLeft << shownCommand(step);
    for (const QStringList &step : plan.steps) {
        // The storage may have come back, or the tag changed, since the
        // question: checked again before each step.
        if (const auto why = notStale(checkStale(tool, plan.tag, plan.region), plan)) {
            outcome.error = *why;
            return outcome;
        }
        const CommandResult r = tool.run(step);
        bool done = r.status == 0;
        if (r.lost) {
            outcome.lost = true;
            const StepState state = askAfterLost(tool, step, plan);
            done = state == StepState::Done;
            outcome.notKnown = state == StepState::NotKnown;
            if (!done) {
                outcome.error = errorTextOf(r) + QStringLiteral("\r\n") +
                                (outcome.notKnown ? QStringLiteral("ClearCase could not say whether it ran: ")
                                                  : QStringLiteral("ClearCase shows it did not run: ")) +
                                shownCommand(step);
                outcome.checkCommand = shownCommand(lsviewLong(plan.tag, plan.region, true));
            }
        } else if (!done && step.first() == QLatin1String("rmview") &&
                   errorTextOf(r).contains(QLatin1String("is registered or known to any VOB"))) {
            done = true; // nothing of it left in the VOBs
        } else if (!done) {
            outcome.error = errorTextOf(r);
        }
        if (!done)
            return outcome;
        outcome.stepsRun << outcome.stepsLeft.takeFirst();
    }
    RemovalOutcome gone = checkedGone(tool, plan.tag, plan.region);
    gone.stepsRun = outcome.stepsRun;
    gone.lost = outcome.lost;
    return gone;
}

ConfigSpecSet setConfigSpec(ClearTool &tool, const QString &tag, const QString &localFile,
                            const QByteArray &text)
{
    ConfigSpecSet outcome;
    const CommandResult r = tool.run({QStringLiteral("setcs"), QStringLiteral("-tag"), tag, localFile});
    outcome.set = r.status == 0;
    if (outcome.set)
        return outcome;
    outcome.error = errorTextOf(r);
    if (!r.lost)
        return outcome;
    outcome.lost = true;
    const QStringList ask{QStringLiteral("catcs"), QStringLiteral("-tag"), tag};
    outcome.checkCommand = shownCommand(ask);
    const CommandResult now = tool.run(ask);
    if (now.status != 0) {
        outcome.notKnown = true;
        outcome.error += QStringLiteral("\r\n") + errorTextOf(now);
        return outcome;
    }
    // cleartool may give the lines back with other line ends.
    const auto lines = [](const QString &t) { return splitTextLines(t); };
    outcome.set = lines(now.output) == lines(QString::fromLocal8Bit(text));
    return outcome;
}
