// run_command and start_program: real child processes, waited for in an event loop.

#include "support/recorder.h"
#include "utils/errors.h"
#include "utils/run_command.h"

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
QString wait_for(const QString &go, const QString &then)
{
    return u"while [ ! -e %1 ]; do sleep 0.05; done; %2"_s.arg(go, then);
}
} // namespace

class TestRunCommand : public QObject {
    Q_OBJECT

private slots:
    // A child reading its input gets end of input at once, and its end leaves no message.
    void childEnds_noInput_noMessage()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        MessageRecorder rec;
        run_command(sh(u"read x; echo got$x > %1; cat >> %1"_s.arg(out)), WINDOW_NORMAL);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("got\n"));
        QVERIFY(rec.shown.isEmpty());
    }

    void missingProgram_messageWithPasswordMasked_startProgramThrows()
    {
        MessageRecorder rec;
        run_command(u"\\\\nohost\\ssh\\plink-x86.exe -ssh -pw s3cr3t!x jdoe@vobhost kestrel -tag t"_s,
                    WINDOW_MINIMISED);
        QCOMPARE(rec.texts(),
                 QStringList{u"ERROR: No such file or directory\r\n"
                             "Could not execute --> \\\\nohost\\ssh\\plink-x86.exe -ssh -pw ******** "
                             "jdoe@vobhost kestrel -tag t"_s});
        QCOMPARE(mask_password(u"a -pw x b -pwd"_s), u"a -pw ******** b -pwd"_s);
        QCOMPARE(mask_password(u"p  -pw two words ann@vobhost rm -f o"_s),
                 u"p  -pw ******** ann@vobhost rm -f o"_s);
        QVERIFY_THROWS_EXCEPTION(QuillonError, start_program(u"quillon-no-such-explorer"_s, WINDOW_NORMAL));
    }

    // The outer child waits for a file the inner command writes before it goes on a little.
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

    // The grandchild keeps the output open and ends only after "go", made once run_command returned.
    void grandchildOutlivingChild_doesNotHoldUp()
    {
        QTemporaryDir dir;
        const QString go = dir.filePath(u"go"_s);
        const QString ended = dir.filePath(u"ended"_s);
        run_command(sh(u"(%1) & exit 0"_s.arg(wait_for(go, u"touch "_s + ended))), WINDOW_NORMAL);
        QVERIFY(!QFile::exists(ended));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
    }
};

QTEST_MAIN(TestRunCommand)
#include "tst_run_command.moc"
