// The progress, About and help windows.

#include "forms/frmAbout.h"
#include "forms/frmHelp.h"
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTextBrowser>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAuxWindows : public QObject {
    Q_OBJECT

private slots:
    // A message set while hidden shows at the next start; a second stop
    // changes nothing; every tick adds one to the bar, which never reaches 100.
    void progress_startSetMsgStop()
    {
        frmProgress w;
        auto *label = w.findChild<QLabel *>(u"progressLbl"_s);
        auto *bar = w.findChild<QProgressBar *>(u"progressBar"_s);
        QVERIFY(label && bar);
        QList<int> seen;
        connect(bar, &QProgressBar::valueChanged, [&](int v) { seen << v; });

        w.set_msg(u"Creating view"_s);
        QVERIFY(!w.isVisible());
        w.start_progress();
        QVERIFY(w.isVisible() && w.progressTimer.isActive());
        QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(label->text(), u"Creating view"_s);
        QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 230, 20000);

        for (int round = 0; round < 2; ++round) {
            w.stop_progress();
            QVERIFY(!w.isVisible() && !w.progressTimer.isActive());
            QCOMPARE(bar->value(), 0);
            QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
            QCOMPARE(label->text(), u"Creating view"_s);
        }
        seen.removeLast(); // the reset to 0 by stop
        QCOMPARE(*std::max_element(seen.begin(), seen.end()), 99);
        for (qsizetype i = 1; i < seen.size(); ++i)
            QCOMPARE(seen[i], (seen[i - 1] + 1) % 100);
        w.start_progress(u"Removing view"_s);
        QCOMPARE(label->text(), u"Removing view"_s);
        w.stop_progress();
    }

    void about_showsVersionFromBuild()
    {
        QCOMPARE(AppGlobals().about().mainLbl(1)->text(), u"Version %1.%2.%3"_s.arg(QUILLON_VERSION_MAJOR)
                                                              .arg(QUILLON_VERSION_MINOR)
                                                              .arg(QUILLON_VERSION_PATCH));
    }

    // The help menu opens the help at its contents wherever it was left.
    void helpMenu_opensHelpAtContents()
    {
        frmMain main;
        QTextBrowser *browser = AppGlobals().help().findChild<QTextBrowser *>(u"helpBrowser"_s);
        QVERIFY(browser);
        browser->setSource(QUrl(u"qrc:/help/index.html#messages"_s));
        main.findChild<QAction *>(u"content"_s)->trigger();
        QVERIFY(AppGlobals().help().isVisible());
        QCOMPARE(browser->source(), frmHelp::contents_url());
        QVERIFY(browser->toPlainText().contains(u"Status markers U, A, C and S"_s));
    }
};

QTEST_MAIN(TestAuxWindows)
#include "tst_aux_windows.moc"
