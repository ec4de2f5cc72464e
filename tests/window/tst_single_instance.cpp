// Start-up as a real process: one instance per user, a lock left by a
// crashed instance, and the configuration file named on the command line.
//
// The test executable doubles as the program: started with --as-program it
// runs Main() with the remaining arguments as its command line, prints each
// message box as one line "MESSAGE|<icon>|<title>|<text>" and, once Main()
// has brought the window up, "READY|<CFG_FILE>|<HOST>".

#include "main/appglobals.h"
#include "main/mainModule.h"
#include "utils/messages.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <vector>

namespace {
void print_line(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

int run_as_program(int argc, char **argv)
{
    std::vector<char *> args{argv[0]};
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    int n = int(args.size());
    QApplication app(n, args.data());
    set_message_handler([](const QString &text, MsgIcon icon, MsgButtons, const QString &title) {
        print_line(QStringLiteral("MESSAGE|%1|%2|%3")
                       .arg(int(icon))
                       .arg(title, QString(text).replace(CRLF, QStringLiteral("\\n"))));
        return MsgAnswer::Ok;
    });
    if (!Main())
        return 0;
    const ConfigRecord &c = AppGlobals().config;
    print_line(QStringLiteral("READY|") + c.CFG_FILE + QLatin1Char('|') + c.HOST);
    return QApplication::exec();
}

constexpr int START_TIMEOUT = 30000;
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    struct Child {
        QProcess process;
        QString out;
        // All output so far, one entry per line.
        QStringList lines()
        {
            out += QString::fromLocal8Bit(process.readAllStandardOutput());
            return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        bool has_line_starting(const QString &start)
        {
            const QStringList all = lines();
            return std::any_of(all.begin(), all.end(), [&](const QString &l) { return l.startsWith(start); });
        }
    };

    std::unique_ptr<QTemporaryDir> m_tmp; // a private temp folder: lock and socket live there
    std::vector<std::unique_ptr<Child>> m_children;

    QString program_dir() const { return m_tmp->filePath(QStringLiteral("prog")); }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(QDir(program_dir()).filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    Child &start(const QStringList &params = {})
    {
        m_children.push_back(std::make_unique<Child>());
        Child &c = *m_children.back();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), m_tmp->path());
        env.insert(QStringLiteral("QUILLON_PROGRAM_DIR"), program_dir());
        env.insert(QStringLiteral("QUILLON_UNC_ROOT"), m_tmp->filePath(QStringLiteral("unc")));
        env.insert(QStringLiteral("USER"), QStringLiteral("jdoe"));
        env.remove(QStringLiteral("CLEARCASE_PRIMARY_GROUP"));
        c.process.setProcessEnvironment(env);
        c.process.setProgram(QCoreApplication::applicationFilePath());
        c.process.setArguments(QStringList{QStringLiteral("--as-program")} + params);
        c.process.start();
        return c;
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        QVERIFY(QDir(m_tmp->path()).mkpath(QStringLiteral("prog")));
        write(QStringLiteral("qn.cfg"), "HOST=firsthost\r\nIS_INTEROP=false\r\nADMIN=jdoe\r\n");
        write(QStringLiteral("my site.cfg"), "HOST=sitehost\r\nIS_INTEROP=false\r\n");
    }

    void cleanup()
    {
        for (auto &c : m_children) {
            if (c->process.state() != QProcess::NotRunning) {
                c->process.kill();
                c->process.waitForFinished();
            }
        }
        m_children.clear();
        m_tmp.reset();
    }

    void secondStart_isRefusedWhileFirstRuns()
    {
        Child &first = start();
        QTRY_VERIFY_WITH_TIMEOUT(first.has_line_starting(QStringLiteral("READY|")), START_TIMEOUT);

        Child &second = start();
        QTRY_VERIFY_WITH_TIMEOUT(second.process.state() == QProcess::NotRunning, START_TIMEOUT);
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QCOMPARE(second.lines(), QStringList{QStringLiteral("MESSAGE|%1|Quillon|Quillon is already running")
                                                 .arg(int(MsgIcon::Exclamation))});

        QCOMPARE(first.process.state(), QProcess::Running);
        QVERIFY(!first.has_line_starting(
            QStringLiteral("MESSAGE|%1|Quillon|Quillon is already running").arg(int(MsgIcon::Exclamation))));
    }

    void lockLeftByKilledInstance_isTakenOver()
    {
        Child &first = start();
        QTRY_VERIFY_WITH_TIMEOUT(first.has_line_starting(QStringLiteral("READY|")), START_TIMEOUT);
        first.process.kill(); // no chance to release the lock
        QTRY_VERIFY_WITH_TIMEOUT(first.process.state() == QProcess::NotRunning, START_TIMEOUT);
        QVERIFY(QFile::exists(m_tmp->filePath(QStringLiteral("quillon-jdoe.lock"))));

        Child &next = start();
        QTRY_VERIFY_WITH_TIMEOUT(next.has_line_starting(QStringLiteral("READY|")), START_TIMEOUT);
        QVERIFY(!next.has_line_starting(QStringLiteral("MESSAGE|%1|").arg(int(MsgIcon::Exclamation))));

        // And the new one now holds the lock in its turn.
        Child &another = start();
        QTRY_VERIFY_WITH_TIMEOUT(another.process.state() == QProcess::NotRunning, START_TIMEOUT);
        QVERIFY(another.has_line_starting(
            QStringLiteral("MESSAGE|%1|Quillon|Quillon is already running").arg(int(MsgIcon::Exclamation))));
    }

    void firstParameter_namesTheFileInProgramDir_data()
    {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<QString>("missing"); // the file reported missing, if any
        QTest::newRow("none") << QStringList() << "READY|qn.cfg|firsthost"
                              << "";
        QTest::newRow("name with a space") << QStringList{"my site.cfg"} << "READY|my site.cfg|sitehost"
                                           << "";
        QTest::newRow("missing file") << QStringList{"none.cfg"} << "READY|qn.cfg|vobhost"
                                      << "none.cfg";
    }

    void firstParameter_namesTheFileInProgramDir()
    {
        QFETCH(QStringList, params);
        QFETCH(QString, ready);
        QFETCH(QString, missing);
        Child &c = start(params);
        QTRY_VERIFY_WITH_TIMEOUT(c.has_line_starting(QStringLiteral("READY|")), START_TIMEOUT);
        QVERIFY2(c.lines().contains(ready), qPrintable(c.out));
        const QString reported =
            QStringLiteral("MESSAGE|%1|Quillon|File does not exist --> ").arg(int(MsgIcon::Critical)) +
            program_dir() + QStringLiteral("\\") + missing;
        QCOMPARE(c.lines().contains(reported), !missing.isEmpty());
        // The window comes up either way; the required-files warning (no
        // SSH client here) follows the reader's message.
        QVERIFY(c.has_line_starting(
            QStringLiteral("MESSAGE|%1|Quillon|Required file missing --> ").arg(int(MsgIcon::Critical))));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--as-program") == 0)
        return run_as_program(argc, argv);
    QApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_single_instance.moc"
