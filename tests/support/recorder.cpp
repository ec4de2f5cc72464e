#include "support/recorder.h"

MessageRecorder::MessageRecorder()
{
    set_message_handler([this](const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title) {
        shown.append({text, icon, buttons, title});
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return answers.isEmpty() ? MsgAnswer::No : answers.dequeue();
    });
}

MessageRecorder::~MessageRecorder()
{
    set_message_handler({});
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const Entry &e : shown)
        out << e.text;
    return out;
}
