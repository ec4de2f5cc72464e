// Looking after existing views, driven as a user does against the simulator: the removal that names
// what it would lose, the clean-up of a tag whose storage is gone, the checkouts window and the
// Tools menu, config-spec editing, the views' age, and the command log.

#include "base/command_log.h"
#include "base/platform.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/frmTable.h"
#include "ui/frmViewDetail.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
// The commands run since the log was last cleared, as shown.
QStringList commandsRun()
{
    QStringList run;
    for (const CommandRecord &r : commandlog::entries())
        run << r.command;
    return run;
}

QString isoDaysAgo(int days)
{
    return QDateTime::currentDateTimeUtc().addDays(-days).toString(Qt::ISODate);
}

QStringList rowsOf(const frmTable &table)
{
    QStringList rows;
    const QTreeWidget *list = table.rowsList();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + " | " + list->topLevelItem(i)->text(1);
    return rows;
}
} // namespace

class TestViewCare : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    MessageRecorder rec;

    Gui &gui() { return site->gui(); }

    // Runs a click that opens a modal window; look() sees it before it is closed.
    void whileModal(const std::function<void()> &click, const std::function<void(QWidget *)> &look)
    {
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                poll.stop();
                seen = true;
                look(modal);
                modal->close();
            }
        });
        poll.start(20);
        click();
        QVERIFY(seen);
    }

    // An editor the user named on the configuration panel: a script run with the file's path.
    void useEditor(const QString &script)
    {
        const QString path = site->root() + "/editor.sh";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(("#!/bin/sh\n" + script + "\n").toUtf8());
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(gui().trigger("Configuration"));
        gui().type("useEditorTxt", path);
        gui().click("butBack");
    }

    void openDetail(const QString &tag)
    {
        gui().select("myViewsList", tag);
        gui().click("detailBut");
        QVERIFY(AppGlobals().viewDetail().isVisible());
    }

private slots:
    void init()
    {
        site = std::make_unique<TestSite>();
        site->writeConfig("qn.cfg", TestSite::configLines(false));
        site->addTemplate("r6000", "work", {"element * /main/LATEST"});
        site->importViews({"Windows|jdoe__work|p1|vobhost|active,checkouts=7,private=3|jdoe",
                           "Windows|jdoe__gone|p2|vobhost|unreachable,checkouts=2|jdoe",
                           "Windows|jdoe__clean|p3|vobhost|-|jdoe",
                           "Windows|jdoe__snap|p4|vobhost|snapshot|jdoe",
                           "Windows|carl__jdoe_help|p5|vobhost|unreachable|carl",
                           "Windows|jdoe__idle|p6|vobhost|-|jdoe|||2024-01-05T10:00:00Z|" + isoDaysAgo(200),
                           "Windows|jdoe__fresh|p7|vobhost|-|jdoe|||2024-01-05T10:00:00Z|" + isoDaysAgo(1)});
        site->open();
        site->pick("r6000");
        commandlog::clear();
        rec.clear();
    }
    void cleanup()
    {
        site.reset();
        rec.clear();
    }

    // The question says what would be lost and keeps the view unless Remove is chosen; the checkouts
    // can be looked at from it; -force only follows a question that named them.
    void removal_namesWhatIsLost_forceOnlyAfterShown()
    {
        const QString question = "Removing view jdoe__work throws away work that exists only in the view:\r\n"
                                 "   7 checked-out files, among them:\r\n"
                                 "      /vobs/app/src/file_0001.c\r\n      /vobs/tools/src/file_0002.c\r\n"
                                 "      /vobs/app/src/file_0003.c\r\n      /vobs/tools/src/file_0004.c\r\n"
                                 "      /vobs/app/src/file_0005.c\r\n"
                                 "   3 view-private files\r\n"
                                 "The view is active: Quillon ends it first.\r\n\r\n"
                                 "You are about to permanently remove view\r\n--> jdoe__work\r\n\r\n"
                                 ">>> Are you sure you want to do this?";
        const Msg asked{question, MsgIcon::Exclamation, MsgButtons::RemoveKeepShow, "Warning..."};
        gui().select("myViewsList", "jdoe__work");
        gui().click("removeViewBut"); // no answer: the safe one, Keep
        QCOMPARE(rec.shown, QList<Msg>{asked});
        QVERIFY(site->tagExists("jdoe__work"));
        QVERIFY(!commandsRun().join('\n').contains("rmview"));

        rec.clear();
        rec.answers << MsgAnswer::ShowCheckouts << MsgAnswer::Remove;
        QStringList listed;
        whileModal([&] { gui().click("removeViewBut"); },
                   [&](QWidget *modal) {
                       QCOMPARE(modal, &AppGlobals().checkouts());
                       QCOMPARE(modal->objectName(), "frmCheckouts");
                       listed = rowsOf(AppGlobals().checkouts());
                   });
        QCOMPARE(listed.size(), 7);
        QCOMPARE(listed[0], "/vobs/app/src/file_0001.c | reserved");
        QCOMPARE(listed[3], "/vobs/tools/src/file_0004.c | unreserved");
        QCOMPARE(rec.shown, (QList<Msg>{asked, asked}));
        QVERIFY(!site->tagExists("jdoe__work"));
        const QStringList run = commandsRun();
        const qsizetype end = run.indexOf("cleartool endview -server jdoe__work");
        QVERIFY(end >= 0 && run.indexOf("cleartool rmview -force -tag jdoe__work") > end);
        QVERIFY(!gui().items("myViewsList").contains("jdoe__work"));

        // A snapshot view with nothing checked out: the plain question; its view-private files are
        // not asked for (ClearCase cannot list them there).
        rec.clear();
        commandlog::clear();
        rec.answers << MsgAnswer::Yes;
        gui().select("myViewsList", "jdoe__snap");
        gui().click("removeViewBut");
        QCOMPARE(rec.shown, (QList<Msg>{{"You are about to permanently remove view\r\n--> jdoe__snap\r\n\r\n"
                                         ">>> Are you sure you want to do this?",
                                         MsgIcon::Exclamation, MsgButtons::YesNo, "Warning..."}}));
        QVERIFY(!commandsRun().join('\n').contains("lsprivate"));
        QVERIFY(commandsRun().contains("cleartool rmview -tag jdoe__snap"));
        QVERIFY(!site->tagExists("jdoe__snap"));
    }

    // Storage gone: rmview fails; for the user's own view the clean-up (rmtag, unregister, rmview -all)
    // is offered, and runs in that order only after a yes. Another user's view only gets the warning.
    void removal_staleTag_cleanedUpInOrder()
    {
        gui().select("myViewsList", "jdoe__gone");
        rec.answers << MsgAnswer::Remove << MsgAnswer::No;
        gui().click("removeViewBut");
        QCOMPARE(rec.shown.size(), 2);
        QVERIFY2(rec.shown[0].text.contains("   2 checked-out files:\r\n") &&
                     rec.shown[0].text.contains("   Its view-private files could not be listed: Operation "
                                                "\"view_get_prop(VIEW_PROP_WEBVIEW)\" failed"),
                 qPrintable(rec.shown[0].text));
        const QString uuid =
            site->cleartool({"lsview", "-long", "jdoe__gone"}).section("View uuid: ", 1).section('\n', 0, 0);
        QVERIFY(!uuid.isEmpty());
        QCOMPARE(rec.shown[1].buttons, MsgButtons::YesNo);
        QCOMPARE(rec.shown[1].title, "Warning...");
        QVERIFY2(rec.shown[1].text.startsWith("The storage of view --> jdoe__gone cannot be reached:\r\n") &&
                     rec.shown[1].text.contains("   cleartool rmtag -view -all jdoe__gone\r\n"
                                                "   cleartool unregister -view -uuid " +
                                                uuid +
                                                "\r\n"
                                                "   cleartool rmview -force -all -uuid " +
                                                uuid + "\r\n"),
                 qPrintable(rec.shown[1].text));
        QVERIFY(site->tagExists("jdoe__gone"));
        QVERIFY(!commandsRun().join('\n').contains("rmtag"));

        rec.clear();
        commandlog::clear();
        rec.answers << MsgAnswer::Remove << MsgAnswer::Yes;
        gui().select("myViewsList", "jdoe__gone");
        gui().click("removeViewBut");
        QCOMPARE(rec.shown.last(),
                 (Msg{"The tag and registry entries of view --> jdoe__gone have been removed.",
                      MsgIcon::Information, MsgButtons::Ok, "Finished..."}));
        QStringList steps;
        for (const QString &c : commandsRun())
            if (c.startsWith("cleartool rmtag") || c.startsWith("cleartool unregister") ||
                c.contains("-uuid"))
                steps << c;
        QCOMPARE(steps, (QStringList{"cleartool rmtag -view -all jdoe__gone",
                                     "cleartool unregister -view -uuid " + uuid,
                                     "cleartool rmview -force -all -uuid " + uuid}));
        QVERIFY(!site->tagExists("jdoe__gone"));
        QVERIFY(site->cleartool({"lsco", "-avobs", "-fmt", "%TUf\\n"}).indexOf(uuid) < 0);

        rec.clear();
        rec.answers << MsgAnswer::Remove;
        gui().select("myViewsList", "carl__jdoe_help");
        gui().click("removeViewBut");
        QCOMPARE(rec.shown.size(), 2);
        QVERIFY2(
            rec.shown[1].text.startsWith("Warning::Operation \"view_get_prop(VIEW_PROP_WEBVIEW)\" failed") &&
                rec.shown[1].text.endsWith("Coult not remove view..." + LOG_HINT),
            qPrintable(rec.shown[1].text));
        QVERIFY(site->tagExists("carl__jdoe_help"));
    }

    // On Linux the Tools menu starts, removes and lists checkouts itself: nothing fails to execute.
    void toolsMenu_startRemoveCheckouts()
    {
        if (platform::hasClearCaseDialogs())
            QSKIP("here the Tools menu starts ClearCase's own dialogs, which this machine does not have");
        const auto marker = [this](const QString &tag) {
            const QStringList tags = gui().items("viewsList"), markers = gui().items("viewStatusList");
            return markers.value(tags.indexOf(tag));
        };
        site->addTemplate("r6000", "clean", {"element * /main/LATEST"});
        gui().click("refreshViewBut");
        QCOMPARE(marker("jdoe__clean"), "C");
        gui().select("myViewsList", "jdoe__clean");
        QVERIFY(gui().trigger("StartView"));
        QCOMPARE(marker("jdoe__clean"), "A");

        gui().select("myViewsList", "jdoe__work");
        QVERIFY(gui().trigger("FindCO"));
        frmTable &table = AppGlobals().checkouts();
        QVERIFY(table.isVisible() && !table.isModal());
        QCOMPARE(table.windowTitle(), "Checkouts of jdoe__work");
        QCOMPARE(rowsOf(table).size(), 7);
        table.close();

        QVERIFY(gui().trigger("RemoveView"));
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].buttons, MsgButtons::RemoveKeepShow);
        for (const QString &c : commandsRun())
            QVERIFY2(c.startsWith("cleartool "), qPrintable(c));
        QVERIFY(site->tagExists("jdoe__work"));

        rec.clear();
        gui().find<QListWidget>("myViewsList")->setCurrentRow(-1);
        QVERIFY(gui().trigger("FindCO"));
        QCOMPARE(rec.shown, (QList<Msg>{{"First select a view in the 'My Existing View(s):' list.",
                                         MsgIcon::Information}}));
    }

    // The edited config spec is set only with a yes; a rejected one is kept for the next try; the file is
    // private; no command that prompts is run.
    void configSpec_roundTrip_rejectedTextKept()
    {
        SKIP_UNLESS_SHELL_SCRIPTS_RUN();
        const QString seen = site->root() + "/seen";
        useEditor("stat -c '%a' \"$1\" \"$(dirname \"$1\")\" > '" + seen + "'; cat \"$1\" >> '" + seen +
                  "'\nprintf 'element * CHECKEDOUT\\nbogus rule\\n' > \"$1\"");
        openDetail("jdoe__clean");
        frmViewDetail &detail = AppGlobals().viewDetail();
        const QString before = detail.detailTxt(0)->toPlainText();
        rec.answers << MsgAnswer::Yes << MsgAnswer::No;
        detail.findChild<QPushButton *>("editCsBut")->click();
        QCOMPARE(rec.shown.size(), 2);
        QCOMPARE(rec.shown[0], (Msg{"Set config spec for view \"jdoe__clean\"?", MsgIcon::Question,
                                    MsgButtons::YesNo, "Config spec"}));
        QCOMPARE(rec.shown[1],
                 (Msg{"ClearTool returned error: Syntax error in config spec, line 2: unknown rule "
                      "\"bogus\".\r\nConfig spec semantic processing failed.\r\n\r\nYour edited "
                      "config spec is kept. Edit it again?" +
                          LOG_HINT,
                      MsgIcon::Exclamation, MsgButtons::YesNo, "Config spec"}));
        QFile first(seen);
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), "600\n700\nelement * CHECKEDOUT\nelement * /main/LATEST\n");
        QCOMPARE(detail.detailTxt(0)->toPlainText(), before);
        QCOMPARE(site->cleartool({"catcs", "-tag", "jdoe__clean"}),
                 "element * CHECKEDOUT\nelement * /main/LATEST\n");

        // The next edit starts from the kept text; this one ClearCase takes.
        rec.clear();
        useEditor("cat \"$1\" > '" + seen +
                  "'\nprintf 'element * CHECKEDOUT\\nelement * /main/0\\n' > \"$1\"");
        rec.answers << MsgAnswer::Yes;
        detail.findChild<QPushButton *>("editCsBut")->click();
        QCOMPARE(rec.texts(), QStringList{"Set config spec for view \"jdoe__clean\"?"});
        QFile second(seen);
        QVERIFY(second.open(QIODevice::ReadOnly));
        QCOMPARE(second.readAll(), "element * CHECKEDOUT\nbogus rule\n");
        QCOMPARE(site->cleartool({"catcs", "-tag", "jdoe__clean"}),
                 "element * CHECKEDOUT\nelement * /main/0\n");
        QVERIFY(detail.detailTxt(0)->toPlainText().contains("/main/0"));
        for (const QString &c : commandsRun())
            QVERIFY2(!c.contains("edcs"), qPrintable(c));

        // An editor that returns before anything is saved: the user is asked, and No sets nothing.
        rec.clear();
        useEditor(":");
        detail.findChild<QPushButton *>("editCsBut")->click();
        QCOMPARE(rec.shown.size(), 1);
        QVERIFY(rec.shown[0].text.startsWith("The config spec of view jdoe__clean has not changed yet."));

        // A snapshot view's is set inside the view; another user's cannot be edited.
        rec.clear();
        openDetail("jdoe__snap");
        detail.findChild<QPushButton *>("editCsBut")->click();
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].icon, MsgIcon::Information);
        QVERIFY(rec.shown[0].text.contains("cleartool edcs"));
        site->importViews({"Windows|carl__jdoe_pair|p8|vobhost|-|carl"});
        gui().click("refreshBut");
        openDetail("carl__jdoe_pair");
        QVERIFY(!detail.findChild<QPushButton *>("editCsBut")->isEnabled());
    }

    // Created, last modified and last accessed in View Detail, in both date forms; the last access in
    // the list's tool tips, and a mark on views unused for 90 days while the text stays the tag.
    void viewAge_detailAndList()
    {
        openDetail("jdoe__idle");
        const QString shown = AppGlobals().viewDetail().ageLbl()->text();
        const QDateTime accessed = QDateTime::fromString(isoDaysAgo(200), Qt::ISODate);
        const QString created = QDateTime::fromString("2024-01-05T10:00:00Z", Qt::ISODate)
                                    .toLocalTime()
                                    .toString("yyyy-MM-dd HH:mm");
        QCOMPARE(shown, "Created: " + created + "\r\nLast modified: " + created + "\r\nLast accessed: " +
                            accessed.toLocalTime().toString("yyyy-MM-dd HH:mm") + " (200 days ago)");
        qputenv("CCSIM_OLD_DATES", "1");
        openDetail("jdoe__fresh");
        openDetail("jdoe__idle");
        qunsetenv("CCSIM_OLD_DATES");
        QCOMPARE(AppGlobals().viewDetail().ageLbl()->text(), shown);

        auto *list = gui().find<QListWidget>("myViewsList");
        const auto item = [list](const QString &tag) {
            return list->findItems(tag, Qt::MatchExactly).value(0);
        };
        QVERIFY(item("jdoe__idle") && item("jdoe__fresh") && item("jdoe__gone"));
        // The ages are asked once the window is idle after the listing.
        QTRY_VERIFY(!item("jdoe__gone")->toolTip().isEmpty());
        QVERIFY2(item("jdoe__idle")->toolTip().endsWith("(200 days ago), not used for 90 days or more"),
                 qPrintable(item("jdoe__idle")->toolTip()));
        QVERIFY(!item("jdoe__idle")->icon().isNull() && item("jdoe__idle")->font().italic());
        QVERIFY(item("jdoe__fresh")->toolTip().endsWith("(yesterday)"));
        QVERIFY(item("jdoe__fresh")->icon().isNull() && !item("jdoe__fresh")->font().italic());
        QCOMPARE(item("jdoe__gone")->toolTip(), "jdoe__gone\nLast access not known");
        QVERIFY(QStringList(gui().items("myViewsList")).contains("jdoe__idle"));
        QCOMPARE(rec.shown, QList<Msg>());
    }

    // Help > Command Log: every command of this run, newest last, added while it is open; Copy gives
    // the columns and rows as text.
    void commandLog_everyCommand_copy()
    {
        QVERIFY(gui().trigger("CommandLog"));
        frmTable &log = AppGlobals().commandLog();
        QVERIFY(log.isVisible());
        QCOMPARE(log.objectName(), "frmCommandLog");
        QCOMPARE(log.rowsList()->topLevelItemCount(), 0);
        gui().select("myViewsList", "jdoe__gone");
        gui().click("detailBut"); // fails: storage gone
        QCOMPARE(log.rowsList()->topLevelItemCount(), int(commandlog::entries().size()));
        const QTreeWidgetItem *last = log.rowsList()->topLevelItem(log.rowsList()->topLevelItemCount() - 1);
        QCOMPARE(last->text(3), "cleartool catcs -tag jdoe__gone");
        QCOMPARE(last->text(1), "1");
        QVERIFY(last->text(2).endsWith(" ms"));
        QVERIFY(last->text(4).startsWith("Operation \"view_get_prop(VIEW_PROP_WEBVIEW)\" failed"));
        log.findChild<QPushButton *>("copyBut")->click();
        const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(copied.first(), "Time\tExit\tDuration\tCommand\tFirst error");
        QCOMPARE(copied.size(), log.rowsList()->topLevelItemCount() + 1);
        QVERIFY(copied.last().contains("\t1\t") &&
                copied.last().contains(" ms\tcleartool catcs -tag jdoe__gone\t"));
    }
};

QTEST_MAIN(TestViewCare)
#include "tst_view_care.moc"
