// Command-line parameters, the string and file helpers and the required-files check: no window.

#include "base/arguments.h"
#include "base/files.h"
#include "base/platform.h"
#include "base/strings.h"
#include "site/required_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpers : public QObject {
    Q_OBJECT

    QTemporaryDir m_tree;
    static bool touch(const QString &path) { return QFile(path).open(QIODevice::WriteOnly); }

private slots:
    void initTestCase()
    {
        QDir d(m_tree.path());
        QVERIFY(d.mkpath("files") && d.mkpath("unc/host/share"));
        QVERIFY(touch(d.filePath("files/a.cfg")));
        QVERIFY(touch(d.filePath("unc/host/share/file.txt")));
        qputenv("QUILLON_UNC_ROOT", d.filePath("unc").toLocal8Bit());
    }

    void getParam()
    {
        QCOMPARE(GetParam(1, "\"my config.cfg\" x"), "my config.cfg");
        QCOMPARE(GetParam(2, "\"my config.cfg\" x"), "x");
        QCOMPARE(GetParam(2, "   a    b"), "b");
        QCOMPARE(GetParam(1, "ab\"c"), "abc");
    }

    // The site's file: beside QUILLON_PROGRAM_DIR, beside the program, then in the system folders in
    // their order; when nowhere, the last place looked.
    void siteConfiguration_lookedForInOrder()
    {
        QDir d(m_tree.path());
        QVERIFY(d.mkpath("named") && d.mkpath("sys1/quillon") && d.mkpath("sys2/quillon"));
        QVERIFY(touch(d.filePath("sys2/quillon/qn.cfg")) && touch(d.filePath("sys1/quillon/other.cfg")) &&
                touch(d.filePath("named/other.cfg")));
        qputenv("XDG_CONFIG_DIRS", (d.filePath("sys1") + QDir::listSeparator() + d.filePath("sys2")).toLocal8Bit());
        qputenv("QUILLON_PROGRAM_DIR", d.filePath("named").toLocal8Bit());
        QCOMPARE(platform::siteConfigDir("other.cfg"), d.filePath("named"));
        QCOMPARE(platform::siteConfigDir("qn.cfg"), d.filePath("sys2/quillon"));
        QCOMPARE(platform::siteConfigDir("none.cfg"), d.filePath("sys2/quillon"));
        qunsetenv("QUILLON_PROGRAM_DIR");
        QCOMPARE(platform::siteConfigDir("other.cfg"), d.filePath("sys1/quillon"));
        QCOMPARE(platform::siteConfigDirs().first(), QCoreApplication::applicationDirPath());
        qunsetenv("XDG_CONFIG_DIRS");
        // Windows has no system folder: the program's own is the last.
        const bool windows = QDir::listSeparator() == ';';
        QCOMPARE(platform::siteConfigDirs().last(),
                 windows ? QCoreApplication::applicationDirPath() : QStringLiteral("/etc/xdg/quillon"));
    }

    void stringHelpers_shortAndOverFortyThousandCharacters()
    {
        for (const QString &p : {QString(), QString(40001, 'x')}) {
            QCOMPARE(replace_char("\\", "/", p + "\\\\h\\a"), p + "//h/a");
            QCOMPARE(strip_non_ansi(p + QChar(0) + "a" + QString::fromUtf8("\u00e9\u4e2d")),
                     p + "a" + QString::fromUtf8("\u00e9"));
            QCOMPARE(upto_char("\n", p + "abc\ndef\n"), p + "abc\n");
            QCOMPARE(lf_to_crlf(p + "a\nb\r\nc"), p + "a\r\nb\r\r\nc");
        }
    }

    void fileExists_wildcardsDirectoriesAndUnc()
    {
        const struct {
            const char *path; // "@" stands for the tree
            bool want_dir, expected;
        } rows[] = {{"@\\files\\?.cfg", false, true},
                    {"@\\files\\*.txt", false, false},
                    {"@\\files", false, false},
                    {"@\\files", true, true},
                    {"\\\\host\\share\\file.txt", false, true},
                    {"\\\\otherhost\\share", true, false}};
        for (const auto &r : rows) {
            QString error;
            QVERIFY2(fileExists(QString(r.path).replace('@', m_tree.path()), r.want_dir, &error) ==
                         r.expected,
                     r.path);
            QCOMPARE(error, QString());
        }
    }

    // Each run reports the first item missing: ssh client, Kestrel program, Kestrel configuration folder.
    void requiredFiles_firstMissingReportedInOrder()
    {
        QDir d(m_tree.filePath("unc"));
        QVERIFY(d.mkpath("khost/k/home") && d.mkpath("ssh"));
        ConfigRecord rec;
        rec.HOST = "khost";
        rec.KESTREL = "kestrel";
        rec.KESTREL_HOME = "\\k\\home";
        rec.KESTREL_CONFIG = "\\k\\config";
        rec.SSH_HOME = d.path() + "\\ssh";
        rec.SSH_CMD = "plink-x86.exe";
        RequiredFilesProblems problems;
        QString msg;
        QVERIFY(!check_required_files(msg, rec, rec.SSH_CMD, problems));
        QCOMPARE(msg, "Required file missing --> " + QDir::toNativeSeparators(d.path() + "/ssh/plink-x86.exe"));
        QVERIFY(touch(d.filePath("ssh/plink-x86.exe")));
        QVERIFY(!check_required_files(msg, rec, rec.SSH_CMD, problems));
        QCOMPARE(msg, "Required file MISSING --> " + QDir::toNativeSeparators(d.path() + "/khost/k/home/kestrel"));
        QVERIFY(touch(d.filePath("khost/k/home/kestrel")));
        QVERIFY(!check_required_files(msg, rec, rec.SSH_CMD, problems));
        QCOMPARE(msg, "Required Directory missing --> " + QDir::toNativeSeparators(d.path() + "/khost/k/config"));
        QVERIFY(d.mkpath("khost/k/config"));
        msg.clear();
        QVERIFY(check_required_files(msg, rec, rec.SSH_CMD, problems) && msg.isEmpty());
        QVERIFY(problems.unreadable.isEmpty() && problems.failure.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
