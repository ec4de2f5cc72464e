// Operations on existing views: the confirmed removal, ClearCase's own
// tools, and the view detail window.
#include "forms/frmMain.h"
#include "forms/frmViewDetail.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"
#include "ui_frmViewDetail.h"

#include <QtTest>

namespace {
const QStringList VIEWS{
    QStringLiteral("Windows|jdoe__dev|\\\\vobhost\\ccstg\\views\\jdoe__dev.vws|vobhost|active|jdoe"),
    QStringLiteral("Windows|jdoe__snap|\\\\vobhost\\ccstg\\views\\jdoe__snap.vws|vobhost|snapshot,stream=s1|jdoe"),
    QStringLiteral("Windows|jdoe_old|\\\\vobhost\\ccstg\\views\\jdoe_old.vws|vobhost|dynamic|jdoe"),
    QStringLiteral("Windows|asmith__dev|\\\\vobhost\\ccstg\\views\\asmith__dev.vws|vobhost|active|asmith"),
};

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void select(QListWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    list->setCurrentItem(found.first());
}
} // namespace

class TestExistingViews : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    std::unique_ptr<MessageRecorder> recorder;
    frmMain *w = nullptr;

private slots:
    void init()
    {
        site = std::make_unique<TestSite>();
        recorder = std::make_unique<MessageRecorder>();
        site->write_config(QStringLiteral("qn.cfg"), TestSite::config_lines(false));
        site->add_template(QStringLiteral("r6000"), QStringLiteral("dev"), {QStringLiteral("element * /main/LATEST")});
        site->import_views(VIEWS);
        w = site->open();
        site->pick(QStringLiteral("r6000"));
        QCOMPARE(items(w->ui->myViewsList),
                 QStringList({QStringLiteral("jdoe__dev"), QStringLiteral("jdoe__snap"), QStringLiteral("jdoe_old")}));
        QCOMPARE(recorder->texts(), QStringList());
    }
    void cleanup()
    {
        site.reset();
        recorder.reset();
    }

    void removal_askedThenDoneOnYesOnly()
    {
        MessageRecorder &rec = *recorder;
        select(w->ui->myViewsList, QStringLiteral("jdoe__dev"));

        rec.answers.enqueue(MsgAnswer::No);
        w->removeViewBut_Click();
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].text, QStringLiteral("You are about to permanently remove view\r\n--> jdoe__dev\r\n\r\n"
                                                   ">>> Are you sure you want to do this?"));
        QCOMPARE(rec.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(rec.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Warning..."));
        QVERIFY(site->tag_exists(QStringLiteral("jdoe__dev")));
        QCOMPARE(w->ui->viewStatusList->item(0)->text(), QStringLiteral("A"));

        rec.answers.enqueue(MsgAnswer::Yes);
        w->removeViewBut_Click();
        QCOMPARE(rec.shown.size(), 2);
        QVERIFY(!site->tag_exists(QStringLiteral("jdoe__dev")));
        // Both lists show the new state: the template's view is gone.
        QVERIFY(!items(w->ui->myViewsList).contains(QStringLiteral("jdoe__dev")));
        QCOMPARE(w->ui->viewStatusList->item(0)->text(), QStringLiteral("U"));
        QVERIFY(w->cursor().shape() != Qt::WaitCursor);
    }

    void removal_refusedByClearCase_warnsAndRefreshes()
    {
        MessageRecorder &rec = *recorder;
        select(w->ui->myViewsList, QStringLiteral("jdoe_old"));
        site->cleartool({QStringLiteral("rmview"), QStringLiteral("-tag"), QStringLiteral("jdoe_old")});
        rec.answers.enqueue(MsgAnswer::Yes);
        w->removeViewBut_Click();
        QCOMPARE(rec.shown.size(), 2);
        QVERIFY(rec.shown[1].text.startsWith(QStringLiteral("Warning::")));
        QVERIFY(rec.shown[1].text.contains(QStringLiteral("jdoe_old")));
        QVERIFY(rec.shown[1].text.endsWith(QStringLiteral("\r\nCoult not remove view...")));
        QCOMPARE(rec.shown[1].icon, MsgIcon::Exclamation);
        QCOMPARE(rec.shown[1].title, QStringLiteral("Warning..."));
        // The refresh after the warning shows the true state.
        QVERIFY(!items(w->ui->myViewsList).contains(QStringLiteral("jdoe_old")));
    }

    void removal_withEmptyListOrNoSelection_doesNothing()
    {
        MessageRecorder &rec = *recorder;
        w->ui->myViewsList->setCurrentRow(-1);
        w->removeViewBut_Click();
        w->ui->myViewsList->clear();
        w->removeViewBut_Click();
        w->show_view_detail();
        QVERIFY(rec.shown.isEmpty());
        QVERIFY(site->tag_exists(QStringLiteral("jdoe_old")));
    }

    void tools_missingProgramsAreReportedAndListsStay()
    {
        MessageRecorder &rec = *recorder;
        const QStringList before = items(w->ui->myViewsList);
        w->ui->StartView->trigger();
        w->ui->RemoveView->trigger();
        w->ui->FindCO->trigger();
        QCOMPARE(rec.shown.size(), 3);
        QVERIFY(rec.shown[0].text.endsWith(QStringLiteral("\r\nCould not execute --> cleardlg.exe /startview")));
        QVERIFY(rec.shown[1].text.endsWith(QStringLiteral("\r\nCould not execute --> cleardlg.exe /removeview")));
        QVERIFY(rec.shown[2].text.endsWith(QStringLiteral("\r\nCould not execute --> clearfindco.exe")));
        QCOMPARE(items(w->ui->myViewsList), before);
    }

    void detail_showsSummaryConfigSpecAndListing()
    {
        MessageRecorder &rec = *recorder;
        site->cleartool({QStringLiteral("endview"), QStringLiteral("jdoe_old")});
        QFile cs(site->root() + QStringLiteral("/cs.txt"));
        QVERIFY(cs.open(QIODevice::WriteOnly));
        cs.write("element * CHECKEDOUT\nelement * /main/LATEST\n");
        cs.close();
        site->cleartool({QStringLiteral("setcs"), QStringLiteral("-tag"), QStringLiteral("jdoe__snap"), cs.fileName()});

        select(w->ui->myViewsList, QStringLiteral("jdoe__snap"));
        w->show_view_detail();
        frmViewDetail &d = AppGlobals().view_detail();
        QVERIFY(rec.shown.isEmpty());
        QVERIFY(d.isVisible());
        QCOMPARE(d.ui->mainLabel->text(), QStringLiteral("View Name: jdoe__snap\r\nIs Active: False\r\n"
                                                         "Is Snapshot: True\r\nIs UCM View: True\r\n"
                                                         "View Server Host: vobhost\r\n"));
        // Line feeds of the stored config spec show as separate lines.
        QCOMPARE(d.detailTxt(0)->toPlainText().split(QLatin1Char('\n')),
                 QStringList({QStringLiteral("element * CHECKEDOUT"), QStringLiteral("element * /main/LATEST"),
                              QString()}));
        QVERIFY(d.detailTxt(1)->toPlainText().startsWith(QStringLiteral("Tag: jdoe__snap")));
        QVERIFY(d.detailTxt(1)->toPlainText().contains(QStringLiteral("Properties: snapshot")));
        QCOMPARE(w->ui->myViewsList->toolTip(), QStringLiteral("jdoe__snap"));

        // A second view replaces everything; an active dynamic view says so.
        d.ui->closeBut->click();
        QVERIFY(!d.isVisible());
        select(w->ui->myViewsList, QStringLiteral("jdoe__dev"));
        w->show_view_detail();
        QVERIFY(d.ui->mainLabel->text().contains(QStringLiteral("Is Active: True\r\nIs Snapshot: False\r\n")));
        QVERIFY(!d.detailTxt(1)->toPlainText().contains(QStringLiteral("jdoe__snap")));
    }

    void detail_ofTagRemovedBehindTheProgramsBack_leavesPreviousViewShown()
    {
        MessageRecorder &rec = *recorder;
        select(w->ui->myViewsList, QStringLiteral("jdoe__dev"));
        w->show_view_detail();
        frmViewDetail &d = AppGlobals().view_detail();
        const QString shown = d.ui->mainLabel->text();

        site->cleartool({QStringLiteral("rmview"), QStringLiteral("-tag"), QStringLiteral("jdoe_old")});
        select(w->ui->myViewsList, QStringLiteral("jdoe_old"));
        w->show_view_detail();
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].text, QStringLiteral("Failed to get information on view --> jdoe_old"));
        QCOMPARE(rec.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Error Encountered..."));
        QVERIFY(d.isVisible());
        QCOMPARE(d.ui->mainLabel->text(), shown);
    }
};

QTEST_MAIN(TestExistingViews)
#include "tst_existing_views.moc"
