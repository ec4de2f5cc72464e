// The configuration file reader: format, line ends, defaults, the checks
// after reading, failures and re-reading.

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QFile>
#include <QtTest>

#include <memory>

class TestConfig : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> m_site;
    frmMain *m_window = nullptr;

    QString path(const QString &name) const { return m_site->program_dir() + QStringLiteral("\\") + name; }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_site->program_dir() + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // Reads the file into a record as Main holds it before the first read.
    ConfigRecord read(const QString &name, const QString &cfg_file = QStringLiteral("qn.cfg"))
    {
        ConfigRecord rec;
        set_config_keys(rec);
        rec.CFG_FILE = cfg_file;
        read_config_file(path(name), rec);
        return rec;
    }

    QStringList projects() const
    {
        QStringList items;
        for (int i = 0; i < m_window->ui->projectCombo->count(); ++i)
            items << m_window->ui->projectCombo->itemText(i);
        return items;
    }

private slots:
    void init()
    {
        m_site = std::make_unique<TestSite>();
        m_window = new frmMain;
        AppGlobals().main_window = m_window;
    }

    void cleanup()
    {
        delete m_window;
        m_site.reset();
    }

    void format_valuesKeysAndIgnoredLines()
    {
        write(QStringLiteral("qn.cfg"), "HOST=a=b\r\nVOB_SERVER=\r\n KESTREL_HOME=leading\r\n"
                                        "kestrel_config=lower\r\nSSH_CMD =spaced\r\nCFG_FILE=other.cfg\r\n"
                                        "just a comment line\r\n\r\nPROJECT=zeta\r\nPROJECT=alpha\r\n"
                                        "PROJECT=Alpha\r\nVIEW_STORAGE= \\\\store\\views \r\n");
        MessageRecorder msgs;
        const ConfigRecord rec = read(QStringLiteral("qn.cfg"), QStringLiteral("mine.cfg"));
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(rec.HOST, QStringLiteral("a=b"));
        QCOMPARE(rec.VOB_SERVER, QString());
        QCOMPARE(rec.KESTREL_HOME, QStringLiteral("\\ccstorage\\utils\\kestrel"));
        QCOMPARE(rec.KESTREL_CONFIG, QStringLiteral("\\ccstorage\\utils\\kestrel\\config"));
        QCOMPARE(rec.SSH_CMD, QStringLiteral("plink-x86.exe"));
        QCOMPARE(rec.CFG_FILE, QStringLiteral("mine.cfg"));
        QCOMPARE(rec.VIEW_STORAGE, QStringLiteral(" \\\\store\\views "));
        QCOMPARE(rec.KESTREL, QStringLiteral("KESTREL")); // full defaults only for a missing file
        QCOMPARE(rec.PROJECT, QStringLiteral("Alpha"));
        QCOMPARE(projects(), (QStringList{"alpha", "zeta"}));
        QCOMPARE(m_window->ui->projectCombo->currentText(), QStringLiteral("<choose project>"));
    }

    void lineEnds_allReadTheSame_data()
    {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("LF") << QByteArray("\n");
    }

    void lineEnds_allReadTheSame()
    {
        QFETCH(QByteArray, eol);
        write(QStringLiteral("qn.cfg"),
              QList<QByteArray>{"HOST=h1", "PROJECT=p1", "IS_INTEROP=false", "PROJECT=p2", "ADMIN=jdoe"}.join(
                  eol));
        MessageRecorder msgs;
        const ConfigRecord rec = read(QStringLiteral("qn.cfg"));
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(rec.HOST, QStringLiteral("h1"));
        QCOMPARE(rec.ADMIN, QStringLiteral("jdoe")); // the last line has no end
        QCOMPARE(projects(), (QStringList{"p1", "p2"}));
        QVERIFY(m_window->ui->pwdTxt->isHidden());
    }

    void missingFile_fullDefaultsAndMessage()
    {
        const QStringList missing{QStringLiteral("File does not exist --> ") +
                                  path(QStringLiteral("other.cfg"))};
        MessageRecorder msgs;
        const ConfigRecord rec = read(QStringLiteral("other.cfg"), QStringLiteral("other.cfg"));
        QCOMPARE(msgs.texts(), missing);
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Quillon"));
        QCOMPARE(rec.CFG_FILE, QStringLiteral("qn.cfg"));
        QCOMPARE(rec.CFG_FILE_ALTERNATE, QStringLiteral("UNDEF"));
        QCOMPARE(rec.KESTREL, QStringLiteral("kestrel"));
        QCOMPARE(rec.IS_INTEROP, QStringLiteral("true"));
        QCOMPARE(rec.NT_ONLY, QStringLiteral("true"));
        QCOMPARE(rec.VOB_SERVER, rec.HOST);
        QCOMPARE(rec.PROJECT, QStringLiteral("PROJECT"));
        QVERIFY(m_window->ui->opModeCB->isEnabled()); // the checks after reading did not run

        QVERIFY(QDir(m_site->program_dir()).mkdir(QStringLiteral("other.cfg"))); // a directory is no file
        msgs.clear();
        read(QStringLiteral("other.cfg"));
        QCOMPARE(msgs.texts(), missing);
    }

    // The mode box needs a usable alternate file; the two admin buttons need
    // the login (spaces removed) inside the ADMIN list, case ignored.
    void checksAfterReading_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<bool>("mode_box");
        QTest::addColumn<bool>("admin");
        QTest::newRow("defaults") << QByteArray() << QByteArray("Def") << false << true; // in "UNDEF"
        QTest::newRow("alternate missing, admin other case")
            << QByteArray("CFG_FILE_ALTERNATE=nt.cfg\r\nADMIN=JDoe,asmith") << QByteArray("jdOE") << false
            << true;
        QTest::newRow("alternate a directory, admin substring")
            << QByteArray("CFG_FILE_ALTERNATE=sub\r\nADMIN=jdoe,asmith") << QByteArray("doe") << false
            << true;
        QTest::newRow("alternate exists, login with a space")
            << QByteArray("CFG_FILE_ALTERNATE=alt.cfg\r\nADMIN=jdoe") << QByteArray("j doe") << true << true;
        QTest::newRow("not an admin")
            << QByteArray("ADMIN=jdoe,asmith") << QByteArray("bob") << false << false;
    }

    void checksAfterReading()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, user);
        QFETCH(bool, mode_box);
        QFETCH(bool, admin);
        qputenv("USER", user);
        write(QStringLiteral("alt.cfg"), "HOST=x\r\n");
        QVERIFY(QDir(m_site->program_dir()).mkdir(QStringLiteral("sub")));
        write(QStringLiteral("qn.cfg"), "HOST=h\r\n" + lines + "\r\n");
        MessageRecorder msgs;
        read(QStringLiteral("qn.cfg"));
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(m_window->ui->opModeCB->isEnabled(), mode_box);
        QCOMPARE(m_window->ui->showConfigBut->isEnabled(), admin);
        QCOMPARE(m_window->ui->viewBut->isEnabled(), admin);
        QVERIFY(m_window->ui->refreshBut->isEnabled() && m_window->ui->Configuration->isEnabled());
    }

    void unreadableFile_reportsAndStops()
    {
        const QString target = QStringLiteral("/proc/sys/vm/drop_caches"); // refused even to root
        QFile probe(target);
        if (!QFileInfo(target).isFile() || probe.open(QIODevice::ReadOnly))
            QSKIP("no readable-refused file on this system");
        QVERIFY(QFile::link(target, m_site->program_dir() + QStringLiteral("/qn.cfg")));
        MessageRecorder msgs;
        const ConfigRecord rec = read(QStringLiteral("qn.cfg"));
        QCOMPARE(msgs.texts(),
                 QStringList{QStringLiteral("Error processing config file --> ") +
                             path(QStringLiteral("qn.cfg")) + QStringLiteral(":: ") + probe.errorString()});
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Critical);
        // The base defaults came before the failure; the checks after it did not run.
        QCOMPARE(rec.HOST, QStringLiteral("vobhost"));
        QVERIFY(m_window->ui->opModeCB->isEnabled());
    }

    void reload_keepsRemovedProjectAndAddsNewOne()
    {
        AppGlobalsData &g = AppGlobals();
        write(QStringLiteral("site.cfg"), "PROJECT=alpha\r\nPROJECT=beta\r\n");
        MessageRecorder msgs;
        g.config = read(QStringLiteral("site.cfg"), QStringLiteral("site.cfg"));
        write(QStringLiteral("site.cfg"), "PROJECT=gamma\r\nHOST=reloaded\r\n");
        m_window->reload_config();
        QCOMPARE(projects(), (QStringList{"alpha", "beta", "gamma"}));
        QCOMPARE(g.config.PROJECT, QStringLiteral("gamma"));
        QCOMPARE(m_window->ui->hostTxt->text(), QStringLiteral("reloaded"));
        QCOMPARE(msgs.texts(), QStringList());
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
