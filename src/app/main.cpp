#include "main/mainModule.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    if (!Main())
        return 0;
    return QApplication::exec();
}
