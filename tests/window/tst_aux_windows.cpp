// The progress, About and help windows.

#include "ui/appglobals.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include "ui/messages.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAuxWindows : public QObject {
    Q_OBJECT

private slots:
    // A message set while hidden shows at the next start; the bar moves, and stop resets it.
    void progress_startSetMsgStop()
    {
        frmProgress w;
        auto *label = w.findChild<QLabel *>(u"progressLbl"_s);
        auto *bar = w.findChild<QProgressBar *>(u"progressBar"_s);
        QVERIFY(label && bar);
        w.set_msg(u"Creating view"_s);
        QVERIFY(!w.isVisible());
        w.start_progress();
        QVERIFY(w.isVisible() && w.progressTimer.isActive());
        QCOMPARE(label->text(), u"Creating view"_s);
        QTRY_VERIFY(bar->value() > 1);
        w.stop_progress();
        QVERIFY(!w.isVisible() && !w.progressTimer.isActive());
        QCOMPARE(bar->value(), 0);
        w.start_progress(u"Removing view"_s);
        QCOMPARE(label->text(), u"Removing view"_s);
        w.stop_progress();
    }

    // The real box behind the message seam: icon, title and text; the buttons of each kind, Enter and
    // Escape giving the safe answer (No, Keep View), each button its own answer.
    void messageBox_buttonsAndSafeDefault()
    {
        const struct {
            MsgButtons buttons;
            QStringList labels; // the safe one last
        } kinds[] = {{MsgButtons::YesNo, {"&Yes", "&No"}},
                     {MsgButtons::RemoveKeep, {"Remove View", "Keep View"}},
                     {MsgButtons::RemoveKeepShow, {"Remove View", "Show Checkouts\u2026", "Keep View"}}};
        for (const auto &kind : kinds) {
            for (const QString &press : kind.labels + QStringList{"Return", "Escape"}) {
                QStringList seenLabels;
                QTimer::singleShot(0, this, [&] {
                    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                    QVERIFY(box);
                    QCOMPARE(box->windowTitle(), u"Warning..."_s);
                    QCOMPARE(box->icon(), QMessageBox::Warning);
                    QCOMPARE(box->text(), u"Lose it?\nSure?"_s);
                    QCOMPARE(box->defaultButton()->text(), kind.labels.last());
                    QAbstractButton *target = nullptr;
                    for (QAbstractButton *b : box->buttons()) {
                        seenLabels << b->text();
                        if (b->text() == press)
                            target = b;
                    }
                    if (target)
                        target->click();
                    else
                        QTest::keyClick(box, press == u"Return"_s ? Qt::Key_Return : Qt::Key_Escape);
                });
                const MsgAnswer answer =
                    showMessage(u"Lose it?\r\nSure?"_s, MsgIcon::Exclamation, kind.buttons, u"Warning..."_s);
                std::sort(seenLabels.begin(), seenLabels.end());
                QStringList expected = kind.labels;
                std::sort(expected.begin(), expected.end());
                QCOMPARE(seenLabels, expected);
                const MsgAnswer wanted = press == u"&Yes"_s                   ? MsgAnswer::Yes
                                         : press == u"Remove View"_s          ? MsgAnswer::Remove
                                         : press == u"Show Checkouts\u2026"_s ? MsgAnswer::ShowCheckouts
                                         : kind.buttons == MsgButtons::YesNo  ? MsgAnswer::No
                                                                              : MsgAnswer::Keep;
                QCOMPARE(answer, wanted);
            }
        }
    }

    void about_showsVersion_helpMenuOpensContents()
    {
        QCOMPARE(AppGlobals().about().mainLbl(1)->text(), u"Version %1.%2.%3"_s.arg(QUILLON_VERSION_MAJOR)
                                                              .arg(QUILLON_VERSION_MINOR)
                                                              .arg(QUILLON_VERSION_PATCH));
        frmMain main;
        QTextBrowser *browser = AppGlobals().help().findChild<QTextBrowser *>(u"helpBrowser"_s);
        QVERIFY(browser);
        browser->setSource(QUrl(u"qrc:/help/index.html#messages"_s));
        main.findChild<QAction *>(u"content"_s)->trigger();
        QVERIFY(AppGlobals().help().isVisible());
        QCOMPARE(browser->source(), frmHelp::contentsUrl());
    }
};

QTEST_MAIN(TestAuxWindows)
#include "tst_aux_windows.moc"
