#include "app/options.h"

#include "base/logging.h"
#include "base/platform.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

const QString USAGE = QStringLiteral("Usage: quillon [OPTION]... [CONFIGURATION-FILE]\n");

QString orNone(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("none") : value;
}

QString orAsTheyAre(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("as they are") : value;
}

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
           QStringLiteral(") and exit\n"
                          "  --               end of the options: the next word is the configuration file\n"
                          "\n"
                          "CONFIGURATION-FILE is the name of the site's configuration file (qn.cfg unless\n"
                          "given). It is looked for, in this order, in:\n"
                          "  - the folder named by QUILLON_PROGRAM_DIR,\n"
                          "  - the program's own folder,\n"
                          "  - quillon/ in each folder of XDG_CONFIG_DIRS (") +
           orNone(platform::defaultSystemConfigDirs()) +
           QStringLiteral(" unless set).\n"
                          "The alternate configuration file it names is looked for beside it.\n"
                          "\n"
                          "Environment:\n"
                          "  QUILLON_PROGRAM_DIR        a folder for the configuration files\n"
                          "  QUILLON_UNC_ROOT           where \\\\HOST\\share paths are reached (") +
           orAsTheyAre(platform::defaultUncRoot()) +
           QStringLiteral(
               " unless set)\n"
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

// Qt's own options, let through to QApplication: those that take a value, and the flags.
const QStringList QT_WITH_VALUE = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
    QStringLiteral("style"),           QStringLiteral("stylesheet"),
    QStringLiteral("display"),         QStringLiteral("geometry"),
    QStringLiteral("title"),           QStringLiteral("name"),
};
const QStringList QT_FLAGS = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                              QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};

// The option's name as the parser knows it: the word without its dashes and any "=value".
QString optionName(const QString &word)
{
    QString name = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype eq = name.indexOf(QLatin1Char('='));
    return eq < 0 ? name : name.left(eq);
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
    QCommandLineParser parser;
    // One dash or two: "-style fusion" is Qt's word as much as "--style=fusion".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});
    for (const QString &name : QT_WITH_VALUE)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    for (const QString &name : QT_FLAGS)
        parser.addOption(QCommandLineOption(name));
    const bool parsed = parser.parse(arguments);

    // The help and the version are answered even beside a mistake.
    if (parser.isSet(help))
        return EarlyExit{0, helpText(), QString()};
    if (parser.isSet(version))
        return EarlyExit{0, QStringLiteral("Quillon " QUILLON_VERSION_TEXT "\n"), QString()};
    if (!parsed) {
        // The words before "--" are the ones read as options.
        const qsizetype end = arguments.indexOf(QStringLiteral("--"), 1);
        const QStringList words = arguments.mid(1, end < 0 ? -1 : end - 1);
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            for (const QString &w : words)
                if (w.size() > 1 && w.startsWith(QLatin1Char('-')) && optionName(w) == unknown.first())
                    return mistake(QStringLiteral("unknown option '") + w + QStringLiteral("'"));
        }
        // An option that wants a value can only miss it at the end.
        if (!words.isEmpty() && QT_WITH_VALUE.contains(optionName(words.last())) &&
            !words.last().contains(QLatin1Char('=')))
            return mistake(QStringLiteral("option '") + words.last() + QStringLiteral("' needs a value"));
        for (const QString &w : words)
            if (w.startsWith(QLatin1Char('-')) && w.contains(QLatin1Char('=')) &&
                QT_FLAGS.contains(optionName(w)))
                return mistake(QStringLiteral("option '") + w + QStringLiteral("' takes no value"));
        return mistake(parser.errorText());
    }
    // Words after the configuration file are ignored, as they always were.
    const QStringList names = parser.positionalArguments();
    for (qsizetype i = 1; i < names.size(); ++i)
        qCDebug(lcConfig) << "ignored on the command line:" << names.at(i);
    return std::nullopt;
}
