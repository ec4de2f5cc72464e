// "Create View" in local mode against the simulator and the Kestrel stand-in,
// and the early ways out of a run.

#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QtTest>

namespace {
QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QString success(const QString &tag)
{
    return QStringLiteral("Success: the view --> ") + tag + QStringLiteral("\r\nhas been created.");
}
} // namespace

class TestCreateView : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    std::unique_ptr<MessageRecorder> msgs;
    frmMain *w = nullptr;
    // The templates in list order; every reload selects the first (and its view).
    QStringList files;

    QStringList kestrel_calls() const
    {
        QFile f(site->root() + QStringLiteral("/kestrel.calls"));
        return f.open(QIODevice::ReadOnly) ? QString(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                           : QStringList();
    }

    QString status_of(const QString &file) const
    {
        return w->ui->viewStatusList->item(files.indexOf(file))->text();
    }

    void create(const QString &file)
    {
        msgs->clear();
        w->ui->viewsList->setCurrentRow(files.indexOf(file));
        w->ui->createViewBut->click();
    }

    void verify_one(const QString &text, MsgIcon icon, const QString &title)
    {
        QCOMPARE(msgs->texts(), QStringList{text});
        QCOMPARE(msgs->shown[0].icon, icon);
        QCOMPARE(msgs->shown[0].title, title);
    }

private slots:
    void init()
    {
        site.reset(); // a failed init is not followed by cleanup
        msgs.reset();
        site = std::make_unique<TestSite>(QStringLiteral("JDoe"));
        msgs = std::make_unique<MessageRecorder>();
        site->write_config(QStringLiteral("qn.cfg"), TestSite::config_lines(false));
        // Kestrel as the program runs it: notes each run, then the stand-in.
        const QString home = site->share(QStringLiteral("ccstorage/utils/kestrel"));
        QFile kestrel(home + QStringLiteral("/kestrel"));
        QVERIFY(kestrel.open(QIODevice::WriteOnly));
        kestrel.write(
            "#!/bin/sh\necho \"$*\" >>'" + site->root().toLocal8Bit() + "/kestrel.calls'\nKESTREL_STORAGE='" +
            site->share(QStringLiteral("ccstg/views")).toLocal8Bit() +
            "' KESTREL_VIEW_HOST=vobhost CCSIM_REGION=Windows exec " QUILLON_SIM_BIN_DIR "/kestrel \"$@\"\n");
        kestrel.close();
        QVERIFY(kestrel.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        for (const char *t : {"dev", "rel"})
            site->add_template(QStringLiteral("r6000"), QLatin1String(t),
                               {QStringLiteral("#Kestrel_Description: development"),
                                QStringLiteral("element * /main/LATEST")});
        QVERIFY(QDir().mkpath(home + QStringLiteral("/config/mainline")));
        files = QDir(home + QStringLiteral("/config/r6000")).entryList(QDir::Files, QDir::Unsorted);
        // An earlier view of the user, so that a new one is not the first listed.
        site->import_views(
            {QStringLiteral("Windows|jdoe__aaa|\\\\vobhost\\ccstg\\views\\jdoe__aaa.vws|vobhost|"
                            "dynamic|jdoe")});
        w = site->open();
        site->pick(QStringLiteral("r6000"));
        QCOMPARE(msgs->texts(), QStringList());
        QCOMPARE(items(w->ui->myViewsList), QStringList{"jdoe__aaa"});
        QCOMPARE(status_of(files[1]), QStringLiteral("U"));
    }

    void cleanup()
    {
        // No run leaves the progress window or the hourglass behind.
        const bool busy = AppGlobals().progress().isVisible() || (w && w->cursor().shape() == Qt::WaitCursor);
        AppGlobals().progress().stop_progress();
        site.reset();
        msgs.reset();
        w = nullptr;
        QVERIFY(!busy);
    }

    void local_createsRefreshesAndSelectsExactCase_data()
    {
        QTest::addColumn<bool>("twin");
        QTest::newRow("new tag") << false;
        QTest::newRow("lower-case twin listed") << true;
    }

    void local_createsRefreshesAndSelectsExactCase()
    {
        QFETCH(bool, twin);
        // The local tag keeps the login name's letter case; the list, ignoring
        // case, does not show a lower-case twin a second time nor select it.
        const QString tag = "JDoe__" + files[1];
        const QString listed = twin ? "jdoe__" + files[1] : tag;
        if (twin)
            site->cleartool({"mkview", "-tag", listed, site->root() + QStringLiteral("/twin.vws")});
        w->ui->myViewsList->setCurrentRow(0);
        bool fired = false;
        // A second click, handled inside the run (which keeps events going), is ignored.
        QTimer::singleShot(0, this, [&] {
            fired = true;
            w->ui->createViewBut->click();
        });
        create(files[1]);
        QVERIFY(fired);

        QCOMPARE(kestrel_calls(),
                 QStringList{"-tag " + tag + " -cfg " +
                             site->share(QStringLiteral("ccstorage/utils/kestrel/config/r6000"))});
        verify_one(success(tag), MsgIcon::Information, QStringLiteral("Finished..."));
        QVERIFY(site->tag_exists(tag));
        QCOMPARE(items(w->ui->myViewsList), (QStringList{"jdoe__aaa", listed}));
        QCOMPARE(w->ui->myViewsList->currentItem()->text(), twin ? QStringLiteral("jdoe__aaa") : tag);
        QVERIFY(QStringList({"A", "C"}).contains(status_of(files[1])));
        QCOMPARE(status_of(files[0]), QStringLiteral("U"));
        create(files[0]); // the run is over
        QCOMPARE(kestrel_calls().size(), 2);
    }

    void earlyWaysOut_runNothing()
    {
        AppGlobals().config.IS_INTEROP = QStringLiteral("true");
        w->ui->pwdTxt->clear();
        w->ui->pwdTxt->setEnabled(false);
        create(files[1]);
        verify_one(QStringLiteral("You must type in the password \r\nfor your unix account\r\n"),
                   MsgIcon::Exclamation, QStringLiteral("Quillon"));
        QVERIFY(w->ui->pwdTxt->isEnabled());
        QVERIFY(kestrel_calls().isEmpty());

        // "True" is not "true": local mode, no password asked for.
        AppGlobals().config.IS_INTEROP = QStringLiteral("True");
        create(files[1]);
        QCOMPARE(msgs->texts(), QStringList{success("JDoe__" + files[1])});

        site->pick(QStringLiteral("mainline"));
        QCOMPARE(w->ui->viewsList->count(), 0);
        msgs->clear();
        w->ui->createViewBut->click();
        verify_one(QStringLiteral("There are no views to create "), MsgIcon::Exclamation,
                   QStringLiteral("Quillon"));

        site->pick(QStringLiteral("r6000"));
        create(QStringLiteral("none"));
        verify_one(QStringLiteral("Error::Subscript out of range\r\nCould not create view"),
                   MsgIcon::Critical, QStringLiteral("Error creating view..."));
        QCOMPARE(kestrel_calls().size(), 1);

        // No way out leaves the run marked as under way.
        create(files[0]);
        QCOMPARE(kestrel_calls().size(), 2);
    }

    void explorerMissing_errorBeforeRefresh()
    {
        AppGlobals().config.CC_EXPLORER = QStringLiteral("true");
        create(files[1]);
        QCOMPARE(kestrel_calls().size(), 1);
        QCOMPARE(msgs->shown.size(), 1);
        QVERIFY2(msgs->shown[0].text.startsWith(QLatin1String("Error::")) &&
                     msgs->shown[0].text.endsWith(QLatin1String("\r\nCould not create view")),
                 qPrintable(msgs->shown[0].text));
        // The view was made, but neither list was refreshed.
        QVERIFY(site->tag_exists("JDoe__" + files[1]));
        QCOMPARE(items(w->ui->myViewsList), QStringList{"jdoe__aaa"});
        QCOMPARE(status_of(files[1]), QStringLiteral("U"));
    }

    void noteWhenNothingIsCreated()
    {
        AppGlobals().config.KESTREL = QStringLiteral("no-such-kestrel");
        create(files[1]);
        // The runner's own report comes first, then the note.
        QCOMPARE(msgs->shown.size(), 2);
        QVERIFY(msgs->shown[0].text.contains(QLatin1String("no-such-kestrel")));
        msgs->shown.removeFirst();
        verify_one("Note: could not determine if the view --> JDoe__" + files[1] +
                       QStringLiteral("\r\nhas been created. View may be based on a template file in\r\n"
                                      "which case Quillon is unable to determine if the view has been\r\n"
                                      "created.  Check My Existing View(s) list below."),
                   MsgIcon::Information, QStringLiteral("Finished..."));
        QCOMPARE(items(w->ui->myViewsList), QStringList{"jdoe__aaa"});
    }
};

QTEST_MAIN(TestCreateView)
#include "tst_create_view.moc"
