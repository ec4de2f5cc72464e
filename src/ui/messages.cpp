#include "ui/messages.h"

#include "ui/appglobals.h"

#include <QApplication>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>

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

MsgAnswer safeAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::RemoveKeep:
    case MsgButtons::RemoveKeepShow: return MsgAnswer::Keep;
    }
    return MsgAnswer::No;
}

MsgAnswer showMessage(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? APP_TITLE : title;
    if (handler())
        return handler()(text, icon, buttons, shownTitle);

    QMessageBox box(qtIcon(icon), shownTitle, QString(text).replace(CRLF, QStringLiteral("\n")),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // Every question of the program asks before something is lost: Enter
    // and Escape both keep things as they are.
    QHash<QAbstractButton *, MsgAnswer> answers;
    const auto add = [&](QAbstractButton *button, MsgAnswer answer) { answers.insert(button, answer); };
    switch (buttons) {
    case MsgButtons::Ok: add(box.addButton(QMessageBox::Ok), MsgAnswer::Ok); break;
    case MsgButtons::YesNo:
        add(box.addButton(QMessageBox::Yes), MsgAnswer::Yes);
        add(box.addButton(QMessageBox::No), MsgAnswer::No);
        break;
    case MsgButtons::RemoveKeep:
    case MsgButtons::RemoveKeepShow:
        add(box.addButton(QStringLiteral("Remove View"), QMessageBox::DestructiveRole), MsgAnswer::Remove);
        if (buttons == MsgButtons::RemoveKeepShow)
            add(box.addButton(QStringLiteral("Show Checkouts\u2026"), QMessageBox::ActionRole),
                MsgAnswer::ShowCheckouts);
        add(box.addButton(QStringLiteral("Keep View"), QMessageBox::RejectRole), MsgAnswer::Keep);
        break;
    }
    for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
        if (it.value() == safeAnswer(buttons)) {
            box.setDefaultButton(qobject_cast<QPushButton *>(it.key()));
            box.setEscapeButton(it.key());
        }
    }
    box.exec();
    return answers.value(box.clickedButton(), safeAnswer(buttons));
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
