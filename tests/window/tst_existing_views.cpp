// "My Existing View(s):": the listing, the confirmed removal, the Tools menu, the view detail.
#include "forms/frmMain.h"
#include "forms/frmViewDetail.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"
#include "ui_frmViewDetail.h"

#include <QTemporaryDir>
#include <QtTest>

class TestExistingViews : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    MessageRecorder rec;
    frmMain *w = nullptr;
    QListWidget *mine = nullptr;

private slots:
    void init()
    {
        site = std::make_unique<TestSite>();
        // No alternate file: the first project choice keeps the primary settings, silently.
        site->write_config("qn.cfg", TestSite::config_lines(false));
        site->add_template("r6000", "dev", {"element * /main/LATEST"});
        site->import_views({"Windows|jdoe__dev|p|vobhost|active|jdoe", "Windows|JDOE__DEV|p|vobhost|-|jdoe",
                            "Windows|Zz_JDoe|p|vobhost|-|carl", "ccase_unix|jdoe__unix|p|vobhost|-|jdoe",
                            "Windows|jdoe__snap|p|vobhost|snapshot,stream=s1|jdoe",
                            "Windows|jdoe_old|p|vobhost|dynamic|jdoe",
                            "Windows|asmith__dev|p|vobhost|active|asmith"});
        w = site->open();
        site->pick("r6000");
        mine = w->ui->myViewsList;
        // The user's name anywhere in the tag, in any case, once, sorted ignoring case.
        QCOMPARE(TestSite::items(mine), (QStringList{"jdoe__dev", "jdoe__snap", "jdoe_old", "Zz_JDoe"}));
        QCOMPARE(mine->currentRow(), 0);
        QCOMPARE(rec.texts(), QStringList());
        QCOMPARE(AppGlobals().config.VOB_SERVER, QStringLiteral("vobhost"));
    }
    void cleanup()
    {
        site.reset();
        rec.clear();
    }

    void listing_refusalsAndClearToolErrors()
    {
        AppGlobals().tag_user = AppGlobals().unix_user = QString();
        w->get_myviews("Windows");
        AppGlobals().tag_user = AppGlobals().unix_user = "jdoe";
        w->get_myviews(QString());
        w->get_myviews("Mars");
        QCOMPARE(rec.shown, (QList<Msg>{{"First select a project from the project \r\npull-down menu.  "
                                         "Warning: User is not identified yet.\r\n",
                                         MsgIcon::Exclamation},
                                        {"Region is not specified or unknown", MsgIcon::Exclamation},
                                        {"ClearTool returned error: Unknown region \"Mars\"."}}));
        QCOMPARE(mine->count(), 0);
    }

    // A region listing that fails part-way keeps the views listed so far, and says why.
    void listing_failingPartWay_keepsWhatWasListed()
    {
        QTemporaryDir bin;
        QFile fake(bin.filePath("cleartool"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\nwhile read -r line; do echo jdoe__a; echo jdoe__b;"
                   " echo 'cleartool: Error: Unable to contact the registry server.';"
                   " echo 'Command 1 returned status 1'; done\n");
        fake.close();
        QVERIFY(fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        w = site->open();
        mine = w->ui->myViewsList;
        w->get_myviews("Windows");
        qputenv("PATH", path);
        QCOMPARE(TestSite::items(mine), (QStringList{"jdoe__a", "jdoe__b"}));
        QCOMPARE(rec.shown,
                 (QList<Msg>{{"ClearTool returned error: Unable to contact the registry server."}}));
    }

    void removal_onYesOnly_refusedRemovalWarnsAndRefreshes()
    {
        TestSite::select(mine, "jdoe__dev");
        rec.answers.enqueue(MsgAnswer::No);
        w->removeViewBut_Click();
        QCOMPARE(rec.shown, (QList<Msg>{{"You are about to permanently remove view\r\n--> jdoe__dev\r\n\r\n"
                                         ">>> Are you sure you want to do this?",
                                         MsgIcon::Exclamation, MsgButtons::YesNo, "Warning..."}}));
        QVERIFY(site->tag_exists("jdoe__dev"));
        rec.answers.enqueue(MsgAnswer::Yes);
        w->removeViewBut_Click();
        QVERIFY(!site->tag_exists("jdoe__dev"));
        QVERIFY(!TestSite::items(mine).contains("jdoe__dev"));
        QCOMPARE(w->ui->viewStatusList->item(0)->text(), QStringLiteral("U"));

        rec.clear();
        TestSite::select(mine, "jdoe_old");
        site->cleartool({"rmview", "-tag", "jdoe_old"});
        rec.answers.enqueue(MsgAnswer::Yes);
        w->removeViewBut_Click();
        QCOMPARE(rec.shown.size(), 2);
        QCOMPARE(rec.shown[1], (Msg{"Warning::No matching entries found for view tag \"jdoe_old\".\r\n"
                                    "Coult not remove view...",
                                    MsgIcon::Exclamation, MsgButtons::Ok, "Warning..."}));
        QVERIFY(!TestSite::items(mine).contains("jdoe_old"));
    }

    void tools_missingProgramsAreReported()
    {
        w->ui->StartView->trigger();
        w->ui->FindCO->trigger();
        QCOMPARE(rec.shown.size(), 2);
        QCOMPARE(
            rec.shown,
            (QList<Msg>{{"ERROR: No such file or directory\r\nCould not execute --> cleardlg.exe /startview"},
                        {"ERROR: No such file or directory\r\nCould not execute --> clearfindco.exe"}}));
    }

    void detail_ofSnapshotThenDynamicThenVanishedView()
    {
        // A snapshot view's config spec is set inside the view: it comes with the import here.
        site->add_raw_template("cs", "cs.txt", "element * SNAP_LABEL\n");
        site->cleartool({"rmview", "-tag", "jdoe__snap"});
        site->import_views({"Windows|jdoe__snap|p2|vobhost|snapshot,stream=s1|jdoe||" +
                            site->share("ccstorage/utils/kestrel/config/cs/cs.txt")});
        TestSite::select(mine, "jdoe__snap");
        w->show_view_detail();
        frmViewDetail &d = AppGlobals().view_detail();
        QVERIFY(d.isVisible());
        QCOMPARE(d.ui->mainLabel->text(),
                 QStringLiteral("View Name: jdoe__snap\r\nIs Active: False\r\nIs Snapshot: "
                                "True\r\nIs UCM View: True\r\nView Server Host: vobhost\r\n"));
        QCOMPARE(d.detailTxt(0)->toPlainText(), QStringLiteral("element * SNAP_LABEL\n"));
        QVERIFY(d.detailTxt(1)->toPlainText().startsWith("Tag: jdoe__snap"));
        TestSite::select(mine, "jdoe__dev");
        w->show_view_detail();
        QVERIFY(d.ui->mainLabel->text().contains("Is Active: True\r\nIs Snapshot: False\r\n"));
        QVERIFY(!d.detailTxt(0)->toPlainText().contains("SNAP_LABEL"));
        QVERIFY(rec.shown.isEmpty());
        // A tag removed behind the program's back: an error, the previous view stays shown.
        const QString shown = d.ui->mainLabel->text();
        site->cleartool({"rmview", "-tag", "jdoe_old"});
        TestSite::select(mine, "jdoe_old");
        w->show_view_detail();
        QCOMPARE(rec.shown, (QList<Msg>{{"Failed to get information on view --> jdoe_old", MsgIcon::Critical,
                                         MsgButtons::Ok, "Error Encountered..."}}));
        QCOMPARE(d.ui->mainLabel->text(), shown);
    }
};

QTEST_MAIN(TestExistingViews)
#include "tst_existing_views.moc"
