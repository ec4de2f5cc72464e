#include "ui/desktop.h"

#include <QDesktopServices>
#include <QUrl>

void open_url(const QString &address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
