#include "app/mainModule.h"
#include "app/options.h"
#include "ui/appglobals.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    // The help, the version and mistakes need no display: they are answered
    // before anything of the desktop starts.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto early = handleOptions(arguments)) {
        std::fputs(early->out.toLocal8Bit().constData(), stdout);
        std::fputs(early->err.toLocal8Bit().constData(), stderr);
        return early->status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    if (!Main())
        return 0;
    // The main window's close ends every wait inside it first (they unwind
    // to their handlers), so that the windows go only once nothing uses them.
    const int status = QApplication::exec();
    AppGlobals().unloadAll();
    return status;
}
