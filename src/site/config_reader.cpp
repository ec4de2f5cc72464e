#include "site/config_reader.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/logging.h"
#include "base/textfile.h"

void readConfigLines(QIODevice &device, ConfigRecord &rec, QStringList &projects)
{
    // Line by line as it is read: a failure part-way keeps what was read
    // before it.
    LineReader reader(device);
    QByteArray bytes;
    while (reader.next(bytes)) {
        const QString line = decodeText(bytes);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        if (key == QLatin1String("CFG_FILE"))
            continue;
        for (const ConfigKey &k : configKeys()) {
            if (key == QLatin1String(k.name)) {
                rec.*k.field = line.mid(eq + 1);
                if (k.field == &ConfigRecord::PROJECT)
                    projects << rec.PROJECT;
                break;
            }
        }
    }
    if (!reader.error().isEmpty())
        throw QuillonError(reader.error());
}

ConfigReadResult read_config_file(const QString &path, ConfigRecord &rec, const QString &programDir,
                                  const QString &login)
{
    ConfigReadResult result;
    const auto exists = [&result](const QString &file) {
        QString why;
        const bool found = fileExists(file, false, &why);
        if (!why.isEmpty())
            result.unreadable.append({file, why});
        return found;
    };
    if (!exists(path)) {
        qCWarning(lcConfig).noquote() << "no configuration file" << path << "- the defaults are used";
        result.missing = true;
        set_config_defaults(rec);
        return result;
    }
    try {
        set_config_base_defaults(rec);
        const auto file = openTextFile(path);
        readConfigLines(*file, rec, result.projects);
    } catch (const std::exception &e) {
        result.error = errorDescription(e);
        qCWarning(lcConfig).noquote() << "reading" << path << "failed:" << result.error;
        return result;
    }
    qCDebug(lcConfig).noquote() << "read" << path << "(" << result.projects.size() << "projects )";
    result.checked = true;
    result.ntOnly = isWord(rec.IS_INTEROP, "false");
    result.alternateUsable = rec.CFG_FILE_ALTERNATE != QLatin1String("CFG_FILE_ALTERNATE") &&
                             exists(programDir + QStringLiteral("\\") + rec.CFG_FILE_ALTERNATE);
    result.admin = rec.ADMIN.toLower().contains(login.toLower());
    if (!result.alternateUsable)
        qCDebug(lcConfig).noquote() << "no alternate configuration" << rec.CFG_FILE_ALTERNATE << "in" << programDir;
    return result;
}
