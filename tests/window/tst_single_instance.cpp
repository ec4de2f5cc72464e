// Start-up as a real process: one instance per user and a lock left by a
// crashed instance. Started with --as-program, the test executable runs Main()
// and prints "MESSAGE|<icon>|<title>|<text>" per box and "READY|<CFG_FILE>|<HOST>".

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

QString already_running()
{
    return QStringLiteral("MESSAGE|%1|Quillon|Quillon is already running").arg(int(MsgIcon::Exclamation));
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    struct Child {
        QProcess process;
        QString out;
        // All output so far; waits for nothing.
        QString read() { return out += QString::fromLocal8Bit(process.readAllStandardOutput()); }
    };

    QTemporaryDir m_tmp; // TMPDIR too: the lock and the socket live there
    std::vector<std::unique_ptr<Child>> m_children;

    Child &start(const QStringList &params = {})
    {
        Child &c = *m_children.emplace_back(std::make_unique<Child>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), m_tmp.path());
        env.insert(QStringLiteral("QUILLON_PROGRAM_DIR"), m_tmp.path());
        env.insert(QStringLiteral("QUILLON_UNC_ROOT"), m_tmp.filePath(QStringLiteral("unc")));
        env.insert(QStringLiteral("USER"), QStringLiteral("jdoe"));
        env.remove(QStringLiteral("CLEARCASE_PRIMARY_GROUP"));
        c.process.setProcessEnvironment(env);
        c.process.start(QCoreApplication::applicationFilePath(),
                        QStringList{QStringLiteral("--as-program")} + params);
        return c;
    }

private slots:
    void cleanup()
    {
        for (auto &c : m_children) {
            c->process.kill();
            c->process.waitForFinished();
        }
    }

    void oneInstancePerUser_lockOfKilledInstanceTakenOver()
    {
        for (const char *name : {"qn.cfg", "my site.cfg"}) {
            QFile f(m_tmp.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(name[0] == 'q' ? "HOST=firsthost\r\nIS_INTEROP=false\r\n" : "HOST=sitehost\r\n");
        }
        Child &first = start();
        QTRY_VERIFY_WITH_TIMEOUT(first.read().contains(QStringLiteral("READY|")), START_TIMEOUT);
        QVERIFY2(first.out.split(QLatin1Char('\n')).contains(QStringLiteral("READY|qn.cfg|firsthost")),
                 qPrintable(first.out));

        Child &second = start();
        QTRY_VERIFY_WITH_TIMEOUT(second.process.state() == QProcess::NotRunning, START_TIMEOUT);
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QCOMPARE(second.read(), already_running() + QLatin1Char('\n'));
        QCOMPARE(first.process.state(), QProcess::Running);

        first.process.kill(); // no chance to release the lock
        QTRY_VERIFY_WITH_TIMEOUT(first.process.state() == QProcess::NotRunning, START_TIMEOUT);
        QVERIFY(QFile::exists(m_tmp.filePath(QStringLiteral("quillon-jdoe.lock"))));
        Child &next = start({QStringLiteral("my site.cfg")}); // the file named in the program folder
        QTRY_VERIFY_WITH_TIMEOUT(next.read().contains(QStringLiteral("READY|")), START_TIMEOUT);
        QVERIFY2(next.out.split(QLatin1Char('\n')).contains(QStringLiteral("READY|my site.cfg|sitehost")),
                 qPrintable(next.out));
        QVERIFY(!next.out.contains(already_running()));
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
