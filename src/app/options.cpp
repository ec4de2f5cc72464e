#include "app/options.h"

#include "base/logging.h"
#include "base/platform.h"

#include <QSet>

namespace {

const QString USAGE = QStringLiteral("Usage: quillon [OPTION]... [CONFIGURATION-FILE]\n");

QString helpText()
{
    const QString version = QStringLiteral(QUILLON_VERSION_TEXT);
    return USAGE +
           QStringLiteral(
               "Create, inspect, start and remove ClearCase views from your site's view templates.\n"
               "\n"
               "  -h, --help       show this help and exit\n"
               "  -v, --version    show the version (") +
           version +
           QStringLiteral(
               ") and exit\n"
               "  --               end of the options: the next word is the configuration file\n"
               "\n"
               "CONFIGURATION-FILE is the name of the site's configuration file (qn.cfg unless\n"
               "given). It is looked for, in this order, in:\n"
               "  - the folder named by QUILLON_PROGRAM_DIR,\n"
               "  - the program's own folder,\n"
               "  - quillon/ in each folder of XDG_CONFIG_DIRS (/etc/xdg unless set).\n"
               "The alternate configuration file it names is looked for beside it.\n"
               "\n"
               "Environment:\n"
               "  QUILLON_PROGRAM_DIR        a folder for the configuration files\n"
               "  QUILLON_UNC_ROOT           where \\\\HOST\\share paths are reached (/net unless set)\n"
               "  QUILLON_CLEARTOOL_TIMEOUT  seconds cleartool may take to answer one command\n"
               "                             (60 unless set)\n"
               "  CLEARCASE_PRIMARY_GROUP    the project chosen at start\n"
               "  QT_LOGGING_RULES           e.g. \"quillon.*=true\": log every program started\n"
               "                             (quillon.process, quillon.clearcase, quillon.config)\n"
               "\n"
               "Qt's own options (-platform, -style, ...) are accepted as well.\n"
               "Exit status: 0, or 2 when the command line is wrong.\n"
               "More in quillon(1) and in Help > Content.\n");
}

// Qt's own options, and whether each takes a value.
bool isQtOption(const QString &word, bool *takesValue)
{
    static const QSet<QString> withValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("style"),           QStringLiteral("stylesheet"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("title"),           QStringLiteral("name"),
    };
    static const QSet<QString> flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                        QStringLiteral("nograb"), QStringLiteral("dograb"),
                                        QStringLiteral("sync")};
    QString name = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype eq = name.indexOf(QLatin1Char('='));
    if (eq >= 0)
        name.truncate(eq);
    *takesValue = eq < 0 && withValue.contains(name);
    return withValue.contains(name) || flags.contains(name);
}

EarlyExit mistake(const QString &what)
{
    return EarlyExit{2, QString(),
                     QStringLiteral("quillon: ") + what + QLatin1Char('\n') + USAGE +
                         QStringLiteral("Try 'quillon --help' for more.\n")};
}

} // namespace

std::optional<EarlyExit> handleOptions(const QStringList &arguments)
{
    int names = 0;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        // "--" ends the options: what follows are names, dashes or not.
        if (a == QLatin1String("--") && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded) {
            if (++names > 1)
                qCDebug(lcConfig) << "ignored on the command line:" << a;
            continue;
        }
        if (a == QLatin1String("-h") || a == QLatin1String("--help"))
            return EarlyExit{0, helpText(), QString()};
        if (a == QLatin1String("-v") || a == QLatin1String("--version"))
            return EarlyExit{0, QStringLiteral("Quillon " QUILLON_VERSION_TEXT "\n"), QString()};
        bool takesValue = false;
        if (a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            if (!isQtOption(a, &takesValue))
                return mistake(QStringLiteral("unknown option '") + a + QStringLiteral("'"));
            if (takesValue && ++i >= arguments.size())
                return mistake(QStringLiteral("option '") + a + QStringLiteral("' needs a value"));
            continue;
        }
        // Words after the configuration file are ignored, as they always were.
        if (++names > 1)
            qCDebug(lcConfig) << "ignored on the command line:" << a;
    }
    return std::nullopt;
}
