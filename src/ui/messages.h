#pragma once

#include <QString>

#include <functional>

// The one way the program shows a message box. Nothing else constructs a
// QMessageBox; tests install a handler that records each box and answers it.

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// YesNo: No is the default button and the answer to Escape.
// RemoveKeep: "Remove View" and "Keep View", Keep the default and the answer
// to Escape; RemoveKeepShow adds "Show Checkouts…".
enum class MsgButtons { Ok, YesNo, RemoveKeep, RemoveKeepShow };
enum class MsgAnswer { Ok, Yes, No, Remove, Keep, ShowCheckouts };

// The answer a box gives to Enter and Escape.
MsgAnswer safeAnswer(MsgButtons buttons);

// The title of every box that names none.
inline const QString APP_TITLE = QStringLiteral("Quillon");

// Line break inside message texts.
inline const QString CRLF = QStringLiteral("\r\n");

// Ends a message about a failed command: where the user finds what ran.
inline const QString LOG_HINT = QStringLiteral("\r\n\r\n(Help > Command Log shows what Quillon ran.)");

// Shows a modal message box over the active window and returns the answer.
// An empty title shows APP_TITLE.
MsgAnswer showMessage(const QString &text, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
                      const QString &title = QString());

using MessageHandler =
    std::function<MsgAnswer(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)>;

// Replaces the real message boxes; an empty handler restores them.
void setMessageHandler(MessageHandler handler);

// The main window's standard error message: "Error::" + description + CR LF
// + "Quillon encountered an error::" + number, critical icon, title
// "Error encountered".
void standardError(const QString &description, int number);
