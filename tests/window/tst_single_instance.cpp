// Start-up as a real process: one instance per user (a second start hands its words to the first),
// and a lock left by a killed instance. With --as-program the test runs Main() and prints each message box
// and "READY|<CFG_FILE>|<HOST>".

#include "app/mainModule.h"
#include "ui/appglobals.h"
#include "ui/messages.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <vector>

namespace {
void print_line(const QString &line)
{
    std::fputs(qPrintable(line + '\n'), stdout);
    std::fflush(stdout);
}

int run_as_program(int argc, char **argv)
{
    std::vector<char *> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    int n = int(args.size());
    QApplication app(n, args.data());
    setMessageHandler([](const QString &text, MsgIcon, MsgButtons, const QString &) {
        print_line("MESSAGE|" + text);
        return MsgAnswer::Ok;
    });
    if (!Main())
        return 0;
    print_line("READY|" + AppGlobals().config.CFG_FILE + '|' + AppGlobals().config.HOST);
    return QApplication::exec();
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp; // also the user's runtime folder, where the lock lives
    QProcess m_first, m_second, m_next;

    void start(QProcess &p, const QStringList &params = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The user's own folder for the lock: the runtime folder, on Windows the temporary one.
        for (const char *var : {"XDG_RUNTIME_DIR", "TMP", "TEMP", "QUILLON_PROGRAM_DIR", "QUILLON_UNC_ROOT"})
            env.insert(var, m_tmp.path());
        env.insert("USER", "jdoe");
        env.insert("USERNAME", "jdoe"); // Windows' name for it
        env.insert("QT_LOGGING_RULES", "quillon.config.info=true");
        env.insert("QT_FORCE_STDERR_LOGGING", "1"); // on Windows the log goes to a debugger otherwise
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        // The platform on the command line too: Wine does not pass QT_QPA_PLATFORM on.
        p.start(QCoreApplication::applicationFilePath(),
                QStringList{"--as-program", "-platform", "offscreen"} + params);
    }

    // Whether the process prints this line before it ends or half a minute passes.
    static bool prints(QProcess &p, const QString &line)
    {
        QString out;
        (void)QTest::qWaitFor(
            [&] {
                out += QString::fromLocal8Bit(p.readAllStandardOutput()).remove('\r'); // Windows: CR LF
                return out.contains(line) || p.state() == QProcess::NotRunning;
            },
            30000);
        out += p.readAllStandardOutput();
        return out.remove('\r').contains(line);
    }

private slots:
    void cleanup()
    {
        for (QProcess *p : {&m_first, &m_second, &m_next}) {
            p->kill();
            p->waitForFinished();
        }
    }

    void oneInstancePerUser_lockOfKilledInstanceTakenOver()
    {
        for (const char *name : {"qn.cfg", "my site.cfg"}) {
            QFile f(m_tmp.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(name[0] == 'q' ? "HOST=firsthost\r\nIS_INTEROP=false\r\n" : "HOST=sitehost\r\n");
        }
        start(m_first);
        QVERIFY(prints(m_first, "READY|qn.cfg|firsthost\n"));

        // A second start hands its words to the first, which shows its window; it says nothing itself.
        start(m_second, {"--", "other.cfg"});
        QVERIFY(m_second.waitForFinished(30000) && m_second.exitCode() == 0);
        QVERIFY(!m_second.readAllStandardOutput().contains("MESSAGE|"));
        QVERIFY(prints(m_first, "started again with -- other.cfg - the running window is shown"));
        QCOMPARE(m_first.state(), QProcess::Running);

        m_first.kill(); // no chance to release the lock
        QVERIFY(m_first.waitForFinished(30000));
        QVERIFY(QFile::exists(m_tmp.filePath("quillon.lock")) ||
                QFile::exists(m_tmp.filePath("quillon/quillon.lock")));
        start(m_next, {"my site.cfg"}); // the file named in the program folder
        QVERIFY(prints(m_next, "READY|my site.cfg|sitehost\n"));
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
