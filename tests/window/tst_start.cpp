// The main window as a new user first sees it: the project preselected from
// CLEARCASE_PRIMARY_GROUP in both modes (what is enabled, what is listed,
// the hint in the empty list, where the note lies, the project box taking a
// real click), and the note's behaviour under the mouse.

#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

class TestStart : public WindowTest {
    Q_OBJECT

    frmMain *m_window = nullptr;

    QRect note() { return gui().inWindow(find("txtMsg")); }

    // The demo's start: project r6000 preselected, its first template a view that is active.
    void start(bool ntOnly)
    {
        qputenv("CLEARCASE_PRIMARY_GROUP", "r6000");
        site->writeConfig("qn.cfg", TestSite::configLines(true, {ntOnly ? "NT_ONLY=true" : "NT_ONLY=false"}));
        m_window = site->open();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    // The template rows that lie under the note.
    QList<int> rowsUnderNote()
    {
        auto *list = find<QListWidget>("viewsList");
        QList<int> rows;
        for (int row = 0; row < list->count(); ++row) {
            const QRect rect = list->visualItemRect(list->item(row));
            if (QRect(list->viewport()->mapTo(m_window, rect.topLeft()), rect.size()).intersects(note()))
                rows << row;
        }
        return rows;
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        msgs.clear();
        site = std::make_unique<TestSite>();
        for (const char *name : {"dev", "int", "rel", "test", "zeta"})
            site->addTemplate("r6000", name, {"element * /main/LATEST"});
        // Every template's view is active, so that the note is shown for whichever row comes first.
        QStringList views{"Windows|jdoe__old|p||dynamic|jdoe"};
        for (const char *name : {"dev", "int", "rel", "test", "zeta"})
            views << QStringLiteral("Windows|jdoe__%1|p||active|jdoe").arg(QLatin1String(name));
        site->importViews(views);
    }
    void cleanup()
    {
        site.reset();
        QCOMPARE(msgs.shown, QList<Msg>());
    }

    void preselectedStart_data()
    {
        QTest::addColumn<bool>("ntOnly");
        QTest::newRow("NT-only") << true;
        QTest::newRow("interop") << false;
    }

    // Templates are listed and the note shown. In NT-only mode, until the user chooses a project, the
    // buttons wait and the empty list of their views says what to do; the project box takes the click
    // that makes the choice.
    void preselectedStart()
    {
        QFETCH(bool, ntOnly);
        start(ntOnly);
        QCOMPARE(find<QComboBox>("projectCombo")->currentText(), "r6000");
        const QStringList templates = gui().items("viewsList");
        QCOMPARE(templates.size(), 5);
        // In interop mode the mode switch at load lists them already.
        QCOMPARE(gui().items("myViewsList").size(), ntOnly ? 0 : 6);
        const char *const buttons[] = {"refreshViewBut", "viewBut",   "removeViewBut",
                                       "refreshBut",     "detailBut", "createViewBut"};
        for (const char *button : buttons)
            QVERIFY2(find(button)->isEnabled() != ntOnly, button);

        auto *hint = find<QLabel>("myViewsPlaceholder");
        QCOMPARE(hint->isVisible(), ntOnly);
        if (ntOnly) {
            QCOMPARE(hint->text(), "Choose a project to list your views");
            QVERIFY(hint->testAttribute(Qt::WA_TransparentForMouseEvents));
            QCOMPARE(Gui::accessible(find("myViewsList"), QAccessible::Description), hint->text());
        }

        auto *txtMsg = find<QPlainTextEdit>("txtMsg");
        QVERIFY(txtMsg->isVisible());
        QCOMPARE(txtMsg->toPlainText(), "NOTE: View " + templates.first() + " has been created and is active");
        // (Where the note lies, at any size: tst_desktop.)

        // The first thing a new user does: click the project box (it takes the click and the focus),
        // then take the project.
        auto *combo = find<QComboBox>("projectCombo");
        find("viewsList")->setFocus();
        gui().activate();
        QCOMPARE(m_window->childAt(combo->mapTo(m_window, combo->rect().center())), combo->lineEdit());
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton, {}, combo->lineEdit()->rect().center());
        QTRY_VERIFY(combo->lineEdit()->hasFocus());
        site->pick("r6000");
        QTRY_COMPARE(gui().items("myViewsList").size(), 6);
        QVERIFY(!hint->isVisible());
        for (const char *button : buttons)
            QVERIFY2(find(button)->isEnabled(), button);
    }

    // A mouse move over the panel, over the lists under the note or over the note itself hides it;
    // a click where the note lies selects the template row under it.
    void note_hiddenByTheMouse_clicksReachTheRows()
    {
        start(true);
        site->pick("r6000");
        auto *txtMsg = find<QPlainTextEdit>("txtMsg");
        auto *list = find<QListWidget>("viewsList");
        const auto showNote = [&] {
            gui().select("viewsList", "jdoe__int");
            gui().select("viewsList", "jdoe__dev");
            QVERIFY(txtMsg->isVisible());
        };
        for (const char *over : {"leftPane", "myViewsList", "viewStatusList"}) {
            showNote();
            QWidget *w = find(over);
            if (auto *area = qobject_cast<QAbstractScrollArea *>(w))
                w = area->viewport();
            QTest::mouseMove(w, QPoint(8, 8));
            QTRY_VERIFY2(txtMsg->isHidden(), over);
        }
        showNote();
        QTest::mouseMove(list->viewport(), list->viewport()->mapFrom(m_window, note().center()));
        QTRY_VERIFY(txtMsg->isHidden());

        showNote();
        const QList<int> under = rowsUnderNote();
        QVERIFY(under.size() >= 2);
        const int row = under.last();
        QVERIFY(row != list->currentRow());
        const QRect rowRect = list->visualItemRect(list->item(row));
        const QPoint at = rowRect.intersected(QRect(list->viewport()->mapFrom(m_window, note().topLeft()),
                                                    note().size()))
                              .center();
        QVERIFY(txtMsg->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(list->currentRow(), row);
    }
};

QTEST_MAIN(TestStart)
#include "tst_start.moc"
