// The "My Existing View(s):" list and the three view questions on the real
// main window, answered by the simulated cleartool: who owns a view, order,
// duplicates, selection, the refusals, a failing cleartool and the refresh
// buttons.

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "ui_frmMain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString NO_USER = QStringLiteral("First select a project from the project \r\n"
                                       "pull-down menu.  Warning: User is not identified yet.\r\n");

void write_file(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}
} // namespace

class TestMyViews : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    MessageRecorder m_msgs;
    frmMain *m_w = nullptr;
    int m_registry = 0;

    Ui::frmMain *ui() const { return m_w->ui; }
    QString ccsim() const { return qEnvironmentVariable("CCSIM_HOME"); }

    void seed(const QByteArray &lines)
    {
        const QString file = m_root.filePath(QStringLiteral("seed.txt"));
        write_file(file, lines);
        QProcess p;
        p.start(QStringLiteral(QUILLON_SIM_BIN_DIR "/cleartool"), {QStringLiteral("-sim-import"), file});
        QVERIFY(p.waitForFinished());
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    }

    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < ui()->myViewsList->count(); ++i)
            out << ui()->myViewsList->item(i)->text();
        return out;
    }

    void set_user(const QString &user)
    {
        AppGlobals().tag_user = user;
        AppGlobals().unix_user = user;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        qputenv("PATH", QByteArray(QUILLON_SIM_BIN_DIR) + ':' + qgetenv("PATH"));
        qputenv("QUILLON_UNC_ROOT", QFile::encodeName(m_root.filePath(QStringLiteral("unc"))));
        qputenv("CCSIM_REGION", "Windows");
        qputenv("USER", "ann");
        for (const char *knob : {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS",
                                 "CCSIM_FAIL", "CCSIM_DIE", "CCSIM_CRLF"})
            qunsetenv(knob);
    }

    void init()
    {
        qputenv("CCSIM_HOME",
                QFile::encodeName(m_root.filePath(QStringLiteral("ccsim%1").arg(++m_registry))));
        set_user(QString());
        AppGlobals().config.HOST = QStringLiteral("vobhost");
        AppGlobals().config.KESTREL_CONFIG = QStringLiteral("\\cfg");
        m_w = new frmMain;
        AppGlobals().main_window = m_w;
        seed("Windows|bob__dev|\\\\vobhost\\views\\bob__dev.vws||active|bob\n"
             "Windows|old_ANN_view|\\\\vobhost\\views\\old_ANN_view.vws||-|ann\n"
             "Windows|zed_ann|\\\\vobhost\\views\\zed_ann.vws||snapshot|ann\n"
             "Windows|ann__dev|\\\\vobhost\\views\\ann__dev.vws||active|ann\n"
             "Windows|banner_build|\\\\vobhost\\views\\banner_build.vws||-|carl\n"
             "Windows|ANN__DEV|\\\\vobhost\\views\\ANN__DEV.vws||-|ann\n"
             "Windows|Ann__snap|\\\\vobhost\\views\\Ann__snap.vws||snapshot,active|ann\n"
             "ccase_unix|ann__unix|/views/ann__unix.vws||-|ann\n");
    }

    void cleanup()
    {
        delete m_w;
        m_w = nullptr;
        m_msgs.clear();
    }

    void refusals_emptyRegionOrNoUserLeaveTheList_data()
    {
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::newRow("no region") << QString() << QStringLiteral("ann")
                                   << QStringLiteral("Region is not specified or unknown");
        QTest::newRow("no user") << QStringLiteral("Windows") << QString() << NO_USER;
    }
    void refusals_emptyRegionOrNoUserLeaveTheList()
    {
        QFETCH(QString, region);
        QFETCH(QString, user);
        QFETCH(QString, message);
        ui()->myViewsList->addItem(QStringLiteral("kept"));
        set_user(user);
        m_w->get_myviews(region);
        QCOMPARE(m_msgs.texts(), QStringList{message});
        QCOMPARE(m_msgs.shown.first().icon, MsgIcon::Exclamation);
        QCOMPARE(listed(), QStringList{QStringLiteral("kept")});
        QCOMPARE(m_w->cursor().shape(), Qt::ArrowCursor);
    }

    void listing_ownViewsByNameAnywhereOnceSortedFirstSelected_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QStringList>("views");
        QTest::newRow("ann") << QStringLiteral("ann") << QStringLiteral("Windows")
                             << QStringList{"ann__dev", "Ann__snap", "banner_build", "old_ANN_view",
                                            "zed_ann"};
        QTest::newRow("typed in capitals")
            << QStringLiteral("BOB") << QStringLiteral("Windows") << QStringList{"bob__dev"};
        QTest::newRow("other region")
            << QStringLiteral("ann") << QStringLiteral("ccase_unix") << QStringList{"ann__unix"};
        QTest::newRow("nobody's") << QStringLiteral("dora") << QStringLiteral("Windows") << QStringList();
    }
    void listing_ownViewsByNameAnywhereOnceSortedFirstSelected()
    {
        QFETCH(QString, user);
        QFETCH(QString, region);
        QFETCH(QStringList, views);
        ui()->myViewsList->addItem(QStringLiteral("stale"));
        set_user(user);
        m_w->get_myviews(region);
        QCOMPARE(m_msgs.texts(), QStringList());
        QCOMPARE(listed(), views);
        QCOMPARE(ui()->myViewsList->currentRow(), views.isEmpty() ? -1 : 0);
        if (!views.isEmpty())
            QCOMPARE(ui()->myViewsList->toolTip(), views.first());
        QCOMPARE(m_w->cursor().shape(), Qt::ArrowCursor);
    }

    void listing_failingCleartool_reportedWithoutIcon_data()
    {
        QTest::addColumn<QByteArray>("knobs");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("error");
        QTest::newRow("lsview fails") << QByteArray("CCSIM_FAIL=lsview\n") << QStringLiteral("Windows")
                                      << QStringLiteral("Simulated failure of lsview.");
        QTest::newRow("unknown region")
            << QByteArray() << QStringLiteral("Mars") << QStringLiteral("Unknown region \"Mars\".");
    }
    void listing_failingCleartool_reportedWithoutIcon()
    {
        QFETCH(QByteArray, knobs);
        QFETCH(QString, region);
        QFETCH(QString, error);
        write_file(ccsim() + QStringLiteral("/knobs"), knobs);
        ui()->myViewsList->addItem(QStringLiteral("stale"));
        set_user(QStringLiteral("ann"));
        m_w->get_myviews(region);
        QCOMPARE(m_msgs.texts(), QStringList{QStringLiteral("ClearTool returned error: ") + error});
        QCOMPARE(m_msgs.shown.first().icon, MsgIcon::None);
        QCOMPARE(listed(), QStringList());
        QCOMPARE(m_w->cursor().shape(), Qt::ArrowCursor);
    }

    void questions_knownAndUnknownTags_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("snapshot");
        QTest::newRow("active dynamic") << QStringLiteral("ann__dev") << true << true << false;
        QTest::newRow("inactive dynamic") << QStringLiteral("ANN__DEV") << true << false << false;
        QTest::newRow("inactive snapshot") << QStringLiteral("zed_ann") << true << false << true;
        QTest::newRow("other letter case") << QStringLiteral("ann__snap") << false << false << false;
        QTest::newRow("unknown") << QStringLiteral("nobody__here") << false << false << false;
        QTest::newRow("other region only") << QStringLiteral("ann__unix") << false << false << false;
    }
    void questions_knownAndUnknownTags()
    {
        QFETCH(QString, tag);
        QFETCH(bool, exists);
        QFETCH(bool, active);
        QFETCH(bool, snapshot);
        QCOMPARE(m_w->view_tag_exists(tag), exists);
        QCOMPARE(m_w->view_active(tag), active);
        QCOMPARE(m_w->is_view_snapshot(tag), snapshot);
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void refresh_buttonsReadTheRegistryAndProjectAgain()
    {
        write_file(m_root.filePath(QStringLiteral("unc/vobhost/cfg/p/dev")), "element * /main/LATEST\r\n");
        ui()->projectCombo->setEditText(QStringLiteral("p"));
        ui()->regionCombo->setEditText(QStringLiteral("Windows"));
        for (QAbstractButton *b : {ui()->refreshBut, ui()->refreshViewBut})
            b->setEnabled(true);

        ui()->refreshBut->click();
        QCOMPARE(m_msgs.texts(), QStringList{NO_USER});
        m_msgs.clear();
        ui()->refreshViewBut->click(); // loads the project, which names the user
        QCOMPARE(AppGlobals().tag_user, QStringLiteral("ann"));
        QCOMPARE(ui()->viewsList->count(), 1);
        QCOMPARE(ui()->viewStatusList->item(0)->text(), QStringLiteral("A"));
        QCOMPARE(listed().size(), 5);

        seed("Windows|ann__new|\\\\vobhost\\views\\ann__new.vws||-|ann\n");
        write_file(m_root.filePath(QStringLiteral("unc/vobhost/cfg/p/new")), "element * /main/LATEST\r\n");
        ui()->refreshBut->click();
        QVERIFY(listed().contains(QStringLiteral("ann__new")));
        QCOMPARE(ui()->viewsList->count(), 1);
        ui()->refreshViewBut->click();
        QCOMPARE(ui()->viewsList->count(), 2);
        QCOMPARE(m_msgs.texts(), QStringList());
        QCOMPARE(m_w->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestMyViews)
#include "tst_my_views.moc"
