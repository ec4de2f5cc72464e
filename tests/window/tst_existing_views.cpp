// "My Existing View(s):" driven as a user does: the listing, the refusals and ClearCase's errors, a
// listing failing part-way, the confirmed removal, the view detail.

#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/frmViewDetail.h"

#include <QtTest>

class TestExistingViews : public WindowTest {
    Q_OBJECT

    QStringList mine() { return gui().items("myViewsList"); }

private slots:
    void init()
    {
        site = std::make_unique<TestSite>();
        // No alternate file: the first project choice keeps the primary settings, silently.
        site->writeConfig("qn.cfg", TestSite::configLines(false));
        site->addTemplate("r6000", "dev", {"element * /main/LATEST"});
        site->importViews({"Windows|jdoe__dev|p|vobhost|active|jdoe", "Windows|JDOE__DEV|p|vobhost|-|jdoe",
                           "Windows|Zz_JDoe|p|vobhost|-|carl", "ccase_unix|jdoe__unix|p|vobhost|-|jdoe",
                           "Windows|jdoe__snap|p|vobhost|snapshot,stream=s1|jdoe",
                           "Windows|jdoe_old|p|vobhost|dynamic|jdoe",
                           "Windows|asmith__dev|p|vobhost|active|asmith"});
        site->open();
        site->pick("r6000");
        // The user's name anywhere in the tag, in any case, once, sorted ignoring case; the first selected.
        QCOMPARE(mine(), (QStringList{"jdoe__dev", "jdoe__snap", "jdoe_old", "Zz_JDoe"}));
        QCOMPARE(gui().find<QListWidget>("myViewsList")->currentRow(), 0);
        QCOMPARE(msgs.shown, QList<Msg>());
    }
    // Before a project is chosen the user is not known; an empty region and an unknown one refuse.
    void listing_refusalsAndClearToolErrors()
    {
        site->writeConfig("qn.cfg",
                          TestSite::configLines(true, {"NT_ONLY=false"})); // controls enabled at start
        AppGlobals().tag_user = AppGlobals().unix_user = QString();        // as at the program's start
        site->open();
        gui().click("refreshBut");
        site->pick("r6000");
        for (const char *region : {"", "Mars"}) { // the region is set on the configuration panel
            QVERIFY(gui().trigger("Configuration"));
            gui().choose("regionCombo", QString::fromLatin1(region));
            gui().click("butBack");
            gui().click("refreshBut");
        }
        QCOMPARE(msgs.shown, (QList<Msg>{{"First select a project from the project \r\npull-down menu.  "
                                          "Warning: User is not identified yet.\r\n",
                                          MsgIcon::Exclamation},
                                         {"Region is not specified or unknown", MsgIcon::Exclamation},
                                         {"ClearTool returned error: Unknown region \"Mars\"." + LOG_HINT}}));
        QCOMPARE(mine(), QStringList());
    }

    // A region listing that fails part-way keeps the views listed so far, and says why.
    void listing_failingPartWay_keepsWhatWasListed()
    {
        const StandInPath bin;
        childProgram(
            bin.dir(), "cleartool",
            {"on=quillon-end-:cleartool: Error: Unrecognized command: \"%l\"|Command %n returned status 1",
             "on=:jdoe__a|jdoe__b|cleartool: Error: Unable to contact the registry server.|Command %n "
             "returned status 1",
             "serve"});
        site->writeConfig("qn.cfg",
                          TestSite::configLines(true, {"NT_ONLY=false"})); // controls enabled at start
        site->open();
        AppGlobals().tag_user = AppGlobals().unix_user = "jdoe"; // as a project load leaves them
        gui().click("refreshBut");
        QCOMPARE(mine(), (QStringList{"jdoe__a", "jdoe__b"}));
        QCOMPARE(msgs.shown, (QList<Msg>{{"ClearTool returned error: Unable to contact the registry server." +
                                          LOG_HINT}}));
    }

    // No keeps the view; once removed, its template's marker says so. A removal that ClearCase refuses
    // (the tag went behind the program's back) warns and refreshes the list. (The question's text:
    // tst_view_care.)
    void removal_onYesOnly_refusedRemovalWarnsAndRefreshes()
    {
        gui().select("myViewsList", "jdoe__dev");
        msgs.answers << MsgAnswer::No << MsgAnswer::Yes;
        gui().click("removeViewBut");
        QVERIFY(site->tagExists("jdoe__dev"));
        gui().click("removeViewBut");
        QVERIFY(!site->tagExists("jdoe__dev"));
        QCOMPARE(gui().items("viewStatusList"), QStringList{"U"});

        msgs.clear();
        gui().select("myViewsList", "jdoe_old");
        site->cleartool({"rmview", "-tag", "jdoe_old"});
        msgs.answers.enqueue(MsgAnswer::Yes);
        gui().click("removeViewBut");
        QCOMPARE(msgs.shown.size(), 2);
        QCOMPARE(msgs.shown[1], (Msg{"Warning::No matching entries found for view tag \"jdoe_old\".\r\n"
                                     "Coult not remove view..." +
                                         LOG_HINT,
                                     MsgIcon::Exclamation, MsgButtons::Ok, "Warning..."}));
        QVERIFY(!mine().contains("jdoe_old"));
    }

    void detail_ofSnapshotThenDynamicThenVanishedView()
    {
        // A snapshot view's config spec is set inside the view: it comes with the import here.
        site->addRawTemplate("cs", "cs.txt", "element * SNAP_LABEL\n");
        site->cleartool({"rmview", "-tag", "jdoe__snap"});
        site->importViews({"Windows|jdoe__snap|p2|vobhost|snapshot,stream=s1|jdoe||" +
                           site->share("ccstorage/utils/kestrel/config/cs/cs.txt")});
        gui().select("myViewsList", "jdoe__snap");
        gui().click("detailBut");
        frmViewDetail &d = AppGlobals().viewDetail();
        QVERIFY(d.isVisible());
        QCOMPARE(d.mainLabel()->text(),
                 QStringLiteral("View Name: jdoe__snap\r\nIs Active: False\r\nIs Snapshot: "
                                "True\r\nIs UCM View: True\r\nView Server Host: vobhost\r\n"));
        QCOMPARE(d.detailTxt(0)->toPlainText(), QStringLiteral("element * SNAP_LABEL\n"));
        QVERIFY(d.detailTxt(1)->toPlainText().startsWith("Tag: jdoe__snap"));
        gui().doubleClick("myViewsList", "jdoe__dev");
        QVERIFY(d.mainLabel()->text().contains("Is Active: True\r\nIs Snapshot: False\r\n"));
        QVERIFY(!d.detailTxt(0)->toPlainText().contains("SNAP_LABEL"));
        QCOMPARE(msgs.shown, QList<Msg>());
        // A tag removed behind the program's back: an error, the previous view stays shown.
        const QString shown = d.mainLabel()->text();
        site->cleartool({"rmview", "-tag", "jdoe_old"});
        gui().select("myViewsList", "jdoe_old");
        gui().click("detailBut");
        QCOMPARE(msgs.shown, (QList<Msg>{{"Failed to get information on view --> jdoe_old" + LOG_HINT,
                                          MsgIcon::Critical, MsgButtons::Ok, "Error Encountered..."}}));
        QCOMPARE(d.mainLabel()->text(), shown);
    }
};

QTEST_MAIN(TestExistingViews)
#include "tst_existing_views.moc"
