#include "clearcase/views.h"

bool view_tag_exists(ClearCaseApp &cc, const QString &vtag)
{
    try {
        cc.View(vtag);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool view_active(ClearTool &tool, const QString &vtag)
{
    try {
        return tool.CmdExec({QStringLiteral("lsview"), vtag}).contains(QLatin1Char('*'));
    } catch (const std::exception &) {
        return false;
    }
}

bool is_view_snapshot(ClearCaseApp &cc, const QString &vtag)
{
    try {
        return cc.View(vtag).IsSnapShot();
    } catch (const std::exception &) {
        return false;
    }
}

TagStates askAboutTags(ClearCaseApp &cc, ClearTool &tool, const QStringList &tags)
{
    TagStates s;
    try {
        s.views = cc.lookupViews(tags);
        s.active = tool.activeTags(tags);
    } catch (const ClearCaseError &e) {
        s.error = e.description();
    }
    return s;
}

QString statusMarker(const TagStates &s, const QString &lowerTag, const QString &typedTag)
{
    if (!s.error.isEmpty())
        return QStringLiteral("?");
    QString status = QStringLiteral("U");
    if (s.active.contains(lowerTag) || s.active.contains(typedTag))
        status = QStringLiteral("A");
    else if (s.views.contains(lowerTag) || s.views.contains(typedTag))
        status = QStringLiteral("C");
    const auto snapshot = [&s](const QString &tag) {
        return s.views.contains(tag) && s.views.value(tag).snapshot;
    };
    if (snapshot(lowerTag) || snapshot(typedTag))
        status += QLatin1Char('S');
    return status;
}

MyViews listMyViews(ClearCaseApp &cc, const QString &region, const QString &tagUser, const QString &unixUser,
                    const std::function<void(const QString &tag)> &found)
{
    MyViews mine;
    const QString tag_user = tagUser.toLower();
    const QString unix_user = unixUser.toLower();
    try {
        const QStringList tags = cc.viewTags(false, region, &mine.error);
        // What is listed, lower-cased: the duplicate test without a scan of
        // the list per view.
        QSet<QString> listed;
        for (const QString &tag : tags) {
            const QString lower = tag.toLower();
            if ((lower.contains(tag_user) || lower.contains(unix_user)) && !listed.contains(lower)) {
                listed.insert(lower);
                mine.tags << tag;
                if (found)
                    found(tag);
            }
        }
    } catch (const ClearCaseError &e) {
        mine.error = e.description();
    }
    return mine;
}
