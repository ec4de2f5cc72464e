#include "app/mainModule.h"
#include "ui/appglobals.h"

#include <QApplication>

int main(int argc, char **argv)
{
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
