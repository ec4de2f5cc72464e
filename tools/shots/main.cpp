// Takes screenshots of Quillon's windows on the demo site, driving the real
// main window the way a user would. Message boxes are answered at once and
// printed, so that nothing waits for a person.
// Usage: QUILLON_SHOTS_DIR=OUTDIR quillon-shots [configuration file]
// (with the demo site's environment set)
#include "app/mainModule.h"
#include "ui/appglobals.h"
#include "ui/colours.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"
#include "ui/frmTable.h"
#include "ui/frmViewDetail.h"
#include "ui/messages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {
QString out_dir;
MessageHandler current_handler;

void settle(int ms = 150)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void shoot(QWidget *w, const QString &name)
{
    settle();
    const QString file = QDir(out_dir).filePath(name + QStringLiteral(".png"));
    w->grab().save(file);
    std::printf("shot: %s\n", qPrintable(file));
}

template <typename W = QWidget> W *control(frmMain *w, const char *name)
{
    return w->findChild<W *>(QString::fromLatin1(name));
}

void pick_project(frmMain *w, const QString &project)
{
    auto *combo = control<QComboBox>(w, "projectCombo");
    const int i = combo->findText(project);
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

void trigger(frmMain *w, const char *action)
{
    control<QAction>(w, action)->trigger();
}
// Runs an action that shows a real modal message box, takes a picture of
// the box when it comes and answers it with its escape button (No, or OK).
void shoot_modal(const QString &name, const std::function<void()> &action)
{
    MessageHandler answering = current_handler;
    setMessageHandler({});
    auto *watch = new QTimer;
    watch->setInterval(100);
    QObject::connect(watch, &QTimer::timeout, [watch, name] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            watch->stop();
            shoot(box, name);
            QTimer::singleShot(0, box, [box] { box->close(); });
        }
    });
    watch->start();
    action();
    delete watch;
    setMessageHandler(answering);
}

// Selects a view of "My Existing View(s):".
void select_view(frmMain *w, const QString &tag)
{
    auto *list = control<QListWidget>(w, "myViewsList");
    const auto found = list->findItems(tag, Qt::MatchExactly);
    if (!found.isEmpty())
        list->setCurrentItem(found.first());
}

// Selects the template row whose tag ends in "__" + name.
void select_template(frmMain *w, const QString &name)
{
    auto *list = control<QListWidget>(w, "viewsList");
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().endsWith(QStringLiteral("__") + name))
            list->setCurrentRow(row);
    }
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // QUILLON_SHOTS_PALETTE=dark: Fusion with a dark palette, as a dark
    // desktop gives one; the shots then show how the windows read on it.
    if (qEnvironmentVariable("QUILLON_SHOTS_PALETTE") == QLatin1String("dark")) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(colours::darkPalette());
    }
    out_dir = qEnvironmentVariable("QUILLON_SHOTS_DIR", QStringLiteral("shots"));
    QDir().mkpath(out_dir);
    current_handler = [](const QString &text, MsgIcon, MsgButtons buttons, const QString &title) {
        std::printf("message [%s]: %s\n", qPrintable(title),
                    qPrintable(QString(text).replace(CRLF, QStringLiteral(" | "))));
        return buttons == MsgButtons::Ok              ? MsgAnswer::Ok
               : safeAnswer(buttons) == MsgAnswer::No ? MsgAnswer::Yes
                                                      : MsgAnswer::Keep;
    };
    setMessageHandler(current_handler);
    if (!Main())
        return 1;
    frmMain *w = AppGlobals().mainWindow;
    w->resize(860, 680);
    shoot(w, QStringLiteral("01-start"));

    pick_project(w, QStringLiteral("r6000"));
    shoot(w, QStringLiteral("02-nt-only-project"));
    select_template(w, QStringLiteral("snap_hotfix"));
    shoot(w, QStringLiteral("02b-snapshot-template"));
    pick_project(w, QStringLiteral("ucm_portal"));
    select_template(w, QStringLiteral("portal_dev"));
    shoot(w, QStringLiteral("02c-ucm-template"));

    control<QCheckBox>(w, "opModeCB")->click();
    shoot(w, QStringLiteral("03-interop"));

    // An existing view: its detail, and the question before its removal.
    control<QListWidget>(w, "myViewsList")->setCurrentRow(0);
    control<QPushButton>(w, "detailBut")->click();
    shoot(&AppGlobals().viewDetail(), QStringLiteral("05-view-detail"));
    AppGlobals().viewDetail().hide();
    shoot_modal(QStringLiteral("06-remove-question"),
                [w] { control<QPushButton>(w, "removeViewBut")->click(); });

    // A view made from a template in NT-only mode: the progress window while
    // Kestrel runs (the simulator is slowed down for the picture), then the
    // success message.
    control<QCheckBox>(w, "opModeCB")->click();
    pick_project(w, QStringLiteral("r6000"));
    select_template(w, QStringLiteral("release_2_7"));
    QFile knobs(qEnvironmentVariable("CCSIM_HOME") + QStringLiteral("/knobs"));
    if (knobs.open(QIODevice::WriteOnly))
        knobs.write("CCSIM_COST_CMD_MS=700\n");
    knobs.close();
    QTimer::singleShot(900, [] { shoot(&AppGlobals().progress(), QStringLiteral("10-creating-progress")); });
    shoot_modal(QStringLiteral("11-created"), [w] { control<QPushButton>(w, "createViewBut")->click(); });
    QFile::remove(knobs.fileName());
    shoot(w, QStringLiteral("12-after-creation"));

    // Help, About and getting help.
    trigger(w, "content");
    shoot(&AppGlobals().help(), QStringLiteral("07-help"));
    AppGlobals().help().hide();
    QTimer::singleShot(300, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shoot(box, QStringLiteral("08-about"));
            box->close();
        }
    });
    trigger(w, "About");
    QTimer::singleShot(300, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shoot(box, QStringLiteral("09-getting-help"));
            box->close();
        }
    });
    trigger(w, "GettingHelp");

    trigger(w, "Configuration");
    shoot(w, QStringLiteral("04-configuration-panel"));
    control<QPushButton>(w, "butBack")->click();

    // Looking after views: the removal question of a view with work in it,
    // its checkouts, the age of an unused view, the command log.
    select_view(w, QStringLiteral("jdoe__feature_login"));
    shoot_modal(QStringLiteral("13-remove-with-checkouts"),
                [w] { control<QPushButton>(w, "removeViewBut")->click(); });
    trigger(w, "FindCO");
    shoot(&AppGlobals().checkouts(), QStringLiteral("14-checkouts"));
    AppGlobals().checkouts().close();
    select_view(w, QStringLiteral("jdoe__r5000_maint"));
    control<QPushButton>(w, "detailBut")->click();
    shoot(&AppGlobals().viewDetail(), QStringLiteral("15-view-detail-age"));
    AppGlobals().viewDetail().hide();
    shoot(w, QStringLiteral("16-unused-view-marked"));
    trigger(w, "CommandLog");
    AppGlobals().commandLog().resize(900, 420);
    shoot(&AppGlobals().commandLog(), QStringLiteral("17-command-log"));
    AppGlobals().commandLog().close();

    w->close();
    return 0;
}
