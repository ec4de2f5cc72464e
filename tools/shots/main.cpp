// Takes screenshots of Quillon's windows on the demo site, driving the real
// main window the way a user would. Message boxes are answered at once and
// printed, so that nothing waits for a person.
// Usage: QUILLON_SHOTS_DIR=OUTDIR quillon-shots [configuration file]
// (with the demo site's environment set)
#include "forms/frmHelp.h"
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "forms/frmViewDetail.h"
#include "main/appglobals.h"
#include "main/mainModule.h"
#include "ui_frmMain.h"
#include "utils/messages.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
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

void pick_project(frmMain *w, const QString &project)
{
    const int i = w->ui->projectCombo->findText(project);
    w->ui->projectCombo->setCurrentIndex(i);
    w->projectCombo_Click();
}
// Runs an action that shows a real modal message box, takes a picture of
// the box when it comes and answers it with its escape button (No, or OK).
void shoot_modal(const QString &name, const std::function<void()> &action)
{
    MessageHandler answering = current_handler;
    set_message_handler({});
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
    set_message_handler(answering);
}

// Selects the template row whose tag ends in "__" + name.
void select_template(frmMain *w, const QString &name)
{
    for (int row = 0; row < w->ui->viewsList->count(); ++row) {
        if (w->ui->viewsList->item(row)->text().endsWith(QStringLiteral("__") + name))
            w->ui->viewsList->setCurrentRow(row);
    }
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    out_dir = qEnvironmentVariable("QUILLON_SHOTS_DIR", QStringLiteral("shots"));
    QDir().mkpath(out_dir);
    current_handler = [](const QString &text, MsgIcon, MsgButtons buttons, const QString &title) {
        std::printf("message [%s]: %s\n", qPrintable(title),
                    qPrintable(QString(text).replace(CRLF, QStringLiteral(" | "))));
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    };
    set_message_handler(current_handler);
    if (!Main())
        return 1;
    frmMain *w = AppGlobals().main_window;
    w->resize(860, 680);
    shoot(w, QStringLiteral("01-start"));

    pick_project(w, QStringLiteral("r6000"));
    shoot(w, QStringLiteral("02-nt-only-project"));
    select_template(w, QStringLiteral("snap_hotfix"));
    shoot(w, QStringLiteral("02b-snapshot-template"));
    pick_project(w, QStringLiteral("ucm_portal"));
    select_template(w, QStringLiteral("portal_dev"));
    shoot(w, QStringLiteral("02c-ucm-template"));

    w->ui->opModeCB->setChecked(false);
    shoot(w, QStringLiteral("03-interop"));

    // An existing view: its detail, and the question before its removal.
    w->ui->myViewsList->setCurrentRow(0);
    w->show_view_detail();
    shoot(&AppGlobals().view_detail(), QStringLiteral("05-view-detail"));
    AppGlobals().view_detail().hide();
    shoot_modal(QStringLiteral("06-remove-question"), [w] { w->removeViewBut_Click(); });

    // A view made from a template in NT-only mode: the progress window while
    // Kestrel runs (the simulator is slowed down for the picture), then the
    // success message.
    w->ui->opModeCB->setChecked(true);
    pick_project(w, QStringLiteral("r6000"));
    select_template(w, QStringLiteral("release_2_7"));
    QFile knobs(qEnvironmentVariable("CCSIM_HOME") + QStringLiteral("/knobs"));
    if (knobs.open(QIODevice::WriteOnly))
        knobs.write("CCSIM_COST_CMD_MS=700\n");
    knobs.close();
    QTimer::singleShot(900, [] { shoot(&AppGlobals().progress(), QStringLiteral("10-creating-progress")); });
    shoot_modal(QStringLiteral("11-created"), [w] { w->create_view(); });
    QFile::remove(knobs.fileName());
    shoot(w, QStringLiteral("12-after-creation"));

    // Help, About and getting help.
    w->help_contents();
    shoot(&AppGlobals().help(), QStringLiteral("07-help"));
    AppGlobals().help().hide();
    QTimer::singleShot(300, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shoot(box, QStringLiteral("08-about"));
            box->close();
        }
    });
    w->about();
    QTimer::singleShot(300, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shoot(box, QStringLiteral("09-getting-help"));
            box->close();
        }
    });
    w->getting_help();

    w->toggle_config();
    shoot(w, QStringLiteral("04-configuration-panel"));
    w->butBack_Click();

    w->close();
    return 0;
}
