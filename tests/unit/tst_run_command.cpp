// run_command and start_program: real child processes, waited for in an
// event loop.

#include "support/recorder.h"
#include "utils/errors.h"
#include "utils/run_command.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
QString sh(const QString &script)
{
    return u"sh -c \"%1\""_s.arg(script);
}

// A script that waits until `go` exists, then runs `then`.
QString wait_for(const QString &go, const QString &then)
{
    return u"while [ ! -e %1 ]; do sleep 0.05; done; %2"_s.arg(go, then);
}
} // namespace

class TestRunCommand : public QObject {
    Q_OBJECT

private slots:
    // A UNC argument is mapped to the local tree.
    void childThatEnds_returnsWithoutMessage()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(u"host/share"_s));
        MessageRecorder rec;
        qputenv("QUILLON_UNC_ROOT", root.path().toLocal8Bit());
        run_command(u"touch \\\\host\\share\\made"_s, WINDOW_NORMAL);
        qunsetenv("QUILLON_UNC_ROOT");
        QVERIFY(QFile::exists(root.filePath(u"host/share/made"_s)));
        QVERIFY(rec.shown.isEmpty());
    }

    void missingProgram_reportsPlatformDescription_passwordMasked()
    {
        MessageRecorder rec;
        run_command(u"quillon-no-such-program /x \\\\host\\a"_s, WINDOW_MINIMISED);
        run_command(u"\\\\nohost\\ssh\\plink-x86.exe -ssh -pw s3cr3t!x jdoe@vobhost kestrel -tag t"_s,
                    WINDOW_MINIMISED);
        QCOMPARE(rec.texts(),
                 (QStringList{u"ERROR: No such file or directory\r\n"
                              "Could not execute --> quillon-no-such-program /x \\\\host\\a"_s,
                              u"ERROR: No such file or directory\r\n"
                              "Could not execute --> \\\\nohost\\ssh\\plink-x86.exe -ssh -pw ******** "
                              "jdoe@vobhost kestrel -tag t"_s}));
        QCOMPARE(mask_password(u"a -pw x b -pw y"_s), u"a -pw ******** b -pw ********"_s);
        QCOMPARE(mask_password(u"p  -pw q"_s), u"p  -pw ********"_s);
        QCOMPARE(mask_password(u"cleartool lsview -pwd"_s), u"cleartool lsview -pwd"_s);
    }

    // The outer child waits for a file only the inner command writes; the
    // inner one goes on a little after, so the outer child ends first.
    void nestedCall_innerFinishesFirst()
    {
        QTemporaryDir dir;
        const QString stop = dir.filePath(u"stop"_s);
        QStringList order;
        QTimer::singleShot(0, [&] {
            run_command(sh(u"touch %1; sleep 0.3"_s.arg(stop)), WINDOW_NORMAL);
            order << u"inner"_s;
        });
        run_command(sh(wait_for(stop, u":"_s)), WINDOW_NORMAL);
        order << u"outer"_s;
        QCOMPARE(order, (QStringList{u"inner"_s, u"outer"_s}));
    }

    // The grandchild keeps the output open and ends only after "go", which
    // the test creates once run_command has returned; likewise start_program.
    void grandchildOutlivingChild_andStartProgram_doNotWait()
    {
        QTemporaryDir dir;
        const QString go = dir.filePath(u"go"_s);
        const QString ended = dir.filePath(u"ended"_s);
        const QString started = dir.filePath(u"started"_s);
        run_command(sh(u"(%1) & exit 0"_s.arg(wait_for(go, u"touch "_s + ended))), WINDOW_NORMAL);
        start_program(sh(wait_for(go, u"touch "_s + started)), WINDOW_NORMAL);
        QVERIFY(!QFile::exists(ended) && !QFile::exists(started));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended) && QFile::exists(started), 10000);
    }

    void childReadingInput_getsEndOfInputAtOnce()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        run_command(sh(u"read x; echo got$x > %1; cat >> %1"_s.arg(out)), WINDOW_NORMAL);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("got\n"));
    }

    void startProgram_missingProgramThrows()
    {
        QVERIFY_THROWS_EXCEPTION(QuillonError, start_program(u"quillon-no-such-explorer"_s, WINDOW_NORMAL));
    }
};

QTEST_MAIN(TestRunCommand)
#include "tst_run_command.moc"
