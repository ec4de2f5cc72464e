// Command-line parameters, the string and file helpers, the path mapping and
// the required-files check.

#include "main/appglobals.h"
#include "main/mainModule.h"
#include "main/required_files.h"
#include "outside/platform.h"
#include "support/recorder.h"
#include "utils/helpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

namespace {
void touch(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
}
} // namespace

class TestHelpers : public QObject {
    Q_OBJECT

    QTemporaryDir m_tree;

private slots:
    void initTestCase()
    {
        QVERIFY(m_tree.isValid());
        QDir d(m_tree.path());
        for (const char *sub : {"files", "empty", "onlydir/sub", "onlyhidden", "unc/host/share"})
            QVERIFY(d.mkpath(QString::fromLatin1(sub)));
        for (const char *file :
             {"files/a.cfg", "files/.hidden", "onlyhidden/.secret", "unc/host/share/file.txt"})
            touch(d.filePath(QString::fromLatin1(file)));
        qputenv("QUILLON_UNC_ROOT", d.filePath(QStringLiteral("unc")).toLocal8Bit());
    }

    void getParam_scan()
    {
        const struct {
            const char *line;
            int n;
            const char *expected;
        } rows[] = {{"\"my config.cfg\" x", 1, "my config.cfg"},
                    {"\"my config.cfg\" x", 2, "x"},
                    {"\"my config.cfg\" x", 3, ""},
                    {"   a    b", 2, "b"},
                    {"ab\"c", 1, "abc"},
                    {"\"ab\"cd", 2, "cd"},
                    {"a \"b c", 2, "b c"}};
        for (const auto &r : rows)
            QVERIFY2(GetParam(r.n, QString::fromLatin1(r.line)) == QLatin1String(r.expected), r.line);
    }

    void loginName_fallsBackToPasswordFile()
    {
        const QByteArray saved = qgetenv("USER");
        qunsetenv("USER");
        QCOMPARE(get_login_name(),
                 QString::fromLocal8Bit(getpwuid(geteuid())->pw_name).remove(QLatin1Char(' ')));
        qputenv("USER", saved);
    }

    void stringHelpers_shortAndOverFortyThousandCharacters()
    {
        const QString wide = QString::fromUtf8("\u00e9\u4e2d");
        for (const QString &p : {QString(), QString(40000, QLatin1Char('x'))}) {
            QCOMPARE(replace_char(QStringLiteral("\\"), QStringLiteral("/"), p + "\\\\h\\a"), p + "//h/a");
            QCOMPARE(replace_char(QStringLiteral("a"), QStringLiteral("_"), p + "aAa"), p + "_A_");
            QCOMPARE(replace_char(QStringLiteral("ab"), QStringLiteral("/"), p + "abab"), p + "abab");
            QCOMPARE(strip_non_ansi(p + QChar(0) + "a" + wide), p + "a" + wide.left(1));
            QCOMPARE(upto_char(QStringLiteral("\n"), p + "abc\ndef\n"), p + "abc\n");
            QCOMPARE(upto_char(QStringLiteral("\n"), p + "abc"), p + "abc");
            QCOMPARE(lf_to_crlf(p + "a\nb\r\nc\rd"), p + "a\r\nb\r\r\nc\rd");
        }
        QCOMPARE(replace_char(QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("a\nb")),
                 QStringLiteral("a\r\nb"));
        QCOMPARE(replace_char(QStringLiteral("-"), QString(), QStringLiteral("a-b-")), QStringLiteral("ab"));
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("path"); // "@" stands for the tree
        QTest::addColumn<bool>("want_dir");
        QTest::addColumn<bool>("expected");
        QTest::newRow("file") << "@\\files\\a.cfg" << false << true;
        QTest::newRow("missing file") << "@\\files\\b.cfg" << false << false;
        QTest::newRow("wildcard") << "@\\files\\?.cfg" << false << true;
        QTest::newRow("wildcard, no match") << "@\\files\\*.txt" << false << false;
        QTest::newRow("wildcard, only a subdir") << "@\\onlydir\\*" << false << false;
        QTest::newRow("wildcard, only a subdir, dirs") << "@\\onlydir\\*" << true << true;
        QTest::newRow("hidden file by wildcard") << "@\\onlyhidden\\*" << false << false;
        QTest::newRow("directory as file") << "@\\files" << false << false;
        QTest::newRow("directory as directory") << "@\\files" << true << true;
        QTest::newRow("trailing backslash with a file") << "@\\files\\" << false << true;
        QTest::newRow("trailing backslash, empty") << "@\\empty\\" << false << false;
        QTest::newRow("UNC file") << "\\\\host\\share\\file.txt" << false << true;
        QTest::newRow("UNC directory") << "\\\\host\\share" << true << true;
        QTest::newRow("UNC, other host") << "\\\\otherhost\\share\\file.txt" << false << false;
    }

    void fileExists()
    {
        QFETCH(QString, path);
        QFETCH(bool, want_dir);
        QFETCH(bool, expected);
        MessageRecorder msgs;
        QCOMPARE(file_exists(path.replace(QLatin1Char('@'), m_tree.path()), want_dir), expected);
        QCOMPARE(msgs.texts(), QStringList());
    }

    void toLocalPath_uncUnderRootOrNet()
    {
        const QByteArray saved = qgetenv("QUILLON_UNC_ROOT");
        QCOMPARE(platform::to_local_path(QStringLiteral("\\\\host\\a\\b")),
                 QString::fromLocal8Bit(saved) + "/host/a/b");
        qunsetenv("QUILLON_UNC_ROOT");
        QCOMPARE(platform::to_local_path(QStringLiteral("\\\\host\\a\\b")), QStringLiteral("/net/host/a/b"));
        qputenv("QUILLON_UNC_ROOT", saved);
    }

    // Each run reports the first item missing, in the order ssh client,
    // Kestrel program, Kestrel configuration folder.
    void requiredFiles_firstMissingReportedInOrder()
    {
        QDir d(m_tree.filePath(QStringLiteral("unc")));
        QVERIFY(d.mkpath(QStringLiteral("khost/k/home")) && d.mkpath(QStringLiteral("ssh/plink-x86.exe")));
        ConfigRecord rec;
        rec.HOST = QStringLiteral("khost");
        rec.KESTREL = QStringLiteral("kestrel");
        rec.KESTREL_HOME = QStringLiteral("\\k\\home");
        rec.KESTREL_CONFIG = QStringLiteral("\\k\\config");
        rec.SSH_HOME = d.path() + QStringLiteral("\\ssh");
        rec.SSH_CMD = QStringLiteral("plink-x86.exe");
        AppGlobals().config = rec;
        MessageRecorder msgs;
        QString msg;
        QVERIFY(!check_required_files(msg, rec)); // a directory in place of the ssh client
        QCOMPARE(msg, QStringLiteral("Required file missing --> ") + d.path() +
                          QStringLiteral("\\ssh\\plink-x86.exe"));
        QVERIFY(d.rmdir(QStringLiteral("ssh/plink-x86.exe")));
        touch(d.filePath(QStringLiteral("ssh/plink-x86.exe")));
        QVERIFY(!check_required_files(msg, rec));
        QCOMPARE(msg, QStringLiteral("Required file MISSING --> \\\\khost\\k\\home\\kestrel"));
        touch(d.filePath(QStringLiteral("khost/k/home/kestrel")));
        QVERIFY(!check_required_files(msg, rec));
        QCOMPARE(msg, QStringLiteral("Required Directory missing --> \\\\khost\\k\\config"));
        QVERIFY(d.mkpath(QStringLiteral("khost/k/config")));
        msg.clear();
        QVERIFY(check_required_files(msg, rec));
        QCOMPARE(msg, QString());
        QCOMPARE(msgs.texts(), QStringList());
    }
};

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
