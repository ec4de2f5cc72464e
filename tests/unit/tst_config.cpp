// The configuration file reader: format, line ends, defaults, checks after reading, failures, reload.

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"
#include "utils/errors.h"

#include <QFile>
#include <QtTest>

#include <memory>

class TestConfig : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> m_site;
    frmMain *m_window = nullptr;

    QString path(const QString &name) const { return m_site->program_dir() + "\\" + name; }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_site->program_dir() + '/' + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Reads a file into a record as Main holds it before the first read.
    ConfigRecord read(const QString &name, const QString &cfg_file = "qn.cfg")
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

    void renew() // a fresh main window: the checks after reading only ever disable
    {
        delete m_window;
        AppGlobals().main_window = m_window = new frmMain;
    }

private slots:
    void init()
    {
        m_site = std::make_unique<TestSite>();
        renew();
    }

    void cleanup()
    {
        delete std::exchange(m_window, nullptr);
        m_site.reset();
    }

    void format_sameForEveryLineEnd()
    {
        for (const char *eol : {"\r\n", "\r", "\n"}) {
            renew();
            write("qn.cfg", QList<QByteArray>{"HOST=a=b", "VOB_SERVER=", "kestrel_config=lower", "a comment",
                                              "", "CFG_FILE=other.cfg", "PROJECT=zeta", "PROJECT=alpha",
                                              "PROJECT=Alpha", "ADMIN=jdoe"}
                                .join(eol));
            MessageRecorder msgs;
            const ConfigRecord rec = read("qn.cfg", "mine.cfg");
            QCOMPARE(msgs.texts(), QStringList());
            QCOMPARE(rec.HOST, "a=b");
            QCOMPARE(rec.VOB_SERVER, QString());
            QCOMPARE(rec.KESTREL_CONFIG, "\\ccstorage\\utils\\kestrel\\config");
            QCOMPARE(rec.CFG_FILE, "mine.cfg");
            QCOMPARE(rec.ADMIN, "jdoe"); // the last line has no end
            QCOMPARE(rec.PROJECT, "Alpha");
            QCOMPARE(projects(), (QStringList{"alpha", "zeta"}));
        }
    }

    // A file that cannot be read to its end keeps what was read before the failure.
    void failurePartWay_keepsValuesReadBefore()
    {
        class Failing : public QIODevice {
        public:
            Failing() { open(ReadOnly); }
            qint64 readData(char *data, qint64 max) override
            {
                if (m_done)
                    return -1;
                m_done = true;
                const QByteArray first = "HOST=early\r\nPROJECT=p1\r\n";
                memcpy(data, first.constData(), size_t(qMin<qint64>(max, first.size())));
                return first.size();
            }
            qint64 writeData(const char *, qint64) override { return -1; }

        private:
            bool m_done = false;
        } device;
        ConfigRecord rec;
        set_config_keys(rec);
        QStringList projects;
        QVERIFY_THROWS_EXCEPTION(QuillonError, read_config_lines(device, rec, projects));
        QCOMPARE(rec.HOST, "early");
        QCOMPARE(projects, QStringList{"p1"});
        QCOMPARE(rec.KESTREL, "KESTREL");
    }

    // Many projects: each once, ignoring case, sorted without regard to case, the first spelling kept.
    void manyProjects_onceEachSorted()
    {
        QByteArray text;
        for (int i = 20000; i-- > 0;)
            text += "PROJECT=p" + QByteArray::number(i) +
                    (i % 2 ? QByteArray("\r\n") : "\r\nPROJECT=P" + QByteArray::number(i) + "\r\n");
        write("qn.cfg", text);
        read("qn.cfg");
        const QStringList items = projects();
        QCOMPARE(items.size(), 20000);
        QStringList sorted = items;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(items, sorted);
        QVERIFY(items.contains("p0") && !items.contains("P0"));
    }

    void missingFile_messageAndFullDefaults()
    {
        MessageRecorder msgs;
        const ConfigRecord rec = read("other.cfg", "other.cfg");
        QCOMPARE(msgs.shown,
                 (QList<Msg>{{"File does not exist --> " + path("other.cfg"), MsgIcon::Critical}}));
        QCOMPARE(rec.CFG_FILE, "qn.cfg");
        QCOMPARE(rec.CFG_FILE_ALTERNATE, "UNDEF");
        QCOMPARE(rec.KESTREL, "kestrel");
        QVERIFY(rec.IS_INTEROP == "true" && rec.NT_ONLY == "true" && rec.VOB_SERVER == rec.HOST);
    }

    // The mode box needs an existing alternate file; the admin buttons need the
    // login, spaces removed, inside the ADMIN text, case ignored.
    void checksAfterReading()
    {
        const struct {
            const char *lines, *user;
            bool mode_box, admin;
        } rows[] = {{"CFG_FILE_ALTERNATE=nt.cfg\r\nADMIN=JDoe,asmith", "d OE", false, true},
                    {"CFG_FILE_ALTERNATE=alt.cfg\r\nADMIN=jdoe", "bob", true, false}};
        write("alt.cfg", "HOST=x\r\n");
        MessageRecorder msgs;
        for (const auto &r : rows) {
            renew();
            qputenv("USER", r.user);
            write("qn.cfg", QByteArray("HOST=h\r\n") + r.lines);
            read("qn.cfg");
            QVERIFY2(m_window->ui->opModeCB->isEnabled() == r.mode_box, r.user);
            QVERIFY2(m_window->ui->showConfigBut->isEnabled() == r.admin, r.user);
            QVERIFY2(m_window->ui->viewBut->isEnabled() == r.admin, r.user);
        }
        QCOMPARE(msgs.texts(), QStringList());
    }

    void unreadableFile_reportsAndStops()
    {
        const QString target = "/proc/sys/vm/drop_caches"; // refused even to root
        QFile probe(target);
        if (!QFileInfo(target).isFile() || probe.open(QIODevice::ReadOnly))
            QSKIP("no readable-refused file on this system");
        QVERIFY(QFile::link(target, m_site->program_dir() + "/qn.cfg"));
        MessageRecorder msgs;
        read("qn.cfg");
        QCOMPARE(msgs.shown, (QList<Msg>{{"Error processing config file --> " + path("qn.cfg") +
                                              ":: " + probe.errorString(),
                                          MsgIcon::Critical}}));
        QVERIFY(m_window->ui->opModeCB->isEnabled()); // the checks after reading did not run
    }

    void reload_keepsRemovedProjectAndAddsNewOne()
    {
        write("site.cfg", "PROJECT=alpha\r\nPROJECT=beta\r\n");
        MessageRecorder msgs;
        AppGlobals().config = read("site.cfg", "site.cfg");
        write("site.cfg", "PROJECT=gamma\r\nHOST=reloaded\r\n");
        m_window->reload_config();
        QCOMPARE(projects(), (QStringList{"alpha", "beta", "gamma"}));
        QCOMPARE(AppGlobals().config.PROJECT, "gamma");
        QCOMPARE(m_window->ui->hostTxt->text(), "reloaded");
        QCOMPARE(msgs.texts(), QStringList());
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
