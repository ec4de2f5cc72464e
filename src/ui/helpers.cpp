#include "ui/helpers.h"

#include "base/files.h"
#include "base/platform.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QListWidget>

bool is_dup_list(const QString &item, const QComboBox *list)
{
    // A fixed-string match ignores case unless asked not to.
    return list->findText(item, Qt::MatchFixedString) >= 0;
}

bool is_dup_list(const QString &item, const QListWidget *list)
{
    return !list->findItems(item, Qt::MatchFixedString).isEmpty();
}

bool file_exists(const QString &path, bool want_dir)
{
    QString error;
    const bool found = fileExists(path, want_dir, &error);
    if (!error.isEmpty())
        showMessage(QStringLiteral("Error determining file exist --> ") + platform::toLocalPath(path) + QStringLiteral("::") + error,
                    MsgIcon::Critical);
    return found;
}

QString shownDate(const QDateTime &when)
{
    return when.isValid() ? when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString daysAgo(const QDateTime &when, const QDateTime &now)
{
    const qint64 days = when.toLocalTime().date().daysTo(now.toLocalTime().date());
    if (days <= 0)
        return QStringLiteral("today");
    if (days == 1)
        return QStringLiteral("yesterday");
    return QStringLiteral("%1 days ago").arg(days);
}

QString statusInWords(const QString &marker)
{
    QString words = marker.contains(QLatin1Char('A'))   ? QStringLiteral("active")
                    : marker.contains(QLatin1Char('C')) ? QStringLiteral("created")
                    : marker.contains(QLatin1Char('U')) ? QStringLiteral("not created")
                                                        : QStringLiteral("status not known");
    if (marker.contains(QLatin1Char('S')))
        words += QStringLiteral(", snapshot");
    return words;
}
