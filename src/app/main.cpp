#include "app/mainModule.h"
#include "app/options.h"
#include "base/platform.h"
#include "ui/appglobals.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <tuple>

int main(int argc, char **argv)
{
    // The help, the version and mistakes need no display: they are answered
    // before anything of the desktop starts.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto early = handleOptions(arguments)) {
        platform::useStartersConsole();
        std::fputs(early->out.toLocal8Bit().constData(), stdout);
        std::fputs(early->err.toLocal8Bit().constData(), stderr);
        return early->status;
    }
    // Without a display the platform cannot start: one line says so, and
    // the status is 2, as for a wrong command line. What Qt says while it
    // starts is held back until it has started, and then passed on.
    static QtMessageHandler qtOwn = nullptr;
    static QList<std::tuple<QtMsgType, QString>> heldBack;
    qtOwn = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtFatalMsg) {
            std::fputs("quillon: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)\n", stderr);
            std::_Exit(2);
        }
        heldBack.append({type, text});
    });
    QApplication app(argc, argv);
    qInstallMessageHandler(qtOwn);
    for (const auto &[type, text] : std::as_const(heldBack))
        if (qtOwn)
            qtOwn(type, QMessageLogContext(), text);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    if (!Main())
        return 0;
    // The main window's close ends every wait inside it first (they unwind
    // to their handlers), so that the windows go only once nothing uses them.
    const int status = QApplication::exec();
    AppGlobals().unloadAll();
    return status;
}
