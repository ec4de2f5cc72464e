// run_command and start_program: real child processes started from argument lists, waited for in an
// event loop. The child is a small program of the tests' own (its steps as its first arguments), so
// that the same cases run on Windows.

#include "base/command_log.h"
#include "base/errors.h"
#include "base/platform.h"
#include "base/process.h"
#include "base/waiting.h"
#include "support/recorder.h"
#include "ui/run_command.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString CHILD = QStringLiteral(QUILLON_TEST_CHILD);
// The command lines shown are read as sh reads them, on Windows as a program reads its own.
const bool WINDOWS = QSysInfo::kernelType() == QLatin1String("winnt");
const QString MASKED = WINDOWS ? u"********"_s : u"'********'"_s;
// The child doing its steps; the words added after them are the ones under test.
CommandLine child(const QStringList &steps)
{
    return CommandLine(CHILD, steps + QStringList{u"--"_s});
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
    // A child reading its input gets end of input at once; each word arrives as one argument, empty
    // words left out; its end leaves no message.
    void arguments_arriveWhole_noInput_noMessage()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        MessageRecorder rec;
        CommandLine c = child({u"stdin="_s + out, u"args="_s + out});
        c.arg(u"S3cret Pa55"_s, CommandLine::Kind::Secret).arg(QString()).arg(u"a \"b\" 'c'"_s);
        const RunResult r = run_command(c, WINDOW_NORMAL);
        QCOMPARE(read_all(out), QByteArray("got\n[S3cret Pa55][a \"b\" 'c']"));
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
        QVERIFY(WINDOWS || local.startsWith('/'));
        QCOMPARE(rec.shown[0].text, "ERROR: " + QDir::toNativeSeparators(local) +
                                        " does not exist\r\nCould not execute --> " + local + " -ssh -pw " +
                                        MASKED + " jdoe@vobhost kestrel" + LOG_HINT);
        QCOMPARE(rec.shown[0].icon, MsgIcon::None);
        QCOMPARE(rec.shown[0].buttons, MsgButtons::Ok);
        QCOMPARE(rec.shown[0].title, u"Quillon"_s);
        QVERIFY_THROWS_EXCEPTION(QuillonError, startProgram(CommandLine(u"quillon-no-such-explorer"_s)));
        rec.shown.clear();
        run_command(CommandLine(u"quillon-no-such-plink"_s, {u"-fmt"_s, u"%n it's\\n"_s, u""_s}),
                    WINDOW_MINIMISED);
        QCOMPARE(rec.shown.value(0).text, "ERROR: quillon-no-such-plink was not found on PATH\r\nCould not "
                                          "execute --> quillon-no-such-plink -fmt " +
                                              (WINDOWS ? u"\"%n it's\\n\""_s : u"'%n it'\\''s\\n'"_s) +
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
        CommandLine c = child({u"secret="_s + out});
        c.arg(QString(), CommandLine::Kind::SecretFile);
        QVERIFY(c.shown().endsWith(u" ********"_s));
        QVERIFY(runProgram(c, options).started);
        const QByteArray seen = read_all(out);
        QVERIFY2(seen.startsWith("pa ss\"word"), seen.constData());
        QVERIFY(!seen.mid(10).contains("pa ss"));
        QVERIFY(seen.contains("/dev/fd/") || seen.contains("\\\\.\\pipe\\quillon-"));

        // Where a file is used, only the user may read it, in a folder only the user may enter, and it
        // goes with the channel.
        std::optional<platform::SecretChannel> file;
        file.emplace("pa ss\"word", platform::SecretChannel::Kind::PrivateFile);
        QVERIFY(file->isValid());
        const QString path = file->path();
        const QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup |
                                          QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther;
        if (!WINDOWS) { // there the folder is in the user's profile, whose access list admits the user only
            QCOMPARE(QFileInfo(path).permissions() & others, QFile::Permissions());
            QCOMPARE(QFileInfo(QFileInfo(path).path()).permissions() & others, QFile::Permissions());
        }
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
        const RunResult r = runProgram(child({u"sleep=1000"_s, u"touch="_s + ended}), options);
        QVERIFY(r.started && r.timedOut && !r.crashed);
        QVERIFY(!QFile::exists(ended));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
    }

    void capture_keepsErrorsAndOutput()
    {
        RunOptions options;
        options.captureErrors = true;
        RunResult r = runProgram(child({u"out=out"_s, u"err=err"_s, u"exit=3"_s}), options);
        QCOMPARE(r.errors.replace("\r\n", "\n"),
                 QByteArray("err\n")); // Windows programs end lines with CR LF
        QCOMPARE(r.exitCode, 3);
        options.captureOutput = true;
        r = runProgram(child({u"out=out"_s, u"err=err"_s}), options);
        QCOMPARE(r.errors.replace("\r\n", "\n"), QByteArray("out\nerr\n"));
    }

    // The outer child waits for a file the inner command writes before it goes on a little.
    void nestedCall_innerFinishesFirst()
    {
        QTemporaryDir dir;
        const QString stop = dir.filePath(u"stop"_s);
        QStringList order;
        QTimer::singleShot(0, [&] {
            run_command(child({u"touch="_s + stop, u"sleep=300"_s}), WINDOW_NORMAL);
            order << u"inner"_s;
        });
        run_command(child({u"waitfor="_s + stop}), WINDOW_NORMAL);
        order << u"outer"_s;
        QCOMPARE(order, (QStringList{u"inner"_s, u"outer"_s}));
    }

    // The grandchild keeps the output open and ends only after "go", made once run_command returned.
    void grandchildOutlivingChild_doesNotHoldUp()
    {
        QTemporaryDir dir;
        const QString go = dir.filePath(u"go"_s);
        const QString ended = dir.filePath(u"ended"_s);
        run_command(child({u"later="_s + go + u","_s + ended}), WINDOW_NORMAL);
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
            runProgram(child({u"sleep=1000"_s, u"touch="_s + ended}), options);
        } catch (const Interrupted &) {
            unwound = true;
        }
        QVERIFY(unwound);
        QVERIFY(clock.elapsed() < 900);
        QVERIFY(!QFile::exists(ended));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
        QVERIFY_THROWS_EXCEPTION(Interrupted, runProgram(child({}), options)); // set stays set
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
        runProgram(child({u"exit=1"_s}));
        QVERIFY(logged.isEmpty());

        QLoggingCategory::setFilterRules(u"quillon.*=true"_s);
        RunOptions options;
        options.captureErrors = true;
        runProgram(child({u"out="_s, u"err=oops"_s, u"err=more"_s, u"exit=3"_s}).args({u"S3cret"_s, u"pw"_s}),
                   options);
        CommandLine secret = child({});
        secret.arg(u"S3cret"_s, CommandLine::Kind::Secret);
        runProgram(secret);
        runProgram(CommandLine(u"quillon-no-such-program"_s));
        QVERIFY_THROWS_EXCEPTION(QuillonError, startProgram(CommandLine(u"quillon-no-such-explorer"_s)));
        Interrupt interrupt;
        options.interrupt = &interrupt;
        QTimer::singleShot(50, &interrupt, &Interrupt::set);
        QVERIFY_THROWS_EXCEPTION(Interrupted, runProgram(child({u"sleep=300"_s}), options));
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);

        const auto &log = commandlog::entries();
        QCOMPARE(log.size(), size_t(6));
        const QString started = platform::shellLine({platform::toLocalPath(CHILD)});
        QCOMPARE(log[1].command, started + u" out= err=oops err=more exit=3 -- S3cret pw"_s);
        QVERIFY(log[1].ran && log[1].exitCode == 3 && log[1].failed());
        QCOMPARE(log[1].firstError, u"oops"_s);
        QCOMPARE(log[2].command, started + u" -- "_s + MASKED);
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
        QVERIFY2(warned[0].startsWith(u"quillon.process: "_s + started + u" out= err=oops"_s) &&
                     warned[0].contains(u"-> exit 3 in "_s) && warned[0].endsWith(u" ms: oops"_s),
                 qPrintable(warned[0]));
        for (const auto &[type, text] : logged)
            QVERIFY2(!text.contains(u"S3cret"_s) || text.contains(u"-- S3cret pw"_s), qPrintable(text));

        // Only the newest are kept.
        for (std::size_t i = 0; i < kCommandLogSize; ++i)
            commandlog::add(CommandRecord{});
        QCOMPARE(log.size(), kCommandLogSize);
        QVERIFY(log.front().command.isEmpty());
    }
};

QTEST_MAIN(TestRunCommand)
#include "tst_run_command.moc"
