#include "ui/desktop.h"

#include <QDesktopServices>
#include <QUrl>

void openUrl(const QString &address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
