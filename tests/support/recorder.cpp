#include "support/recorder.h"

#include <QtTest>

MessageRecorder::MessageRecorder()
{
    setMessageHandler([this](const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title) {
        shown.append({text, icon, buttons, title});
        if (whileShown)
            whileShown(shown.last());
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return answers.isEmpty() ? safeAnswer(buttons) : answers.dequeue();
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessageHandler({});
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const Entry &e : shown)
        out << e.text;
    return out;
}

char *toString(const MessageRecorder::Entry &e)
{
    static const char *const icons[] = {"None", "Critical", "Question", "Exclamation", "Information"};
    static const char *const buttons[] = {"Ok", "YesNo", "RemoveKeep", "RemoveKeepShow"};
    const QString text = QStringLiteral("{\"%1\", %2, %3, \"%4\"}")
                             .arg(QString(e.text).replace(QLatin1String("\r\n"), QLatin1String("\\r\\n")))
                             .arg(QLatin1String(icons[int(e.icon)]))
                             .arg(QLatin1String(buttons[int(e.buttons)]))
                             .arg(e.title);
    return qstrdup(text.toUtf8().constData());
}
