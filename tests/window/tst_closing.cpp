// Closing the main window while something waits, as a real process: Quillon ends at once with status
// 0 and no crash, and a program it started (Kestrel) is not killed but runs to its end. With
// --as-program SCENARIO the test runs the program itself (Main, the event loop) and drives it.

#include "app/mainModule.h"
#include "support/site.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
void print_line(const QString &line)
{
    std::fputs(qPrintable(line + '\n'), stdout);
    std::fflush(stdout);
}

// The program, driven: pick r6000, and for "create" create its first template; close the window
// while that waits.
int run_as_program(char **argv)
{
    const QString scenario = QString::fromLocal8Bit(argv[2]);
    // The platform on the command line: Wine does not pass QT_QPA_PLATFORM on.
    char platform[] = "-platform", offscreen[] = "offscreen";
    char *args[] = {argv[0], platform, offscreen, nullptr};
    int n = 3;
    QApplication app(n, args);
    setMessageHandler([](const QString &text, MsgIcon, MsgButtons, const QString &) {
        print_line("MESSAGE|" + text);
        return MsgAnswer::No;
    });
    if (!Main())
        return 3;
    frmMain *w = AppGlobals().mainWindow;
    Gui gui(w);
    QTimer::singleShot(0, w, [w, &gui, scenario] {
        if (scenario == u"create"_s) {
            gui.choose(u"projectCombo"_s, u"r6000"_s);
            gui.select(u"viewsList"_s, u"jdoe__dev"_s);
        }
        QTimer::singleShot(300, w, [w] {
            print_line(u"CLOSING|%1"_s.arg(int(w->activity())));
            w->close();
        });
        if (scenario == u"create"_s)
            gui.click(u"createViewBut"_s);
        else
            gui.choose(u"projectCombo"_s, u"r6000"_s);
        print_line(u"UNWOUND"_s);
    });
    const int status = QApplication::exec();
    AppGlobals().unloadAll();
    print_line(u"ENDED"_s);
    return status;
}
} // namespace

class TestClosing : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;

    // Runs the scenario: the window is closed while it is busy with `during`, and the program ends
    // within 1.5 s of that, normally, with status 0 and no message.
    void endsAtOnce(const QString &scenario, Activity during)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationFilePath(), {u"--as-program"_s, scenario});
        QString out;
        QElapsedTimer clock;
        while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
            p.waitForReadyRead(100);
            out += QString::fromLocal8Bit(p.readAll());
            if (out.contains(u"CLOSING|"_s) && !clock.isValid())
                clock.start();
            if (p.state() == QProcess::NotRunning && !p.bytesAvailable())
                break;
        }
        p.waitForFinished(60000);
        const qint64 after_close = clock.isValid() ? clock.elapsed() : -1;
        const bool clean = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        out += u"\n(ended with status %1%2)"_s.arg(p.exitCode()).arg(clean ? u""_s : u", not cleanly"_s);
        QVERIFY2(clean && out.contains(u"CLOSING|%1"_s.arg(int(during))) && out.contains(u"ENDED"_s) &&
                     !out.contains(u"MESSAGE|"_s),
                 qPrintable(out));
        QVERIFY2(after_close < 1500, qPrintable(QString::number(after_close)));
    }

private slots:
    void init()
    {
        site = std::make_unique<TestSite>("jdoe");
        site->writeConfig("qn.cfg", TestSite::configLines(false));
        site->addTemplate("r6000", "dev", {"element * /main/LATEST"});
        // The required files are there: start-up shows nothing.
        for (const char *file : {"tools/ssh/plink", "ccstorage/utils/kestrel/kestrel"})
            writeFile(site->share(QString::fromLatin1(file)), {});
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    void cleanup() { site.reset(); }

    // Kestrel takes two seconds: Quillon ends long before, and Kestrel still runs to its end.
    void closeDuringCreation_endsAtOnce_kestrelFinishes()
    {
        const QString started = site->root() + "/started", ended = site->root() + "/ended";
        const QString kestrel = childProgram(site->share("ccstorage/utils/kestrel"), u"kestrel"_s,
                                             {"touch=" + started, u"sleep=2000"_s, "touch=" + ended});
        site->writeConfig("qn.cfg",
                          TestSite::configLines(false, {"KESTREL=" + QFileInfo(kestrel).fileName()}));
        endsAtOnce(u"create"_s, Activity::Creating);
        // Quillon was gone within 1.5 s; Kestrel, two seconds long, ran on to its end.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
        QVERIFY(QFile::exists(started));
    }

    // cleartool takes three seconds a command: the load is left at once.
    void closeDuringProjectLoad_endsAtOnce()
    {
        site->setKnobs("CCSIM_COST_CMD_MS=3000\n");
        endsAtOnce(u"load"_s, Activity::LoadingProject);
    }
};

int main(int argc, char **argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--as-program") == 0)
        return run_as_program(argv);
    QApplication app(argc, argv);
    TestClosing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_closing.moc"
