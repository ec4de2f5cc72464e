// The main window for every reader: each coloured text reaches 4.5:1 against what it is drawn on in a
// light and a dark palette; what the markers and the note say reaches screen readers
// through the accessibility interface; Escape leaves the configuration panel.

#include "support/window_test.h"
#include "ui/colours.h"
#include "ui/frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QtTest>

class TestReadable : public WindowTest {
    Q_OBJECT

    void open()
    {
        site->writeConfig("qn.cfg",
                          TestSite::configLines(true, {"NT_ONLY=false", "ADMIN=ann", "PROJECT=markers"}));
        site->open();
        site->pick("markers");
        gui().activate(); // the progress window took it while the project loaded
    }

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Fusion")); }

    void init()
    {
        msgs.clear();
        site = std::make_unique<TestSite>("ann");
        site->addRawTemplate("markers", "cre", "element * CHECKEDOUT\r\n");
        site->addRawTemplate("markers", "snapa", "#Kestrel_Snapdir:C:\\s\r#Kestrel_Description:snap\r");
        site->addRawTemplate("markers", "fresh", "element * /main/LATEST\r\n");
        site->importViews({"Windows|ann__cre|p||dynamic|ann", "Windows|ann__snapa|p||snapshot|ann",
                           "Windows|Ann__snapa|p||active|ann"});
    }

    void cleanup()
    {
        site.reset();
        QApplication::setPalette(QApplication::style()->standardPalette());
        QCOMPARE(msgs.shown, QList<Msg>());
    }

    // The measure itself, against known pairs (that the colours shown reach it is the next test's); a
    // colour that reads already is kept, one mended keeps its hue, a half-transparent one is measured
    // as it shows.
    void contrast_measureAndMend()
    {
        QCOMPARE(qRound(colours::contrast(Qt::white, Qt::black) * 10), 210);
        QCOMPARE(qRound(colours::contrast(QColor(0, 0, 128), QColor(30, 30, 30)) * 10), 10);
        QCOMPARE(colours::readableOn(QColor(139, 0, 0), Qt::white), QColor(139, 0, 0));
        QCOMPARE(colours::readableOn(QColor(0, 0, 128), QColor(30, 30, 30)).hslHue(),
                 QColor(0, 0, 128).hslHue());
        QVERIFY(colours::contrast(colours::readableOn(QColor(0, 0, 0, 100), Qt::white), Qt::white) >= 4.5);
    }

    void contrast_everyColouredText_data()
    {
        QTest::addColumn<QPalette>("look");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        QTest::newRow("dark") << colours::darkPalette();
    }

    // Each coloured text against the background it is drawn on, as the widgets hold them, in the
    // groups they are shown in (the status list is disabled); the lists take the palette's darkness.
    void contrast_everyColouredText()
    {
        QFETCH(QPalette, look);
        QApplication::setPalette(look);
        open();
        gui().select("viewsList", "ann__cre");
        struct Role {
            const char *widget;
            QPalette::ColorRole text, back;
        };
        const Role roles[] = {{"viewsList", QPalette::Text, QPalette::Base},
                              {"viewStatusList", QPalette::Text, QPalette::Base},
                              {"viewStatusList", QPalette::HighlightedText, QPalette::Highlight},
                              {"descTxt", QPalette::Text, QPalette::Base},
                              {"txtConfigSpec", QPalette::Text, QPalette::Base},
                              {"txtMsg", QPalette::Text, QPalette::Base},
                              {"userNameLbl", QPalette::WindowText, QPalette::Window},
                              {"cfgFileLbl", QPalette::WindowText, QPalette::Window},
                              {"myViewsPlaceholder", QPalette::WindowText, QPalette::Base},
                              {"showConfigBut", QPalette::ButtonText, QPalette::Button},
                              {"createViewBut", QPalette::ButtonText, QPalette::Button}};
        for (const Role &r : roles) {
            QWidget *w = find(r.widget);
            w->ensurePolished();
            // The placeholder lies on the list's rows.
            const QPalette &under =
                qstrcmp(r.widget, "myViewsPlaceholder") ? w->palette() : w->parentWidget()->palette();
            for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                const QColor back = under.color(group, r.back);
                const QColor text = colours::over(w->palette().color(group, r.text), back);
                const double ratio = colours::contrast(text, back);
                QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 group %2: %3 on %4 is %5:1")
                                                      .arg(r.widget)
                                                      .arg(int(group))
                                                      .arg(text.name(), back.name())
                                                      .arg(ratio, 0, 'f', 2)));
            }
        }
        // No light list inside a dark window.
        if (colours::isDark(look)) {
            QVERIFY(colours::luminance(find("viewsList")->palette().color(QPalette::Base)) < 0.1);
            QVERIFY(colours::luminance(
                        find("viewStatusList")->palette().color(QPalette::Disabled, QPalette::Base)) < 0.1);
        }
        // As drawn: the config spec's text on the screen, its darkest or lightest pixel against the
        // background around it.
        auto *spec = find<QPlainTextEdit>("txtConfigSpec");
        const QImage shot = spec->viewport()->grab().toImage();
        const QColor back = spec->palette().color(QPalette::Base);
        double best = 1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                best = qMax(best, colours::contrast(shot.pixelColor(x, y), back));
        QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
        QCOMPARE(shot.pixelColor(1, shot.height() - 2), back);
    }

    // Every template row says its status in words; the letters stay on the screen. The note is
    // reached with Tab from the list. Escape closes the configuration panel; the focus goes back to
    // where it was.
    void screenReaderAndKeys_statusWordsNoteEscape()
    {
        open();
        auto *list = find<QListWidget>("viewsList");
        QAccessibleInterface *rows = QAccessible::queryAccessibleInterface(list);
        QAccessibleInterface *marks = QAccessible::queryAccessibleInterface(find("viewStatusList"));
        QVERIFY(rows && marks);
        QMap<QString, QString> said;
        QStringList letters;
        for (int i = 0; i < list->count(); ++i) {
            QAccessibleInterface *row = rows->child(i);
            said[row->text(QAccessible::Name)] = row->text(QAccessible::Description);
            QCOMPARE(marks->child(i)->text(QAccessible::Name), row->text(QAccessible::Description));
            letters << find<QListWidget>("viewStatusList")->item(i)->text();
        }
        QCOMPARE(said, (QMap<QString, QString>{{"ann__cre", "created"},
                                               {"ann__snapa", "created, snapshot"},
                                               {"ann__fresh", "not created"}}));
        letters.sort();
        QCOMPARE(letters, (QStringList{"C", "CS", "U"}));

        // The note is read through its accessible interface: its text as description, reached
        // with Tab from the list while it is shown, and left out of the tab order when hidden.
        gui().select("viewsList", "ann__fresh");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != find("txtMsg"));
        gui().select("viewsList", "ann__cre");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        QCOMPARE(focused, find("txtMsg"));
        QCOMPARE(Gui::accessible(focused, QAccessible::Description),
                 "NOTE: View ann__cre has been created by is not active");

        QWidget *before = find("projectCombo");
        before->setFocus();
        QVERIFY(gui().trigger("Configuration"));
        QVERIFY(find("configFrame")->isVisible());
        QVERIFY2(
            find("configFrame")->isAncestorOf(QApplication::focusWidget()),
            qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!find("configFrame")->isVisible());
        QVERIFY(find("mainFrame")->isVisible());
        QCOMPARE(QApplication::focusWidget(), before);
    }
};

QTEST_MAIN(TestReadable)
#include "tst_readable.moc"
