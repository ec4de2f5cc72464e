#include "ui/messages.h"

#include "ui/appglobals.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageHandler &handler()
{
    return AppGlobals().messageHandler;
}

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MsgAnswer showMessage(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? APP_TITLE : title;
    if (handler())
        return handler()(text, icon, buttons, shownTitle);

    QMessageBox box(qtIcon(icon), shownTitle, QString(text).replace(CRLF, QStringLiteral("\n")),
                    buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::YesNo) {
        // Every Yes/No question of the program asks before something is
        // lost: Enter and Escape both keep things as they are.
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    const int answer = box.exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

void standardError(const QString &description, int number)
{
    showMessage(QStringLiteral("Error::") + description + CRLF +
                    QStringLiteral("Quillon encountered an error::") + QString::number(number),
                MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error encountered"));
}
