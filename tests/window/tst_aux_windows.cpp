// The progress, About, getting-help, help and view-detail windows.

#include "forms/frmAbout.h"
#include "forms/frmGettingHelp.h"
#include "forms/frmHelp.h"
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "forms/frmViewDetail.h"
#include "main/appglobals.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest>

namespace {
// A control of a window by its name; fails the test when it is missing.
template <typename T> T *control(QWidget &window, const char *name)
{
    T *c = window.findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("control %s missing", name);
    return c;
}
} // namespace

class TestAuxWindows : public QObject {
    Q_OBJECT

private slots:
    void progress_startShowsAndAnimates()
    {
        frmProgress w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Working please wait..."));
        QCOMPARE(control<QLabel>(w, "progressLbl")->text(), QStringLiteral("Working..."));
        QCOMPARE(w.findChild<QTimer *>(QStringLiteral("progressTimer")), &w.progressTimer);

        w.start_progress(QStringLiteral("Creating view"));
        QVERIFY(w.isVisible());
        QVERIFY(w.progressTimer.isActive());
        QCOMPARE(w.progressTimer.interval(), 10);
        QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(control<QLabel>(w, "progressLbl")->text(), QStringLiteral("Creating view"));
        QTRY_VERIFY(control<QProgressBar>(w, "progressBar")->value() > 0);

        w.stop_progress();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.progressTimer.isActive());
        QCOMPARE(control<QProgressBar>(w, "progressBar")->value(), 0);
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        w.stop_progress(); // a second stop changes nothing
        QVERIFY(!w.isVisible());
        QCOMPARE(control<QProgressBar>(w, "progressBar")->value(), 0);
        QCOMPARE(control<QLabel>(w, "progressLbl")->text(), QStringLiteral("Creating view"));
    }

    void progress_messageSetWhileHiddenShowsAtNextStart()
    {
        frmProgress w;
        w.set_msg(QStringLiteral("Finished"));
        QVERIFY(!w.isVisible());
        w.start_progress();
        QCOMPARE(control<QLabel>(w, "progressLbl")->text(), QStringLiteral("Finished"));
        w.stop_progress();
    }

    void progress_barWrapsBelowHundred()
    {
        frmProgress w;
        QList<int> seen;
        connect(control<QProgressBar>(w, "progressBar"), &QProgressBar::valueChanged,
                [&](int v) { seen << v; });
        w.start_progress();
        QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 230, 20000);
        w.stop_progress();
        seen.removeLast(); // the reset to 0 by stop
        QVERIFY(*std::max_element(seen.begin(), seen.end()) == 99);
        // Every tick adds one; after 99 comes 0.
        for (qsizetype i = 1; i < seen.size(); ++i)
            QCOMPARE(seen[i], (seen[i - 1] + 1) % 100);
    }

    void about_showsVersionFromBuild()
    {
        frmAbout &about = AppGlobals().about();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quillon"));
        QCOMPARE(about.mainLbl(0)->text(), QStringLiteral("Quillon"));
        const QString version = QStringLiteral("Version %1.%2.%3")
                                    .arg(QUILLON_VERSION_MAJOR)
                                    .arg(QUILLON_VERSION_MINOR)
                                    .arg(QUILLON_VERSION_PATCH);
        QCOMPARE(about.mainLbl(1)->text(), version);
        QCOMPARE(control<QLabel>(about, "Label1")->text(), QStringLiteral("Quillon Works"));
        QVERIFY(!control<QPlainTextEdit>(about, "txtInfo")->toPlainText().isEmpty());
        QVERIFY(control<QPlainTextEdit>(about, "txtInfo")->isReadOnly());
    }

    void aboutAndGettingHelp_okHidesAndReopensUnchanged_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("about") << true;
        QTest::newRow("getting help") << false;
    }
    void aboutAndGettingHelp_okHidesAndReopensUnchanged()
    {
        QFETCH(bool, about);
        QDialog *dialog = about ? static_cast<QDialog *>(&AppGlobals().about())
                                : static_cast<QDialog *>(&AppGlobals().getting_help());
        QPushButton *ok = about ? control<QPushButton>(AppGlobals().about(), "okBut")
                                : control<QPushButton>(AppGlobals().getting_help(), "Command1");
        QStringList before;
        for (QLabel *l : dialog->findChildren<QLabel *>())
            before << l->text();

        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, ok, &QPushButton::click);
            QCOMPARE(dialog->exec(), int(QDialog::Accepted));
            QVERIFY(!dialog->isVisible());
        }
        QStringList after;
        for (QLabel *l : dialog->findChildren<QLabel *>())
            after << l->text();
        QCOMPARE(after, before);
        QCOMPARE(&AppGlobals().about(), &AppGlobals().about()); // one instance
    }

    void gettingHelp_namesSupplierAndContacts()
    {
        frmGettingHelp &w = AppGlobals().getting_help();
        QCOMPARE(w.windowTitle(), QStringLiteral("Getting Help From Quillon Works"));
        QVERIFY(w.lblMain(0)->text().endsWith(QStringLiteral("\n\n")));
        QVERIFY(w.lblMain(1)->text().contains(QStringLiteral("support@quillon-works.example")));
        QVERIFY(w.lblMain(1)->text().contains(QStringLiteral("+1 555 0100")));
        for (int i = 0; i < 4; ++i)
            QVERIFY(!w.lblMain(i)->text().contains(QStringLiteral("<label>")));
        QCOMPARE(control<QLabel>(w, "Image1")->toolTip(),
                 QStringLiteral("https://www.quillon-works.example/"));
        QVERIFY(!control<QLabel>(w, "Image1")->pixmap().isNull());
    }

    void help_showsBuiltInHelpWithMarkers()
    {
        frmHelp &help = AppGlobals().help();
        QTextBrowser *browser = control<QTextBrowser>(help, "helpBrowser");
        QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        const QString text = browser->toPlainText();
        QVERIFY(text.contains(QStringLiteral("Status markers U, A, C and S")));
        QVERIFY(text.contains(QStringLiteral("CFG_FILE_ALTERNATE")));

        // Following a link inside the help moves within it and enables Back.
        QSignalSpy moved(browser, &QTextBrowser::sourceChanged);
        emit browser->anchorClicked(QUrl(QStringLiteral("qrc:/help/index.html#markers")));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(browser->source().fragment(), QStringLiteral("markers"));
        QVERIFY(control<QPushButton>(help, "backBut")->isEnabled());
        control<QPushButton>(help, "backBut")->click();
        QCOMPARE(browser->source().fragment(), QString());

        help.show();
        control<QPushButton>(help, "closeBut")->click();
        QVERIFY(!help.isVisible());
    }

    void mainWindowHelpMenu_opensHelpAndModalWindows()
    {
        frmMain main;
        auto action = [&](const char *name) {
            QAction *a = main.findChild<QAction *>(QString::fromLatin1(name));
            if (!a || !a->isEnabled())
                qFatal("action %s missing or disabled", name);
            return a;
        };
        frmHelp &help = AppGlobals().help();
        QTextBrowser *browser = control<QTextBrowser>(help, "helpBrowser");
        browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html#messages")));
        action("content")->trigger();
        QVERIFY(help.isVisible());
        QCOMPARE(browser->source(), frmHelp::contents_url()); // always opens at the contents
        help.close();

        // The modal windows run their own loop; OK from inside it ends it.
        for (const char *name : {"About", "GettingHelp"}) {
            QDialog *dialog = QString::fromLatin1(name) == QLatin1String("About")
                                  ? static_cast<QDialog *>(&AppGlobals().about())
                                  : static_cast<QDialog *>(&AppGlobals().getting_help());
            bool was_modal = false;
            QTimer::singleShot(0, dialog, [&] {
                was_modal = dialog->isVisible() && dialog->isModal();
                dialog->findChild<QPushButton *>()->click();
            });
            action(name)->trigger();
            QVERIFY2(was_modal, name);
            QVERIFY(!dialog->isVisible());
        }
    }

    void viewDetail_layoutAndClose()
    {
        frmViewDetail &w = AppGlobals().view_detail();
        QCOMPARE(w.windowTitle(), QStringLiteral("View Detail..."));
        for (int i = 0; i < 2; ++i) {
            QPlainTextEdit *box = w.detailTxt(i);
            QCOMPARE(box->objectName(), QStringLiteral("detailTxt_%1").arg(i));
            QVERIFY(box->isReadOnly());
            QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        }
        w.detailTxt(0)->setPlainText(QStringLiteral("element * CHECKEDOUT"));
        w.show();
        QVERIFY(!w.isModal());
        control<QPushButton>(w, "closeBut")->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.detailTxt(0)->toPlainText(), QStringLiteral("element * CHECKEDOUT"));
    }
};

QTEST_MAIN(TestAuxWindows)
#include "tst_aux_windows.moc"
