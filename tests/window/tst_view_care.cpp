// Looking after existing views, driven as a user does against the simulator: the removal that names
// what it would lose, the clean-up of a tag whose storage is gone, the checkouts window and the
// Tools menu, config-spec editing, the views' age, and the command log.

#include "base/command_log.h"
#include "base/platform.h"
#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/frmTable.h"
#include "ui/frmViewDetail.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QtTest>

#define QCOMPARE_SHOWN(n) QVERIFY2(msgs.shown.size() == (n), qPrintable(msgs.texts().join("\n----\n")))

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

class TestViewCare : public WindowTest {
    Q_OBJECT

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
    void useEditor(const QStringList &steps)
    {
        const QString path = childProgram(site->root(), "editor", steps);
        QVERIFY(gui().trigger("Configuration"));
        gui().type("useEditorTxt", path);
        gui().click("butBack");
    }

    // Remove clicked on a view, the simulator's knobs set first and the questions answered in turn.
    void removeAs(const QString &tag, const QList<MsgAnswer> &answers, const char *knobs = nullptr)
    {
        if (knobs)
            site->setKnobs(knobs);
        msgs.answers.append(answers);
        gui().select("myViewsList", tag);
        gui().click("removeViewBut");
    }

    QString uuidOf(const QString &tag) const
    {
        return site->cleartool({"lsview", "-long", tag}).section("View uuid: ", 1).section('\n', 0, 0);
    }

    void openDetail(const QString &tag)
    {
        gui().select("myViewsList", tag);
        gui().click("detailBut");
        QVERIFY(AppGlobals().viewDetail().isVisible());
    }
    // "Edit" on the config spec of the view shown in View Detail.
    static void editCs() { AppGlobals().viewDetail().findChild<QPushButton *>("editCsBut")->click(); }

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
        msgs.clear();
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
        removeAs("jdoe__work", {}); // no answer: the safe one, Keep
        QCOMPARE(msgs.shown, QList<Msg>{asked});
        QVERIFY(commandsRun().filter(QRegularExpression("endview|rmview")).isEmpty());

        msgs.clear();
        msgs.answers << MsgAnswer::ShowCheckouts << MsgAnswer::Remove;
        QStringList listed;
        whileModal([&] { gui().click("removeViewBut"); },
                   [&](QWidget *modal) {
                       QCOMPARE(modal, &AppGlobals().checkouts());
                       listed = rowsOf(AppGlobals().checkouts());
                   });
        QCOMPARE(listed.size(), 7);
        QCOMPARE(listed[3], "/vobs/tools/src/file_0004.c | unreserved");
        QCOMPARE(msgs.shown, (QList<Msg>{asked, asked}));
        QVERIFY(!site->tagExists("jdoe__work"));
        const QStringList run = commandsRun();
        const qsizetype end = run.indexOf("cleartool endview -server jdoe__work");
        QVERIFY(end >= 0 && run.indexOf("cleartool rmview -force -tag jdoe__work") > end);

        // A snapshot view with nothing checked out: the plain question; its view-private files are
        // not asked for (ClearCase cannot list them there).
        msgs.clear();
        commandlog::clear();
        removeAs("jdoe__snap", {MsgAnswer::Yes});
        QCOMPARE(msgs.shown, (QList<Msg>{{"You are about to permanently remove view\r\n--> jdoe__snap\r\n\r\n"
                                          ">>> Are you sure you want to do this?",
                                          MsgIcon::Exclamation, MsgButtons::YesNo, "Warning..."}}));
        QVERIFY(!commandsRun().join('\n').contains("lsprivate"));
        QVERIFY(commandsRun().contains("cleartool rmview -tag jdoe__snap"));
    }

    // Another user's view is never removed, whatever its tag holds: the user is told whose it is and
    // nothing is asked or changed (its storage gone or not).
    void removal_otherUsersView_changesNothing()
    {
        site->importViews({"Windows|carl__jdoe_pair|p8|vobhost|active,checkouts=2|carl"});
        gui().click("refreshBut");
        for (const QString &tag : {QStringLiteral("carl__jdoe_pair"), QStringLiteral("carl__jdoe_help")}) {
            msgs.clear();
            commandlog::clear();
            removeAs(tag, {});
            QCOMPARE(msgs.shown, (QList<Msg>{{"View --> " + tag +
                                                  " belongs to carl, not to you (jdoe).\r\n"
                                                  "Only its owner can remove it. Nothing was changed.",
                                              MsgIcon::Exclamation, MsgButtons::Ok, "Warning..."}}));
            QVERIFY(site->tagExists(tag));
            for (const QString &c : commandsRun())
                QVERIFY2(c.startsWith("cleartool ls"), qPrintable(c));
        }
    }

    // The answer deadline times cleartool only: a user who reads the checkouts longer than it is not
    // told of a failure, and the removal is made.
    void deadline_neverTimesTheUser()
    {
        qputenv("QUILLON_CLEARTOOL_TIMEOUT", "1");
        site->open();
        site->pick("r6000");
        qunsetenv("QUILLON_CLEARTOOL_TIMEOUT");
        msgs.answers << MsgAnswer::ShowCheckouts << MsgAnswer::Remove;
        gui().select("myViewsList", "jdoe__work");
        whileModal([&] { gui().click("removeViewBut"); }, [&](QWidget *) { QTest::qWait(1500); });
        QCOMPARE_SHOWN(2);
        QCOMPARE(msgs.shown[1].buttons, MsgButtons::RemoveKeepShow);
        QVERIFY(!site->tagExists("jdoe__work"));
    }

    // A removal whose answer is lost is never sent again: ClearCase is asked, the user is told once
    // what it holds and how to check, and My Existing View(s) shows what exists.
    void lostAnswer_askedAgain_neverResent()
    {
        removeAs("jdoe__clean", {MsgAnswer::Yes}, "CCSIM_DIE_AFTER=rmview\n");
        QCOMPARE_SHOWN(2);
        QCOMPARE(msgs.shown[1], (Msg{"The answer to the removal of view --> jdoe__clean was lost:\r\n"
                                     "cleartool ended before it answered: rmview -tag jdoe__clean\r\n\r\n"
                                     "ClearCase, asked again, shows it was done.\r\n"
                                     "To check by hand, run: cleartool lsview -region Windows jdoe__clean" +
                                         LOG_HINT,
                                     MsgIcon::Information, MsgButtons::Ok, "Finished..."}));
        QCOMPARE(commandsRun().filter("rmview").size(), 1);
        QVERIFY(!site->tagExists("jdoe__clean"));

        // No answer in time: the list stays true, the loss is said once, and the removal ClearCase goes
        // on with is not sent again.
        site->setKnobs("CCSIM_SLOW=rmview:2500\n");
        qputenv("QUILLON_CLEARTOOL_TIMEOUT", "1");
        site->open();
        site->pick("r6000");
        qunsetenv("QUILLON_CLEARTOOL_TIMEOUT");
        msgs.clear();
        commandlog::clear();
        removeAs("jdoe__fresh", {MsgAnswer::Yes});
        QCOMPARE_SHOWN(2);
        QVERIFY2(msgs.shown[1].text.contains("cleartool did not answer within 1 seconds.\r\n\r\nClearCase, "
                                             "asked again, shows it was not done (so far).") &&
                     msgs.shown[1].icon == MsgIcon::Exclamation && msgs.shown[1].title == "Warning...",
                 qPrintable(msgs.shown[1].text));
        QVERIFY(gui().items("myViewsList").contains("jdoe__fresh") &&
                gui().items("myViewsList").contains("jdoe__work"));
        QTRY_VERIFY_WITH_TIMEOUT(!site->tagExists("jdoe__fresh"), 5000);
        QCOMPARE(commandsRun().filter("rmview").size(), 1);
    }

    // Storage gone: the clean-up is offered for the user's own view once ClearCase, asked again, still
    // cannot reach it; it removes the tags of that view only, region by region, this region's last.
    void cleanUp_onlyThisView_inOrder()
    {
        site->importViews(
            {"ccase_unix|jdoe__gone|px|vobhost|active|carl", "Other|jdoe__gone|p2|vobhost|tag|jdoe"});
        const QString uuid = uuidOf("jdoe__gone");
        const QStringList steps{
            "cleartool rmtag -view -region Other jdoe__gone", "cleartool unregister -view -uuid " + uuid,
            "cleartool rmview -force -all -uuid " + uuid, "cleartool rmtag -view -region Windows jdoe__gone"};
        removeAs("jdoe__gone", {MsgAnswer::Remove, MsgAnswer::Yes});
        QCOMPARE_SHOWN(3);
        QVERIFY2(msgs.shown[0].text.contains("   2 checked-out files:\r\n") &&
                     msgs.shown[0].text.contains("   Its view-private files could not be listed: Operation "
                                                 "\"view_get_prop(VIEW_PROP_WEBVIEW)\" failed"),
                 qPrintable(msgs.shown[0].text));
        QCOMPARE(msgs.shown[1].buttons, MsgButtons::YesNo);
        QVERIFY2(
            msgs.shown[1].text.startsWith("The storage of view --> jdoe__gone cannot be reached:\r\n") &&
                msgs.shown[1].text.contains("in this order:\r\n   " + steps.join("\r\n   ") + "\r\n\r\n"),
            qPrintable(msgs.shown[1].text));
        QCOMPARE(msgs.shown[2], (Msg{"The tag and registry entries of view --> jdoe__gone have been removed.",
                                     MsgIcon::Information, MsgButtons::Ok, "Finished..."}));
        QCOMPARE(commandsRun().filter(QRegularExpression("rmtag|unregister|-uuid")), steps);
        QVERIFY(!site->tagExists("jdoe__gone") && !site->tagExists("jdoe__gone", "Other"));
        QVERIFY(site->tagExists("jdoe__gone", "ccase_unix")); // carl's live view keeps its tag
        QVERIFY(site->cleartool({"lsco", "-avobs", "-fmt", "%TUf\\n"}).indexOf(uuid) < 0);
    }

    // Before the clean-up, and before each of its steps, the view is checked to be stale still: a storage
    // error once, or storage that came back while the question was open, changes nothing.
    void cleanUp_onlyWhileStale()
    {
        removeAs("jdoe__clean", {MsgAnswer::Yes}, "CCSIM_FAIL_STORAGE=rmview\n");
        QCOMPARE_SHOWN(2);
        QVERIFY2(
            msgs.shown[1].text.startsWith("Warning::Operation \"view_get_prop(VIEW_PROP_WEBVIEW)\" failed") &&
                msgs.shown[1].text.endsWith("Coult not remove view..." + LOG_HINT),
            qPrintable(msgs.shown[1].text));
        QVERIFY(site->tagExists("jdoe__clean"));
        site->setKnobs("");

        msgs.clear();
        commandlog::clear();
        msgs.whileShown = [this](const Msg &m) {
            if (m.text.startsWith("The storage of view"))
                site->cleartool({"-sim-unreachable", "jdoe__gone", "off"});
        };
        removeAs("jdoe__gone", {MsgAnswer::Remove, MsgAnswer::Yes});
        msgs.whileShown = {};
        QCOMPARE_SHOWN(3);
        QVERIFY2(
            msgs.shown[2].text.startsWith("Warning::The storage of view --> jdoe__gone can be reached again: "
                                          "the view is not stale.\r\nCould not clean up view --> jdoe__gone"),
            qPrintable(msgs.shown[2].text));
        QVERIFY(commandsRun().filter(QRegularExpression("rmtag|unregister|-uuid")).isEmpty());
        QVERIFY(site->tagExists("jdoe__gone"));
    }

    // A clean-up that stops part-way says which steps ran and which did not; the next removal finds the
    // view stale again and finishes it.
    void cleanUp_halfDone_finishedNextTime()
    {
        site->importViews({"Other|jdoe__gone|p2|vobhost|tag|jdoe"});
        const QString uuid = uuidOf("jdoe__gone");
        removeAs("jdoe__gone", {MsgAnswer::Remove, MsgAnswer::Yes}, "CCSIM_FAIL=unregister\n");
        QCOMPARE_SHOWN(3);
        QCOMPARE(
            msgs.shown[2],
            (Msg{"Warning::Simulated failure of unregister.\r\nCould not clean up view --> jdoe__gone\r\n\r\n"
                 "Done:\r\n   cleartool rmtag -view -region Other jdoe__gone\r\n\r\n"
                 "Not done:\r\n   cleartool unregister -view -uuid " +
                     uuid + "\r\n   cleartool rmview -force -all -uuid " + uuid +
                     "\r\n   cleartool rmtag -view -region Windows jdoe__gone\r\n\r\n"
                     "Remove the view again to finish the clean-up." +
                     LOG_HINT,
                 MsgIcon::Exclamation, MsgButtons::Ok, "Warning..."}));
        QVERIFY(site->tagExists("jdoe__gone") && !site->tagExists("jdoe__gone", "Other"));

        site->setKnobs("");
        msgs.clear();
        removeAs("jdoe__gone", {MsgAnswer::Remove, MsgAnswer::Yes});
        QCOMPARE_SHOWN(3);
        QVERIFY(!msgs.shown[1].text.contains("-region Other"));
        QCOMPARE(msgs.shown[2].title, "Finished...");
        QVERIFY(!site->tagExists("jdoe__gone"));

        // Stopped after unregister: the tag names a view no longer registered (ClearCase gives no owner);
        // the next removal still finishes it, without unregistering twice.
        site->importViews({"Windows|jdoe__lost|p9|vobhost|unreachable,checkouts=1|jdoe"});
        gui().click("refreshBut");
        msgs.clear();
        removeAs("jdoe__lost", {MsgAnswer::Remove, MsgAnswer::Yes}, "CCSIM_FAIL=rmtag\n");
        QCOMPARE(msgs.shown.value(2).title, "Warning...");
        QVERIFY(site->tagExists("jdoe__lost"));
        msgs.clear();
        commandlog::clear();
        removeAs("jdoe__lost", {MsgAnswer::Remove, MsgAnswer::Yes}, "");
        QCOMPARE_SHOWN(3);
        QCOMPARE(msgs.shown[2].title, "Finished...");
        QVERIFY(commandsRun().filter("unregister").isEmpty());
        QVERIFY(!site->tagExists("jdoe__lost"));
    }

    // File > Exit while the Checkouts window of the removal question is up: the removal is cancelled as
    // "No", and the user is told.
    void exit_duringCheckouts_cancelsRemoval()
    {
        msgs.answers << MsgAnswer::ShowCheckouts << MsgAnswer::Remove;
        gui().select("myViewsList", "jdoe__work");
        whileModal([&] { gui().click("removeViewBut"); }, [&](QWidget *) { QVERIFY(gui().trigger("Exit")); });
        QCOMPARE_SHOWN(2);
        QCOMPARE(msgs.shown[1],
                 (Msg{"Quillon was closed while the checkouts of view --> jdoe__work were shown.\r\n"
                      "The removal was cancelled: the view was not removed.",
                      MsgIcon::Information, MsgButtons::Ok, "Remove View"}));
        QVERIFY(commandsRun().filter(QRegularExpression("endview|rmview")).isEmpty());
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
        QCOMPARE_SHOWN(1);
        QCOMPARE(msgs.shown[0].buttons, MsgButtons::RemoveKeepShow);
        for (const QString &c : commandsRun())
            QVERIFY2(c.startsWith("cleartool "), qPrintable(c));

        msgs.clear();
        gui().find<QListWidget>("myViewsList")->setCurrentRow(-1);
        QVERIFY(gui().trigger("FindCO"));
        QCOMPARE(msgs.shown, (QList<Msg>{{"First select a view in the 'My Existing View(s):' list.",
                                          MsgIcon::Information}}));
    }

    // The edited config spec is set only with a yes; a rejected one is kept for the next try; the file is
    // private; no command that prompts is run.
    void configSpec_roundTrip_rejectedTextKept()
    {
        const QString seen = site->root() + "/seen";
        useEditor({"mode=" + seen, "copy=" + seen, "write=element * CHECKEDOUT\\nbogus rule\\n"});
        openDetail("jdoe__clean");
        frmViewDetail &detail = AppGlobals().viewDetail();
        const QString before = detail.detailTxt(0)->toPlainText();
        msgs.answers << MsgAnswer::Yes << MsgAnswer::No;
        editCs();
        QCOMPARE_SHOWN(2);
        QCOMPARE(msgs.shown[0], (Msg{"Set config spec for view \"jdoe__clean\"?", MsgIcon::Question,
                                     MsgButtons::YesNo, "Config spec"}));
        QCOMPARE(msgs.shown[1],
                 (Msg{"ClearTool returned error: Syntax error in config spec, line 2: unknown rule "
                      "\"bogus\".\r\nConfig spec semantic processing failed.\r\n\r\nYour edited "
                      "config spec is kept. Edit it again?" +
                          LOG_HINT,
                      MsgIcon::Exclamation, MsgButtons::YesNo, "Config spec"}));
        const QString first = QString::fromUtf8(readFile(seen));
        const QString mode = first.section('\n', 0, 0); // on Windows access lists keep the file private
        QVERIFY2(mode == "600 700" || QDir::listSeparator() == ';', qPrintable(mode));
        QCOMPARE(first.section('\n', 1), "element * CHECKEDOUT\nelement * /main/LATEST\n");
        QCOMPARE(detail.detailTxt(0)->toPlainText(), before);
        QCOMPARE(site->cleartool({"catcs", "-tag", "jdoe__clean"}),
                 "element * CHECKEDOUT\nelement * /main/LATEST\n");

        // The next edit starts from the kept text; this one ClearCase takes.
        msgs.clear();
        QFile::remove(seen);
        useEditor({"copy=" + seen, "write=element * CHECKEDOUT\\nelement * /main/0\\n"});
        msgs.answers << MsgAnswer::Yes;
        editCs();
        QCOMPARE(msgs.texts(), QStringList{"Set config spec for view \"jdoe__clean\"?"});
        QCOMPARE(readFile(seen), "element * CHECKEDOUT\nbogus rule\n");
        QCOMPARE(site->cleartool({"catcs", "-tag", "jdoe__clean"}),
                 "element * CHECKEDOUT\nelement * /main/0\n");
        QVERIFY(detail.detailTxt(0)->toPlainText().contains("/main/0"));
        for (const QString &c : commandsRun())
            QVERIFY2(!c.contains("edcs"), qPrintable(c));

        // An editor that returns before anything is saved: the user is asked, and No sets nothing.
        msgs.clear();
        useEditor({});
        editCs();
        QCOMPARE_SHOWN(1);
        QVERIFY(msgs.shown[0].text.startsWith("The config spec of view jdoe__clean has not changed yet."));

        // A snapshot view's is set inside the view; another user's cannot be edited.
        msgs.clear();
        openDetail("jdoe__snap");
        editCs();
        QCOMPARE_SHOWN(1);
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Information);
        QVERIFY(msgs.shown[0].text.contains("cleartool edcs"));
        site->importViews({"Windows|carl__jdoe_pair|p8|vobhost|-|carl"});
        gui().click("refreshBut");
        openDetail("carl__jdoe_pair");
        QVERIFY(!detail.findChild<QPushButton *>("editCsBut")->isEnabled());
    }

    // Quillon closed while the editor still has the config spec open: the file stays, is not set, and
    // the user is told where it is.
    void configSpec_exitWhileEditing_draftKept()
    {
        useEditor({"sleep=5000"});
        openDetail("jdoe__clean");
        QTimer::singleShot(300, this, [this] { QVERIFY(gui().trigger("Exit")); });
        editCs();
        QCOMPARE_SHOWN(1);
        const QString text = msgs.shown[0].text;
        const QString head =
            "Your editor still has the config spec of view jdoe__clean open. The file is kept, "
            "and not set as the view's config spec:\r\n";
        QVERIFY2(text.startsWith(head), qPrintable(text));
        QCOMPARE(msgs.shown[0].title, "Config spec");
        const QString path = text.mid(head.size());
        site.reset(); // the window and its drafts go
        QCOMPARE(readFile(path), "element * CHECKEDOUT\nelement * /main/LATEST\n");
        QDir(QFileInfo(path).path()).removeRecursively();
    }

    // Created, last modified and last accessed in View Detail; the last access in
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

        auto *list = gui().find<QListWidget>("myViewsList");
        const auto item = [list](const QString &tag) {
            return list->findItems(tag, Qt::MatchExactly).value(0);
        };
        // The ages are asked once the window is idle after the listing.
        QTRY_VERIFY(!item("jdoe__gone")->toolTip().isEmpty());
        QVERIFY2(item("jdoe__idle")->toolTip().endsWith("(200 days ago), not used for 90 days or more"),
                 qPrintable(item("jdoe__idle")->toolTip()));
        // Marked by a visible clock and in words; the text keeps the list's own colour and font, and
        // every dated row holds a mark of the same size, so that the tags stay in line.
        QVERIFY(item("jdoe__idle")
                    ->data(Qt::AccessibleDescriptionRole)
                    .toString()
                    .endsWith("for 90 days or more"));
        QVERIFY(!item("jdoe__idle")->font().italic() && item("jdoe__idle")->foreground() == QBrush());
        const QImage idle = item("jdoe__idle")->icon().pixmap(16, 16).toImage();
        const QImage fresh = item("jdoe__fresh")->icon().pixmap(16, 16).toImage();
        QCOMPARE(idle.size(), fresh.size());
        QCOMPARE(fresh.pixelColor(8, 2).alpha(), 0);
        QVERIFY(idle.pixelColor(8, 2).alpha() > 0);
        QVERIFY(item("jdoe__fresh")->toolTip().endsWith("(yesterday)"));
        QCOMPARE(item("jdoe__gone")->toolTip(), "jdoe__gone\nLast access not known");
        QCOMPARE(msgs.shown, QList<Msg>());
    }

    // Help > Command Log: every command of this run, newest last, added while it is open, opened on
    // the newest; Copy gives the columns and rows as text.
    void commandLog_everyCommand_copy()
    {
        QVERIFY(gui().trigger("CommandLog"));
        frmTable &log = AppGlobals().commandLog();
        QVERIFY(log.isVisible() && log.rowsList()->topLevelItemCount() == 0);
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
        // Opened again, on the newest row; a tag not found is an answer, not a failure.
        log.close();
        const CommandRecord asked{
            .source = CommandRecord::Source::ClearCase,
            .started = QDateTime::currentDateTime(),
            .command = "cleartool lsview -long jdoe__none",
            .ran = true,
            .exitCode = 1,
            .firstError = "cleartool: Error: No matching entries found for view tag \"jdoe__none\"."};
        commandlog::add(asked);
        QVERIFY(gui().trigger("CommandLog"));
        QTreeWidgetItem *newest = log.rowsList()->currentItem();
        QCOMPARE(log.rowsList()->indexOfTopLevelItem(newest), log.rowsList()->topLevelItemCount() - 1);
        QCOMPARE(newest->text(1), "answered");
        QCOMPARE(newest->text(4), "none found: " + asked.firstError);
    }
};

QTEST_MAIN(TestViewCare)
#include "tst_view_care.moc"
