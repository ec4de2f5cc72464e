// The configuration file reader: the file format, line ends, defaults, the
// checks made after reading, failures and re-reading.

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "support/recorder.h"
#include "ui_frmMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList combo_items(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
} // namespace

class TestConfig : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    frmMain *m_window = nullptr;

    QString built_path(const QString &name) const { return m_dir.path() + QStringLiteral("\\") + name; }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // A record as Main holds it before the first read.
    static ConfigRecord fresh(const QString &cfg_file = QStringLiteral("qn.cfg"))
    {
        ConfigRecord rec;
        set_config_keys(rec);
        rec.CFG_FILE = cfg_file;
        return rec;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("QUILLON_PROGRAM_DIR", m_dir.path().toLocal8Bit());
    }

    void init()
    {
        qputenv("USER", "jdoe");
        const auto names =
            QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        for (const QString &n : names) {
            const QFileInfo fi(m_dir.filePath(n));
            if (fi.isDir() && !fi.isSymLink())
                QDir(fi.filePath()).removeRecursively();
            else
                QFile::remove(fi.filePath());
        }
        m_window = new frmMain;
        AppGlobals().main_window = m_window;
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
    }

    void keyNames_everyKeyedFieldHoldsItsName()
    {
        ConfigRecord rec;
        rec.SSH_CMD_PATH = QStringLiteral("untouched");
        set_config_keys(rec);
        QCOMPARE(rec.KESTREL_HOME, QStringLiteral("KESTREL_HOME"));
        QCOMPARE(rec.CFG_FILE_ALTERNATE, QStringLiteral("CFG_FILE_ALTERNATE"));
        QCOMPARE(rec.CFG_FILE, QStringLiteral("CFG_FILE"));
        QCOMPARE(rec.USE_SSH, QStringLiteral("USE_SSH"));
        QCOMPARE(rec.SSH_CMD_PATH, QStringLiteral("untouched"));
    }

    void format_valuesKeysAndIgnoredLines()
    {
        write(QStringLiteral("qn.cfg"), "HOST=a=b\r\n"
                                        "VOB_SERVER=\r\n"
                                        " KESTREL_HOME=leading\r\n"
                                        "kestrel_config=lower\r\n"
                                        "SSH_CMD =spaced\r\n"
                                        "CFG_FILE=other.cfg\r\n"
                                        "#HELPDESK=commented\r\n"
                                        "just a comment line\r\n"
                                        "\r\n"
                                        "PROJECT=zeta\r\n"
                                        "PROJECT=alpha\r\n"
                                        "PROJECT=Alpha\r\n"
                                        "USE_SSH=true\r\n"
                                        "USE_SSH=false\r\n"
                                        "VIEW_STORAGE= \\\\store\\views \r\n");
        MessageRecorder rec_msgs;
        ConfigRecord rec = fresh(QStringLiteral("mine.cfg"));
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);

        QCOMPARE(rec_msgs.texts(), QStringList());
        QCOMPARE(rec.HOST, QStringLiteral("a=b"));
        QCOMPARE(rec.VOB_SERVER, QString());
        QCOMPARE(rec.KESTREL_HOME, QStringLiteral("\\ccstorage\\utils\\kestrel"));
        QCOMPARE(rec.KESTREL_CONFIG, QStringLiteral("\\ccstorage\\utils\\kestrel\\config"));
        QCOMPARE(rec.SSH_CMD, QStringLiteral("plink-x86.exe"));
        QCOMPARE(rec.CFG_FILE, QStringLiteral("mine.cfg"));
        QCOMPARE(rec.HELPDESK, QStringLiteral("https://helpdesk.example.com/logon"));
        QCOMPARE(rec.USE_SSH, QStringLiteral("false"));
        QCOMPARE(rec.VIEW_STORAGE, QStringLiteral(" \\\\store\\views "));
        QCOMPARE(rec.PROJECT, QStringLiteral("Alpha"));
        // The list keeps its items sorted, takes no duplicate in other case
        // and still shows the prompt.
        QCOMPARE(combo_items(m_window->ui->projectCombo), (QStringList{"alpha", "zeta"}));
        QCOMPARE(m_window->ui->projectCombo->currentText(), QStringLiteral("<choose project>"));
    }

    void lineEnds_allReadTheSame_data()
    {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("blank lines between") << QByteArray("\r\n\r\n");
    }

    void lineEnds_allReadTheSame()
    {
        QFETCH(QByteArray, eol);
        const QList<QByteArray> lines{"HOST=h1", "PROJECT=p1", "IS_INTEROP=false", "PROJECT=p2",
                                      "ADMIN=jdoe"};
        write(QStringLiteral("qn.cfg"), lines.join(eol)); // the last line has no end
        MessageRecorder msgs;
        ConfigRecord rec = fresh();
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);

        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(rec.HOST, QStringLiteral("h1"));
        QCOMPARE(rec.IS_INTEROP, QStringLiteral("false"));
        QCOMPARE(rec.PROJECT, QStringLiteral("p2"));
        QCOMPARE(rec.ADMIN, QStringLiteral("jdoe"));
        QCOMPARE(combo_items(m_window->ui->projectCombo), (QStringList{"p1", "p2"}));
        // IS_INTEROP false gives the NT-only look: the password controls hide.
        QVERIFY(m_window->ui->pwdTxt->isHidden());
        QVERIFY(m_window->ui->unmaskPwdCB->isHidden());
    }

    void missingFile_fullDefaultsAndMessage()
    {
        MessageRecorder msgs;
        ConfigRecord rec = fresh(QStringLiteral("other.cfg"));
        const QString path = built_path(QStringLiteral("other.cfg"));
        read_config_file(path, rec);

        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown[0].text, QStringLiteral("File does not exist --> ") + path);
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Quillon"));

        QCOMPARE(rec.CFG_FILE, QStringLiteral("qn.cfg"));
        QCOMPARE(rec.CFG_FILE_ALTERNATE, QStringLiteral("UNDEF"));
        QCOMPARE(rec.KESTREL, QStringLiteral("kestrel"));
        QCOMPARE(rec.ADMIN, QStringLiteral("UNDEF"));
        QCOMPARE(rec.SSH_CMD, QStringLiteral("plink-x86.exe"));
        QCOMPARE(rec.IS_INTEROP, QStringLiteral("true"));
        QCOMPARE(rec.NT_ONLY, QStringLiteral("true"));
        QCOMPARE(rec.CC_EXPLORER, QStringLiteral("false"));
        QCOMPARE(rec.USE_SSH, QStringLiteral("false"));
        QCOMPARE(rec.VOB_SERVER, rec.HOST);
        QCOMPARE(rec.VIEW_STORAGE, QStringLiteral("VIEW_STORAGE"));
        QCOMPARE(rec.PROJECT, QStringLiteral("PROJECT"));
        // The window is left as it was: nothing disabled, nothing shown.
        QVERIFY(m_window->ui->opModeCB->isEnabled());
        QVERIFY(m_window->ui->showConfigBut->isEnabled());
        QVERIFY(m_window->ui->viewBut->isEnabled());
        QVERIFY(m_window->ui->pwdTxt->isHidden());
    }

    void directoryInPlaceOfFile_countsAsMissing()
    {
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("qn.cfg")));
        MessageRecorder msgs;
        ConfigRecord rec = fresh(QStringLiteral("qn.cfg"));
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("File does not exist --> ") +
                                           built_path(QStringLiteral("qn.cfg"))});
        QCOMPARE(rec.KESTREL, QStringLiteral("kestrel"));
    }

    void existingFile_baseDefaultsOnlyAndLaterRereadKeepsValues()
    {
        write(QStringLiteral("qn.cfg"), "HOST=first\r\nKESTREL_HOME=\\k\r\n");
        MessageRecorder msgs;
        ConfigRecord rec = fresh(QStringLiteral("mine.cfg"));
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);
        QCOMPARE(rec.KESTREL, QStringLiteral("KESTREL"));
        QCOMPARE(rec.CFG_FILE, QStringLiteral("mine.cfg"));
        QCOMPARE(rec.CFG_FILE_ALTERNATE, QStringLiteral("CFG_FILE_ALTERNATE"));
        QCOMPARE(rec.VIEW_STORAGE, QStringLiteral("VIEW_STORAGE"));
        QCOMPARE(rec.ADMIN, QStringLiteral("UNDEF"));
        QCOMPARE(rec.KESTREL_HOME, QStringLiteral("\\k"));

        // A re-read starts from the current values: fields without a default
        // keep theirs, fields with one fall back to it.
        write(QStringLiteral("qn.cfg"), "KESTREL=kestrel.cmd\r\n");
        rec.VIEW_STORAGE = QStringLiteral("\\\\store\\views");
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);
        QCOMPARE(rec.KESTREL, QStringLiteral("kestrel.cmd"));
        QCOMPARE(rec.VIEW_STORAGE, QStringLiteral("\\\\store\\views"));
        QCOMPARE(rec.HOST, QStringLiteral("vobhost"));
        QCOMPARE(rec.KESTREL_HOME, QStringLiteral("\\ccstorage\\utils\\kestrel"));
        QCOMPARE(msgs.texts(), QStringList());
    }

    void alternateFile_disablesModeBoxWhenUnusable_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("absent") << QByteArray() << false;
        QTest::newRow("names a missing file") << QByteArray("CFG_FILE_ALTERNATE=nt.cfg") << false;
        QTest::newRow("names a directory") << QByteArray("CFG_FILE_ALTERNATE=sub") << false;
        QTest::newRow("UNDEF") << QByteArray("CFG_FILE_ALTERNATE=UNDEF") << false;
        QTest::newRow("names an existing file") << QByteArray("CFG_FILE_ALTERNATE=alt.cfg") << true;
    }

    void alternateFile_disablesModeBoxWhenUnusable()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, enabled);
        write(QStringLiteral("alt.cfg"), "HOST=x\r\n");
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
        write(QStringLiteral("qn.cfg"), "HOST=h\r\n" + line + "\r\n");
        MessageRecorder msgs;
        ConfigRecord rec = fresh();
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);
        QCOMPARE(m_window->ui->opModeCB->isEnabled(), enabled);
        QCOMPARE(msgs.texts(), QStringList());
    }

    void admin_substringOfLoginDecides_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<bool>("admin");
        QTest::newRow("listed") << QByteArray("ADMIN=jdoe,asmith") << QByteArray("jdoe") << true;
        QTest::newRow("other case") << QByteArray("ADMIN=jdoe,asmith") << QByteArray("JDoe") << true;
        QTest::newRow("substring") << QByteArray("ADMIN=jdoe,asmith") << QByteArray("doe") << true;
        QTest::newRow("list in upper case") << QByteArray("ADMIN=JDOE") << QByteArray("jdoe") << true;
        QTest::newRow("inner space removed") << QByteArray("ADMIN=jdoe") << QByteArray("j doe") << true;
        QTest::newRow("not listed") << QByteArray("ADMIN=jdoe,asmith") << QByteArray("bob") << false;
        QTest::newRow("default, substring of undef") << QByteArray() << QByteArray("Def") << true;
        QTest::newRow("default, other login") << QByteArray() << QByteArray("bob") << false;
    }

    void admin_substringOfLoginDecides()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, user);
        QFETCH(bool, admin);
        qputenv("USER", user);
        write(QStringLiteral("qn.cfg"), "HOST=h\r\n" + line + "\r\n");
        MessageRecorder msgs;
        ConfigRecord rec = fresh();
        read_config_file(built_path(QStringLiteral("qn.cfg")), rec);
        QCOMPARE(m_window->ui->showConfigBut->isEnabled(), admin);
        QCOMPARE(m_window->ui->viewBut->isEnabled(), admin);
        // Only those two: other buttons and the menu item stay usable.
        QVERIFY(m_window->ui->refreshBut->isEnabled());
        QVERIFY(m_window->ui->Configuration->isEnabled());
    }

    void unreadableFile_reportsAndStops()
    {
        // Reading this file is refused even to the superuser.
        const QString target = QStringLiteral("/proc/sys/vm/drop_caches");
        QFile probe(target);
        if (!QFileInfo(target).isFile() || probe.open(QIODevice::ReadOnly))
            QSKIP("no readable-refused file on this system");
        const QString description = probe.errorString();
        QVERIFY(QFile::link(target, m_dir.filePath(QStringLiteral("qn.cfg"))));

        MessageRecorder msgs;
        ConfigRecord rec = fresh();
        rec.HOST = QStringLiteral("before");
        const QString path = built_path(QStringLiteral("qn.cfg"));
        read_config_file(path, rec);

        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown[0].text, QStringLiteral("Error processing config file --> ") + path +
                                         QStringLiteral(":: ") + description);
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Quillon"));
        // The base defaults were applied before the failure; the checks
        // after it did not run.
        QCOMPARE(rec.HOST, QStringLiteral("vobhost"));
        QCOMPARE(rec.CFG_FILE_ALTERNATE, QStringLiteral("CFG_FILE_ALTERNATE"));
        QVERIFY(m_window->ui->opModeCB->isEnabled());
        QVERIFY(m_window->ui->showConfigBut->isEnabled());
    }

    void reload_keepsRemovedProjectAndAddsNewOne()
    {
        AppGlobalsData &g = AppGlobals();
        g.config = fresh(QStringLiteral("site.cfg"));
        write(QStringLiteral("site.cfg"), "PROJECT=alpha\r\nPROJECT=beta\r\n");
        MessageRecorder msgs;
        read_config_file(built_path(QStringLiteral("site.cfg")), g.config);
        QCOMPARE(combo_items(m_window->ui->projectCombo), (QStringList{"alpha", "beta"}));

        write(QStringLiteral("site.cfg"), "PROJECT=gamma\r\nHOST=reloaded\r\n");
        m_window->reload_config();
        QCOMPARE(combo_items(m_window->ui->projectCombo), (QStringList{"alpha", "beta", "gamma"}));
        QCOMPARE(g.config.PROJECT, QStringLiteral("gamma"));
        QCOMPARE(m_window->ui->hostTxt->text(), QStringLiteral("reloaded"));
        QCOMPARE(msgs.texts(), QStringList());
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
