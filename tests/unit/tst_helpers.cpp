// Command-line parameters, the string, list and file helpers, the path
// mapping and the required-files check.

#include "main/appglobals.h"
#include "main/mainModule.h"
#include "main/required_files.h"
#include "outside/platform.h"
#include "support/recorder.h"
#include "utils/helpers.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
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
        touch(d.filePath(QStringLiteral("files/a.cfg")));
        touch(d.filePath(QStringLiteral("files/.hidden")));
        touch(d.filePath(QStringLiteral("onlyhidden/.secret")));
        touch(d.filePath(QStringLiteral("unc/host/share/file.txt")));
        qputenv("QUILLON_UNC_ROOT", d.filePath(QStringLiteral("unc")).toLocal8Bit());
    }

    void getParam_scan_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        const QString quoted = QStringLiteral("\"my config.cfg\" x");
        QTest::newRow("quoted 1") << quoted << 1 << "my config.cfg";
        QTest::newRow("quoted 2") << quoted << 2 << "x";
        QTest::newRow("quoted 3") << quoted << 3 << "";
        QTest::newRow("leading and repeated spaces") << "   a    b" << 2 << "b";
        QTest::newRow("first after spaces") << "   a    b" << 1 << "a";
        QTest::newRow("quote inside a word") << "ab\"c" << 1 << "abc";
        QTest::newRow("tab is ordinary 1") << "a\tb c" << 1 << "a\tb";
        QTest::newRow("tab is ordinary 2") << "a\tb c" << 2 << "c";
        QTest::newRow("quoted then glued 1") << "\"ab\"cd" << 1 << "ab";
        QTest::newRow("quoted then glued 2") << "\"ab\"cd" << 2 << "cd";
        QTest::newRow("empty quoted counts") << "\"\" x" << 2 << "x";
        QTest::newRow("unterminated quote") << "a \"b c" << 2 << "b c";
        QTest::newRow("empty line") << "" << 1 << "";
        QTest::newRow("only spaces") << "    " << 1 << "";
    }

    void getParam_scan()
    {
        QFETCH(QString, line);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(GetParam(n, line), expected);
    }

    void processArguments_withoutParameterGivesDefaultName()
    {
        if (QCoreApplication::arguments().size() > 1)
            QSKIP("the test was started with arguments");
        QString name = QStringLiteral("previous");
        Process_Arguments(name);
        QCOMPARE(name, QStringLiteral("qn.cfg"));
        QCOMPARE(GetParam(1), QString());
    }

    void loginName_spacesRemovedAndPasswordFileFallback()
    {
        const QByteArray saved = qgetenv("USER");
        qputenv("USER", " j doe ");
        QCOMPARE(get_login_name(), QStringLiteral("jdoe"));
        qunsetenv("USER");
        const passwd *pw = getpwuid(geteuid());
        QVERIFY(pw);
        QCOMPARE(get_login_name(), QString::fromLocal8Bit(pw->pw_name).remove(QLatin1Char(' ')));
        qputenv("USER", saved);
    }

    void isDupList_ignoresCaseOnly()
    {
        QComboBox combo;
        QListWidget list;
        QVERIFY(!is_dup_list(QStringLiteral("alpha"), &combo));
        QVERIFY(!is_dup_list(QStringLiteral("alpha"), &list));
        combo.addItems({QStringLiteral("beta"), QStringLiteral("ALPHA")});
        list.addItems({QStringLiteral("beta"), QStringLiteral("ALPHA")});
        QVERIFY(is_dup_list(QStringLiteral("alpha"), &combo));
        QVERIFY(is_dup_list(QStringLiteral("alpha"), &list));
        QVERIFY(!is_dup_list(QStringLiteral("alpha "), &combo));
        QVERIFY(!is_dup_list(QStringLiteral("alpha "), &list));
    }

    void stringHelpers_data()
    {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString nl = QStringLiteral("\n");
        QTest::newRow("replace path") << "replace_char"
                                      << "\\"
                                      << "\\\\h\\a\\b"
                                      << "//h/a/b";
        QTest::newRow("replace is case-sensitive") << "replace_char"
                                                   << "a"
                                                   << "aAa"
                                                   << "_A_";
        QTest::newRow("replace, long find") << "replace_char"
                                            << "ab"
                                            << "abab"
                                            << "abab";
        QTest::newRow("strip NUL") << "strip_non_ansi"
                                   << "" << QString(QStringLiteral("jdoe") + QChar(0)) << "jdoe";
        QTest::newRow("strip keeps Latin-1")
            << "strip_non_ansi"
            << "" << QString::fromUtf8("r\u00e9mi") << QString::fromUtf8("r\u00e9mi");
        QTest::newRow("strip wide") << "strip_non_ansi"
                                    << "" << QString::fromUtf8("a\u4e2db") << "ab";
        QTest::newRow("upto line feed") << "upto_char" << nl << "abc\ndef\nx"
                                        << "abc\n";
        QTest::newRow("upto, none") << "upto_char" << nl << "abcdef"
                                    << "abcdef";
        QTest::newRow("upto, first") << "upto_char" << nl << "\nabc"
                                     << "\n";
        QTest::newRow("crlf, empty") << "lf_to_crlf"
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("crlf, unix") << "lf_to_crlf"
                                    << ""
                                    << "a\nb\n"
                                    << "a\r\nb\r\n";
        QTest::newRow("crlf, already crlf") << "lf_to_crlf"
                                            << ""
                                            << "a\r\nb"
                                            << "a\r\r\nb";
        QTest::newRow("crlf, lone CR") << "lf_to_crlf"
                                       << ""
                                       << "a\rb"
                                       << "a\rb";

        // Long strings are handled whole: the change at the far end counts.
        const QString body(40000, QLatin1Char('x'));
        QTest::newRow("replace, long") << "replace_char"
                                       << "\\" << QString(body + "\\y") << QString(body + "/y");
        QTest::newRow("strip, long") << "strip_non_ansi"
                                     << "" << QString(body + QChar(0) + "y") << QString(body + "y");
        QTest::newRow("upto, long") << "upto_char" << nl << QString(body + "\ny") << QString(body + "\n");
        QTest::newRow("crlf, long") << "lf_to_crlf"
                                    << "" << QString(body + "\ny") << QString(body + "\r\ny");
    }

    void stringHelpers()
    {
        QFETCH(QString, helper);
        QFETCH(QString, arg);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QString out;
        if (helper == QLatin1String("replace_char"))
            out = replace_char(arg, arg == QLatin1String("a") ? QStringLiteral("_") : QStringLiteral("/"),
                               input);
        else if (helper == QLatin1String("strip_non_ansi"))
            out = strip_non_ansi(input);
        else if (helper == QLatin1String("upto_char"))
            out = upto_char(arg, input);
        else
            out = lf_to_crlf(input);
        QCOMPARE(out.size(), expected.size());
        QCOMPARE(out, expected);
    }

    void replaceChar_byLongerAndEmptyReplacement()
    {
        QCOMPARE(replace_char(QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("a\nb")),
                 QStringLiteral("a\r\nb"));
        QCOMPARE(replace_char(QStringLiteral("-"), QString(), QStringLiteral("a-b-")), QStringLiteral("ab"));
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("path"); // below the tree, as the site writes it
        QTest::addColumn<bool>("want_dir");
        QTest::addColumn<bool>("expected");
        QTest::newRow("file") << "\\files\\a.cfg" << false << true;
        QTest::newRow("missing file") << "\\files\\b.cfg" << false << false;
        QTest::newRow("wildcard with a file") << "\\files\\*" << false << true;
        QTest::newRow("wildcard by extension") << "\\files\\?.cfg" << false << true;
        QTest::newRow("wildcard, no match") << "\\files\\*.txt" << false << false;
        QTest::newRow("wildcard, empty dir") << "\\empty\\*" << false << false;
        QTest::newRow("wildcard, only a subdir") << "\\onlydir\\*" << false << false;
        QTest::newRow("wildcard, only a subdir, dirs") << "\\onlydir\\*" << true << true;
        QTest::newRow("directory as file") << "\\files" << false << false;
        QTest::newRow("directory as directory") << "\\files" << true << true;
        QTest::newRow("file as directory test") << "\\files\\a.cfg" << true << true;
        QTest::newRow("trailing backslash with a file") << "\\files\\" << false << true;
        QTest::newRow("trailing backslash, empty") << "\\empty\\" << false << false;
        QTest::newRow("trailing backslash, only hidden") << "\\onlyhidden\\" << false << false;
        QTest::newRow("hidden file") << "\\files\\.hidden" << false << false;
        QTest::newRow("hidden file by wildcard") << "\\onlyhidden\\*" << false << false;
        QTest::newRow("missing parent") << "\\nowhere\\a.cfg" << false << false;
    }

    void fileExists()
    {
        QFETCH(QString, path);
        QFETCH(bool, want_dir);
        QFETCH(bool, expected);
        MessageRecorder msgs;
        QCOMPARE(file_exists(m_tree.path() + path, want_dir), expected);
        QCOMPARE(msgs.texts(), QStringList());
    }

    void fileExists_uncPathMapsUnderRoot()
    {
        QVERIFY(file_exists(QStringLiteral("\\\\host\\share\\file.txt"), false));
        QVERIFY(file_exists(QStringLiteral("\\\\host\\share"), true));
        QVERIFY(!file_exists(QStringLiteral("\\\\host\\share\\other.txt"), false));
        QVERIFY(!file_exists(QStringLiteral("\\\\otherhost\\share\\file.txt"), false));
    }

    void toLocalPath_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("local"); // "@" stands for the UNC root
        QTest::newRow("UNC") << "\\\\host\\a\\b"
                             << "@/host/a/b";
        QTest::newRow("relative") << "a\\b"
                                  << "a/b";
        QTest::newRow("local absolute") << "/tmp/x\\qn.cfg"
                                        << "/tmp/x/qn.cfg";
    }

    void toLocalPath()
    {
        QFETCH(QString, built);
        QFETCH(QString, local);
        const QByteArray saved = qgetenv("QUILLON_UNC_ROOT");
        QCOMPARE(platform::to_local_path(built),
                 QString(local).replace(QLatin1Char('@'), QString::fromLocal8Bit(saved)));
        qunsetenv("QUILLON_UNC_ROOT");
        QCOMPARE(platform::to_local_path(built),
                 QString(local).replace(QLatin1Char('@'), QStringLiteral("/net")));
        qputenv("QUILLON_UNC_ROOT", saved);
    }

    void splitCommandLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "plink -ssh host cmd" << QStringList{"plink", "-ssh", "host", "cmd"};
        QTest::newRow("quoted run") << "run \"a b\"  c" << QStringList{"run", "a b", "c"};
        QTest::newRow("quotes inside a word") << "x\"y z\"w" << QStringList{"xy zw"};
        QTest::newRow("empty quoted word") << "a \"\" b" << QStringList{"a", "", "b"};
        QTest::newRow("only spaces") << "   " << QStringList();
    }

    void splitCommandLine()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, words);
        QCOMPARE(platform::split_command_line(command), words);
    }

    void requiredFiles_data()
    {
        QTest::addColumn<bool>("ssh");
        QTest::addColumn<bool>("ssh_is_dir");
        QTest::addColumn<bool>("kestrel");
        QTest::addColumn<bool>("config_dir");
        QTest::addColumn<QString>("reported"); // which item, or "" for none
        QTest::newRow("all present") << true << false << true << true << "";
        QTest::newRow("ssh and config dir missing") << false << false << true << false << "ssh";
        QTest::newRow("directory in place of ssh client") << true << true << true << true << "ssh";
        QTest::newRow("kestrel program missing") << true << false << false << true << "kestrel";
        QTest::newRow("config dir missing") << true << false << true << false << "config";
    }

    void requiredFiles()
    {
        QFETCH(bool, ssh);
        QFETCH(bool, ssh_is_dir);
        QFETCH(bool, kestrel);
        QFETCH(bool, config_dir);
        QFETCH(QString, reported);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QByteArray saved = qgetenv("QUILLON_UNC_ROOT");
        qputenv("QUILLON_UNC_ROOT", root.path().toLocal8Bit());
        QDir d(root.path());
        QVERIFY(d.mkpath(QStringLiteral("khost/k/home")));
        QVERIFY(d.mkpath(QStringLiteral("ssh")));
        if (ssh_is_dir)
            QVERIFY(d.mkpath(QStringLiteral("ssh/plink-x86.exe")));
        else if (ssh)
            touch(d.filePath(QStringLiteral("ssh/plink-x86.exe")));
        if (kestrel)
            touch(d.filePath(QStringLiteral("khost/k/home/kestrel")));
        if (config_dir)
            QVERIFY(d.mkpath(QStringLiteral("khost/k/config")));

        ConfigRecord rec;
        rec.HOST = QStringLiteral("khost");
        rec.KESTREL = QStringLiteral("kestrel");
        rec.KESTREL_HOME = QStringLiteral("\\k\\home");
        rec.KESTREL_CONFIG = QStringLiteral("\\k\\config");
        rec.SSH_HOME = root.path() + QStringLiteral("\\ssh");
        rec.SSH_CMD = QStringLiteral("plink-x86.exe");
        AppGlobals().config = rec;

        MessageRecorder msgs;
        QString msg = QStringLiteral("untouched");
        const bool ok = check_required_files(msg, rec);
        qputenv("QUILLON_UNC_ROOT", saved);

        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(ok, reported.isEmpty());
        if (reported.isEmpty())
            QCOMPARE(msg, QStringLiteral("untouched"));
        else if (reported == QLatin1String("ssh"))
            QCOMPARE(msg, QStringLiteral("Required file missing --> ") + root.path() +
                              QStringLiteral("\\ssh\\plink-x86.exe"));
        else if (reported == QLatin1String("kestrel"))
            QCOMPARE(msg, QStringLiteral("Required file MISSING --> \\\\khost\\k\\home\\kestrel"));
        else
            QCOMPARE(msg, QStringLiteral("Required Directory missing --> \\\\khost\\k\\config"));
    }
};

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
