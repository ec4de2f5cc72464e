// At home on the desktop, at 200% scaling: what a screen reader reads, the labels' keys, Escape, the
// note beside the templates, the banner at any width, the look of read-only boxes, sharp pictures and
// the platform's own defaults.

#include "base/platform.h"
#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"
#include "ui/frmViewDetail.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// The visible labels with a buddy, by their key.
QMap<QChar, QLabel *> mnemonics(QWidget *window)
{
    QMap<QChar, QLabel *> keys;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->buddy() || !label->isVisibleTo(window))
            continue;
        const qsizetype amp = label->text().indexOf('&');
        if (amp < 0 || amp + 1 >= label->text().size())
            qFatal("%s has a buddy and no key", qPrintable(label->objectName()));
        const QChar key = label->text().at(amp + 1).toUpper();
        if (keys.contains(key))
            qFatal("Alt+%c: %s and %s", key.toLatin1(), qPrintable(keys[key]->objectName()),
                   qPrintable(label->objectName()));
        keys.insert(key, label);
    }
    return keys;
}
} // namespace

class TestDesktop : public WindowTest {
    Q_OBJECT

    frmMain *window = nullptr;

    // Alt+key on each visible label's key focuses its buddy; no key is a menu's.
    void pressEachKey()
    {
        const auto keys = mnemonics(window);
        QVERIFY(!keys.isEmpty());
        gui().activate();
        for (auto it = keys.begin(); it != keys.end(); ++it) {
            QVERIFY2(!QString("FTAH").contains(it.key()), qPrintable(it.value()->objectName()));
            window->setFocus();
            QTest::keyClick(window, it.key().toLower().toLatin1(), Qt::AltModifier);
            QVERIFY2(it.value()->buddy()->hasFocus(), qPrintable(it.value()->objectName()));
        }
    }

private slots:
    void init()
    {
        site = std::make_unique<TestSite>();
        site->writeConfig("qn.cfg", TestSite::configLines(true, {"NT_ONLY=false"}));
        site->addTemplate("r6000", "dev", {"element * /main/LATEST"});
        site->addTemplate("r6000", "integration", {"element * /main/LATEST"});
        site->importViews({"Windows|jdoe__dev|p|vobhost|active|jdoe"});
        window = site->open();
        gui().activate();
        site->pick("r6000");
    }
    void screenReader_readsTheTextsThatMatter()
    {
        // (The note's text as its description: tst_readable.)
        gui().select("viewsList", "jdoe__dev");
        QCOMPARE(Gui::accessible(gui().find("txtMsg"), QAccessible::Name), "Note");
        QCOMPARE(Gui::accessible(gui().find<QLabel>("userNameLbl"), QAccessible::Name), "jdoe");

        AppGlobals().progress().set_msg("Creating view jdoe__dev");
        QCOMPARE(
            Gui::accessible(AppGlobals().progress().findChild<QLabel *>("progressLbl"), QAccessible::Name),
            "Creating view jdoe__dev");

        gui().select("myViewsList", "jdoe__dev");
        gui().click("detailBut");
        QLabel *summary = AppGlobals().viewDetail().mainLabel();
        QVERIFY(Gui::accessible(summary, QAccessible::Name).startsWith("View Name: jdoe__dev"));
        QCOMPARE(Gui::accessible(summary, QAccessible::Description), "View summary");
    }

    void keys_focusEachBuddy_escapeCloses()
    {
        pressEachKey();
        QVERIFY(mnemonics(window).contains('P') && mnemonics(window).contains('W'));
        QVERIFY(gui().trigger("Configuration"));
        pressEachKey();
        QVERIFY(mnemonics(window).contains('I')); // the editor
        gui().click("butBack");

        gui().select("myViewsList", "jdoe__dev");
        gui().click("detailBut");
        QWidget *detail = &AppGlobals().viewDetail();
        QVERIFY(QTest::qWaitForWindowActive(detail));
        QTest::keyClick(detail, Qt::Key_Escape);
        QVERIFY(!detail->isVisible());

        QVERIFY(gui().trigger("content"));
        QWidget *help = &AppGlobals().help();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help, Qt::Key_Escape);
        QVERIFY(!help->isVisible());

        // The modal boxes end their wait when Escape reaches them.
        for (const char *action : {"About", "GettingHelp"}) {
            bool escaped = false;
            QTimer::singleShot(100, this, [&escaped] {
                if (QWidget *box = QApplication::activeModalWidget()) {
                    QTest::keyClick(box, Qt::Key_Escape);
                    escaped = true;
                }
            });
            QVERIFY(gui().trigger(action));
            QVERIFY2(escaped, action);
        }
    }

    // At any size: the note lies on the template rows, off the project box, the markers and the list's
    // buttons; the banner fills the strip; every picture is drawn for the screen's density.
    void layout_anySize_sharpPictures()
    {
        gui().select("viewsList", "jdoe__dev");
        auto *note = gui().find<QPlainTextEdit>("txtMsg");
        auto *banner = gui().find<QLabel>("logoImage");
        for (const QSize size : {QSize(820, 660), QSize(1100, 800), QSize(1700, 1000)}) {
            window->resize(size);
            QTRY_COMPARE(banner->width(), window->width());
            QApplication::processEvents();
            const QRect noteRect = gui().inWindow(note);
            for (const char *control :
                 {"refreshViewBut", "viewBut", "projectCombo", "viewStatusList", "opModeCB"})
                QVERIFY2(!noteRect.intersects(gui().inWindow(gui().find(control))), control);
            QVERIFY(gui().inWindow(gui().find<QListWidget>("viewsList")->viewport()).contains(noteRect));
            QCOMPARE(banner->pixmap().deviceIndependentSize().toSize(), banner->size());
            QCOMPARE(banner->pixmap().devicePixelRatio(), 2.0);
        }
        QCOMPARE(AppGlobals().progress().findChild<QLabel *>("Image1")->pixmap().devicePixelRatio(), 2.0);
        QVERIFY(window->windowIcon().availableSizes().contains(QSize(256, 256)));

        // The configuration panel: shown values look shown, not typed; the editor is the desktop's.
        QVERIFY(gui().trigger("Configuration"));
        for (const char *box : {"hostTxt", "adminTxt", "sshCmdTxt"}) {
            auto *edit = gui().find<QLineEdit>(box);
            QVERIFY(edit->isReadOnly());
            QCOMPARE(edit->palette().color(QPalette::Base), edit->palette().color(QPalette::Window));
        }
        auto *editor = gui().find<QLineEdit>("useEditorTxt");
        QCOMPARE(editor->text(), platform::defaultEditor());
        QVERIFY(editor->palette().color(QPalette::Base) != editor->palette().color(QPalette::Window));
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
