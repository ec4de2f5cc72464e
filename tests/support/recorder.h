#pragma once

#include "ui/messages.h"

#include <QList>

#include <QQueue>
#include <QString>
#include <functional>

// Installs itself as the message seam for its lifetime: keeps every message
// box the program shows and answers each from a queue (OK boxes need no
// answer; a question without a scripted answer gets the safe one: No, Keep).
class MessageRecorder {
public:
    struct Entry {
        QString text;
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString title = QStringLiteral("Quillon");
        bool operator==(const Entry &) const = default;
    };

    MessageRecorder();
    ~MessageRecorder();

    QList<Entry> shown;
    QQueue<MsgAnswer> answers;
    // Called with each box while it is up, before it is answered.
    std::function<void(const Entry &)> whileShown;

    // The texts shown, in order.
    QStringList texts() const;
    void clear() { shown.clear(); }
};

using Msg = MessageRecorder::Entry;

// For QCOMPARE of recorded boxes: text, icon, buttons and title.
char *toString(const MessageRecorder::Entry &e);
