#include "utils/helpers.h"

#include "outside/platform.h"
#include "utils/messages.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>

bool is_dup_list(const QString &item, const QComboBox *list)
{
    for (int i = 0; i < list->count(); ++i) {
        if (QString::compare(list->itemText(i), item, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool is_dup_list(const QString &item, const QListWidget *list)
{
    for (int i = 0; i < list->count(); ++i) {
        if (QString::compare(list->item(i)->text(), item, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString replace_char(const QString &find, const QString &repl, const QString &s)
{
    if (find.size() != 1)
        return s;
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c == find.at(0))
            out += repl;
        else
            out += c;
    }
    return out;
}

QString strip_non_ansi(const QString &s)
{
    // A character counts when the 8-bit code page has a single byte for it
    // in 1..255; Latin-1 is that code page here.
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c.unicode() >= 1 && c.unicode() <= 255)
            out += c;
    }
    return out;
}

QString upto_char(const QString &delim, const QString &s)
{
    if (delim.size() != 1)
        return s;
    const qsizetype at = s.indexOf(delim.at(0));
    return at < 0 ? s : s.left(at + 1);
}

QString lf_to_crlf(const QString &s)
{
    QString out;
    out.reserve(s.size() + s.size() / 16);
    for (const QChar c : s) {
        if (c == QLatin1Char('\n'))
            out += QLatin1String("\r\n");
        else
            out += c;
    }
    return out;
}

bool file_exists(const QString &path, bool want_dir)
{
    const QString local = platform::to_local_path(path);
    const qsizetype slash = local.lastIndexOf(QLatin1Char('/'));
    const QString dir =
        slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : local.left(slash));
    const QString pattern = local.mid(slash + 1);

    QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    if (want_dir)
        filters |= QDir::Dirs;

    const QFileInfo dir_info(dir);
    if (!dir_info.exists())
        return false;
    if (!dir_info.isDir())
        return false;
    if (!dir_info.isReadable() || !dir_info.isExecutable()) {
        msg_box(QStringLiteral("Error determining file exist --> ") + path + QStringLiteral("::") +
                    QStringLiteral("Permission denied"),
                MsgIcon::Critical);
        return false;
    }

    const bool wildcard = pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
    if (!pattern.isEmpty() && !wildcard) {
        const QFileInfo fi(local);
        if (!fi.exists() || fi.isHidden())
            return false;
        return fi.isFile() || (want_dir && fi.isDir());
    }
    QDir d(dir);
    const QStringList found =
        pattern.isEmpty() ? d.entryList(filters) : d.entryList(QStringList{pattern}, filters);
    return !found.isEmpty();
}
