#include "app/mainModule.h"

#include "app/single_instance.h"
#include "base/arguments.h"
#include "base/errors.h"
#include "base/logging.h"
#include "base/platform.h"
#include "site/configrecord.h"
#include "site/required_files.h"
#include "ui/appglobals.h"
#include "ui/artwork.h"
#include "ui/frmMain.h"
#include "ui/messages.h"

#include <QGuiApplication>

namespace {
// Shows what the required-files check met, then its answer.
void warnAboutRequiredFiles(const ConfigRecord &config)
{
    QString msg;
    RequiredFilesProblems problems;
    const bool present = check_required_files(msg, config, config.SSH_CMD, problems);
    for (const auto &[path, why] : problems.unreadable)
        showMessage(QStringLiteral("Error determining file exist --> ") + platform::toLocalPath(path) + QStringLiteral("::") + why,
                    MsgIcon::Critical);
    if (!problems.failure.isEmpty())
        showMessage(QStringLiteral("Error::") + problems.failure + CRLF +
                        QStringLiteral("Failed to check required files::check_required_files()") + CRLF,
                    MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error"));
    if (!present)
        showMessage(msg, MsgIcon::Critical);
}
} // namespace

bool Main()
{
    // The lock lives as long as the application object.
    auto *instance = new SingleInstance(QCoreApplication::instance());
    if (instance->anotherIsRunning()) {
        // The running window comes up instead; said only when it could not
        // be asked.
        if (!instance->handedOver())
            showMessage(QStringLiteral("Quillon is already running"), MsgIcon::Exclamation);
        return false;
    }
    instance->onLaterStart([](const QStringList &words) {
        qCInfo(lcConfig).noquote() << "started again with" << words.join(QLatin1Char(' '))
                                   << "- the running window is shown";
        if (QWidget *w = AppGlobals().mainWindow) {
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
            w->show();
            w->raise();
            w->activateWindow();
        }
    });

    AppGlobalsData &g = AppGlobals();
    QString path;
    try {
        Process_Arguments(g.cfg_file_name);
        path = platform::siteConfigDir(g.cfg_file_name) + QStringLiteral("\\") + g.cfg_file_name;
        frmMain *w = loadMainWindow(g.cfg_file_name);
        w->show();

        warnAboutRequiredFiles(g.config);
    } catch (const std::exception &e) {
        showMessage(QStringLiteral("Error::") + errorDescription(e) + CRLF +
                        QStringLiteral("Failed to process file --> ") + platform::toLocalPath(path) + CRLF +
                        QStringLiteral("Aborting Quillon::Main()") + CRLF + QStringLiteral("Status:"),
                    MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Quillon:Error Encountered..."));
        g.unloadAll();
        return false;
    }
    return true;
}

frmMain *loadMainWindow(const QString &cfg_name)
{
    AppGlobalsData &g = AppGlobals();
    // Every window carries the program's icon; the desktop knows it by its entry.
    QGuiApplication::setWindowIcon(artwork::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillon_works.quillon"));
    set_config_keys(g.config);
    g.config.CFG_FILE = cfg_name;
    // The site's configuration: the first folder that holds the file.
    g.programDir = platform::siteConfigDir(cfg_name);
    auto *w = new frmMain;
    g.mainWindow = w;
    w->readConfiguration(AppGlobals().programDir + QStringLiteral("\\") + cfg_name);
    w->load();
    return w;
}

void Process_Arguments(QString &cfg_name)
{
    // "--" only ends the options; the name follows it.
    QString first = GetParam(1);
    if (first == QLatin1String("--"))
        first = GetParam(2);
    cfg_name = first.isEmpty() ? QStringLiteral("qn.cfg") : first;
}
