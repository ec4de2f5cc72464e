// run_command and start_program: real child processes started from argument lists, waited for in an
// event loop.

#include "base/command_log.h"
#include "base/errors.h"
#include "base/platform.h"
#include "base/process.h"
#include "base/waiting.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui/run_command.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
CommandLine sh(const QString &script, const QStringList &args = {})
{
    return CommandLine(u"sh"_s, QStringList{u"-c"_s, script, u"sh"_s} + args);
}
QString wait_for(const QString &go, const QString &then)
{
    return u"while [ ! -e '%1' ]; do sleep 0.05; done; %2"_s.arg(go, then);
}
QByteArray read_all(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TestRunCommand : public QObject {
    Q_OBJECT

private slots:
    void init() { SKIP_UNLESS_SHELL_SCRIPTS_RUN(); }

    // A child reading its input gets end of input at once; each word arrives as one argument, empty
    // words left out; its end leaves no message.
    void arguments_arriveWhole_noInput_noMessage()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        MessageRecorder rec;
        CommandLine c = sh(u"read x; printf '[%s]' \"$@\" > '%1'; echo got$x >> '%1'"_s.arg(out));
        c.arg(u"S3cret Pa55"_s, CommandLine::Kind::Secret).arg(QString()).arg(u"a \"b\" 'c'"_s);
        const RunResult r = run_command(c, WINDOW_NORMAL);
        QCOMPARE(read_all(out), QByteArray("[S3cret Pa55][a \"b\" 'c']got\n"));
        QVERIFY(r.started && !r.crashed && r.exitCode == 0);
        QVERIFY(rec.shown.isEmpty());
    }

    void missingProgram_messageWithSecretMasked_startProgramThrows()
    {
        MessageRecorder rec;
        CommandLine c(u"\\\\nohost\\ssh\\plink-x86.exe"_s, {u"-ssh"_s, u"-pw"_s});
        c.arg(u"Top Secret@pw"_s, CommandLine::Kind::Secret).args({u"jdoe@vobhost"_s, u"kestrel"_s});
        const RunResult r = run_command(c, WINDOW_MINIMISED);
        QVERIFY(!r.started);
        QCOMPARE(rec.shown.size(), 1);
        // The program as it was started, in plain words, and a line a shell reads the same.
        const QString local = platform::toLocalPath(c.program());
        QVERIFY(local.startsWith('/'));
        QCOMPARE(rec.shown[0].text, "ERROR: " + local + " does not exist\r\nCould not execute --> " + local +
                                        " -ssh -pw '********' jdoe@vobhost kestrel" + LOG_HINT);
        QCOMPARE(rec.shown[0].icon, MsgIcon::None);
        QCOMPARE(rec.shown[0].buttons, MsgButtons::Ok);
        QCOMPARE(rec.shown[0].title, u"Quillon"_s);
        QVERIFY_THROWS_EXCEPTION(QuillonError, startProgram(CommandLine(u"quillon-no-such-explorer"_s)));
        rec.shown.clear();
        run_command(CommandLine(u"quillon-no-such-plink"_s, {u"-fmt"_s, u"%n it's\\n"_s, u""_s}),
                    WINDOW_MINIMISED);
        QCOMPARE(rec.shown.value(0).text, "ERROR: quillon-no-such-plink was not found on PATH\r\nCould not "
                                          "execute --> quillon-no-such-plink -fmt '%n it'\\''s\\n'" +
                                              LOG_HINT);
    }

    // The secret reaches the program through a channel it reads; neither its command line nor its
    // environment holds it, whichever channel is used.
    void secretChannel_readable_notOnCommandLine()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        RunOptions options;
        options.secret = "pa ss\"word";
        CommandLine c = sh(u"cat \"$1\" > '%1'; tr '\\0' ' ' < /proc/$$/cmdline >> '%1'; "
                           "tr '\\0' ' ' < /proc/$$/environ >> '%1'"_s.arg(out));
        c.arg(QString(), CommandLine::Kind::SecretFile);
        QVERIFY(c.shown().endsWith(u" ********"_s));
        QVERIFY(runProgram(c, options).started);
        const QByteArray seen = read_all(out);
        QVERIFY2(seen.startsWith("pa ss\"word"), seen.constData());
        QVERIFY(!seen.mid(10).contains("pa ss"));
        QVERIFY(seen.contains("/dev/fd/"));

        // Where a file is used, only the user may read it, in a folder only the user may enter, and it
        // goes with the channel.
        std::optional<platform::SecretChannel> file;
        file.emplace("pa ss\"word", platform::SecretChannel::Kind::PrivateFile);
        QVERIFY(file->isValid());
        const QString path = file->path();
        const QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup |
                                          QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther;
        QCOMPARE(QFileInfo(path).permissions() & others, QFile::Permissions());
        QCOMPARE(QFileInfo(QFileInfo(path).path()).permissions() & others, QFile::Permissions());
        QCOMPARE(read_all(path), QByteArray("pa ss\"word"));
        file.reset();
        QVERIFY(!QFile::exists(path) && !QFileInfo::exists(QFileInfo(path).path()));
    }

    // A program still running at the deadline is left to go on, and the result says so.
    void deadline_passed_timedOutAndLeftRunning()
    {
        QTemporaryDir dir;
        const QString ended = dir.filePath(u"ended"_s);
        RunOptions options;
        options.timeoutMs = 200;
        options.captureErrors = true;
        const RunResult r = runProgram(sh(u"sleep 1; touch '%1'"_s.arg(ended)), options);
        QVERIFY(r.started && r.timedOut && !r.crashed);
        QVERIFY(!QFile::exists(ended));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
    }

    void capture_keepsErrorsAndOutput()
    {
        RunOptions options;
        options.captureErrors = true;
        RunResult r = runProgram(sh(u"echo out; echo err >&2; exit 3"_s), options);
        QCOMPARE(r.errors, QByteArray("err\n"));
        QCOMPARE(r.exitCode, 3);
        options.captureOutput = true;
        r = runProgram(sh(u"echo out; echo err >&2"_s), options);
        QCOMPARE(r.errors, QByteArray("out\nerr\n"));
    }

    // The outer child waits for a file the inner command writes before it goes on a little.
    void nestedCall_innerFinishesFirst()
    {
        QTemporaryDir dir;
        const QString stop = dir.filePath(u"stop"_s);
        QStringList order;
        QTimer::singleShot(0, [&] {
            run_command(sh(u"touch '%1'; sleep 0.3"_s.arg(stop)), WINDOW_NORMAL);
            order << u"inner"_s;
        });
        run_command(sh(wait_for(stop, u":"_s)), WINDOW_NORMAL);
        order << u"outer"_s;
        QCOMPARE(order, (QStringList{u"inner"_s, u"outer"_s}));
    }

    // The grandchild keeps the output open and ends only after "go", made once run_command returned.
    void grandchildOutlivingChild_doesNotHoldUp()
    {
        QTemporaryDir dir;
        const QString go = dir.filePath(u"go"_s);
        const QString ended = dir.filePath(u"ended"_s);
        run_command(sh(u"(%1) & exit 0"_s.arg(wait_for(go, u"touch '"_s + ended + u"'"_s))), WINDOW_NORMAL);
        QVERIFY(!QFile::exists(ended));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
    }

    // An interrupted wait unwinds at once; the program is not killed and runs to its end.
    void interrupt_unwinds_programRunsOn()
    {
        QTemporaryDir dir;
        const QString ended = dir.filePath(u"ended"_s);
        Interrupt interrupt;
        RunOptions options;
        options.interrupt = &interrupt;
        QTimer::singleShot(100, &interrupt, &Interrupt::set);
        QElapsedTimer clock;
        clock.start();
        bool unwound = false;
        try {
            runProgram(sh(u"sleep 1; touch '%1'"_s.arg(ended)), options);
        } catch (const Interrupted &) {
            unwound = true;
        }
        QVERIFY(unwound);
        QVERIFY(clock.elapsed() < 900);
        QVERIFY(!QFile::exists(ended));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
        QVERIFY_THROWS_EXCEPTION(Interrupted, runProgram(sh(u":"_s), options)); // set stays set
    }

    // Every program started is recorded and, when asked for, logged: arguments with the secret masked,
    // exit status, duration, first error; failures as warnings. Nothing is logged by default.
    void everyProgram_recordedAndLogged_secretMasked()
    {
        static QList<std::pair<QtMsgType, QString>> logged;
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                if (QByteArray(context.category).startsWith("quillon."))
                    logged.append({type, QString::fromLatin1(context.category) + u": "_s + text});
            });
        commandlog::clear();
        runProgram(sh(u"exit 1"_s));
        QVERIFY(logged.isEmpty());

        QLoggingCategory::setFilterRules(u"quillon.*=true"_s);
        RunOptions options;
        options.captureErrors = true;
        runProgram(sh(u"echo; echo oops >&2; echo more >&2; exit 3"_s, {u"S3cret"_s}).arg(u"pw"_s), options);
        CommandLine secret = sh(u":"_s);
        secret.arg(u"S3cret"_s, CommandLine::Kind::Secret);
        runProgram(secret);
        runProgram(CommandLine(u"quillon-no-such-program"_s));
        QVERIFY_THROWS_EXCEPTION(QuillonError, startProgram(CommandLine(u"quillon-no-such-explorer"_s)));
        Interrupt interrupt;
        options.interrupt = &interrupt;
        QTimer::singleShot(50, &interrupt, &Interrupt::set);
        QVERIFY_THROWS_EXCEPTION(Interrupted, runProgram(sh(u"sleep 0.3"_s), options));
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);

        const auto &log = commandlog::entries();
        QCOMPARE(log.size(), size_t(6));
        QCOMPARE(log[1].command, u"sh -c 'echo; echo oops >&2; echo more >&2; exit 3' sh S3cret pw"_s);
        QVERIFY(log[1].ran && log[1].exitCode == 3 && log[1].failed());
        QCOMPARE(log[1].firstError, u"oops"_s);
        QCOMPARE(log[2].command, u"sh -c : sh '********'"_s);
        QVERIFY(!log[2].failed() && log[2].outcome().startsWith(u"exit 0 in "_s));
        QVERIFY(!log[3].ran && log[3].failed() && log[3].outcome().startsWith(u"could not start: "_s));
        QVERIFY(log[4].detached && !log[4].ran);
        QVERIFY(log[5].interrupted && !log[5].failed());
        // Logged: a start and an outcome for each; the failures as warnings; the secret nowhere.
        QCOMPARE(logged.size(), 10);
        const QStringList warned = [] {
            QStringList w;
            for (const auto &[type, text] : logged)
                if (type == QtWarningMsg)
                    w << text;
            return w;
        }();
        QCOMPARE(warned.size(), 3);
        QVERIFY2(warned[0].startsWith(u"quillon.process: sh -c 'echo; echo oops"_s) &&
                     warned[0].contains(u"-> exit 3 in "_s) && warned[0].endsWith(u" ms: oops"_s),
                 qPrintable(warned[0]));
        for (const auto &[type, text] : logged)
            QVERIFY2(!text.contains(u"S3cret"_s) || text.contains(u"sh S3cret pw"_s), qPrintable(text));

        // Only the newest are kept.
        for (std::size_t i = 0; i < kCommandLogSize; ++i)
            commandlog::add(CommandRecord{});
        QCOMPARE(log.size(), kCommandLogSize);
        QVERIFY(log.front().command.isEmpty());
    }
};

QTEST_MAIN(TestRunCommand)
#include "tst_run_command.moc"
