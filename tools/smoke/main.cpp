// The demo's smoke run: starts Quillon on the demo site as the program does,
// chooses the project as a user would (the project box opened, the project
// taken from its list with the keys), waits until the user's views are
// listed and the buttons that act on them are enabled, prints what it saw
// and ends with status 0. Anything else (a message box, a stuck window, a
// list that stays empty) ends it with status 1 and says what was missing.
// Usage: quillon-demo-smoke [configuration file]   (with the demo site's
// environment set; tools/demo.sh runs it when QUILLON_DEMO_SMOKE=1)
#include "app/mainModule.h"
#include "support/gui.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/messages.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

const char *const ACTION_BUTTONS[] = {"refreshViewBut", "viewBut",   "removeViewBut",
                                      "refreshBut",     "detailBut", "createViewBut"};

QStringList messages;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString enabledButtons(const Gui &gui)
{
    QStringList on;
    for (const char *name : ACTION_BUTTONS) {
        if (gui.find<QPushButton>(QLatin1String(name))->isEnabled())
            on << QLatin1String(name);
    }
    return on.isEmpty() ? QStringLiteral("(none)") : on.join(QLatin1Char(' '));
}

bool allEnabled(const Gui &gui)
{
    for (const char *name : ACTION_BUTTONS) {
        if (!gui.find<QPushButton>(QLatin1String(name))->isEnabled())
            return false;
    }
    return true;
}

void describe(const Gui &gui, const char *when)
{
    say(QStringLiteral("== %1").arg(QLatin1String(when)));
    say(QStringLiteral("project: ") + gui.find<QComboBox>(QStringLiteral("projectCombo"))->currentText());
    const QStringList templates = gui.items(QStringLiteral("viewsList"));
    const QStringList markers = gui.items(QStringLiteral("viewStatusList"));
    for (int i = 0; i < templates.size(); ++i)
        say(QStringLiteral("template: ") + templates.at(i) + QStringLiteral("  [") + markers.value(i) +
            QLatin1Char(']'));
    const QStringList views = gui.items(QStringLiteral("myViewsList"));
    say(QStringLiteral("my views: %1").arg(views.size()) +
        (views.isEmpty() ? QString() : QStringLiteral(" (") + views.join(QStringLiteral(", ")) + QLatin1Char(')')));
    auto *note = gui.find<QPlainTextEdit>(QStringLiteral("txtMsg"));
    say(QStringLiteral("note: ") + (note->isVisible() ? note->toPlainText() : QStringLiteral("(hidden)")));
    say(QStringLiteral("enabled: ") + enabledButtons(gui));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    // Nobody answers: every box is printed and counts as a failure; a
    // question is answered with its safe button.
    setMessageHandler([](const QString &text, MsgIcon, MsgButtons buttons, const QString &title) {
        messages << QString(text).replace(CRLF, QStringLiteral(" | "));
        say(QStringLiteral("message [%1]: %2").arg(title, messages.last()));
        return safeAnswer(buttons);
    });
    if (!Main()) {
        say(QStringLiteral("FAILED: Quillon did not start"));
        return 1;
    }
    frmMain *window = AppGlobals().mainWindow;
    Gui gui(window);
    if (!QTest::qWaitForWindowExposed(window)) {
        say(QStringLiteral("FAILED: the window was not shown"));
        return 1;
    }
    describe(gui, "at start");

    gui.choose(QStringLiteral("projectCombo"), QStringLiteral("r6000"));
    const QDeadlineTimer deadline(60000);
    QListWidget *mine = gui.find<QListWidget>(QStringLiteral("myViewsList"));
    while (!(mine->count() > 0 && allEnabled(gui)) && messages.isEmpty() && !deadline.hasExpired()) {
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
    describe(gui, "after choosing r6000");

    QStringList missing;
    if (mine->count() == 0)
        missing << QStringLiteral("no views listed in My Existing View(s)");
    if (!allEnabled(gui))
        missing << QStringLiteral("buttons still disabled");
    if (!messages.isEmpty())
        missing << QStringLiteral("%1 message box(es) shown").arg(messages.size());
    window->close();
    AppGlobals().unloadAll();
    if (!missing.isEmpty()) {
        say(QStringLiteral("FAILED: ") + missing.join(QStringLiteral("; ")));
        return 1;
    }
    say(QStringLiteral("OK: the demo lists the user's views and is ready to use"));
    return 0;
}
