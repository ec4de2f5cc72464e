// The real message box behind the message seam, the About and the help windows. (The progress window
// is seen through the window tests: shown while a load runs, its label read, gone after a creation.)

#include "ui/appglobals.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"

#include "ui/messages.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAuxWindows : public QObject {
    Q_OBJECT

private slots:
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
