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

class TestRunCommand : public QObject {
    Q_OBJECT

private:
    static QString read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QStringLiteral("<none>");
    }

private slots:
    void childThatEnds_returnsWithoutMessage()
    {
        QTemporaryDir dir;
        MessageRecorder rec;
        const QString out = dir.filePath(QStringLiteral("out"));
        run_command(QStringLiteral("sh -c \"echo done > ") + out + QStringLiteral("\""), WINDOW_NORMAL);
        QCOMPARE(read(out), QStringLiteral("done\n"));
        QVERIFY(rec.shown.isEmpty());
    }

    void missingProgram_reportsPlatformDescription()
    {
        MessageRecorder rec;
        run_command(QStringLiteral("quillon-no-such-program /x \\\\host\\a"), WINDOW_MINIMISED);
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].text,
                 QStringLiteral("ERROR: No such file or directory\r\n"
                                "Could not execute --> quillon-no-such-program /x \\\\host\\a"));
        QCOMPARE(rec.shown[0].icon, MsgIcon::None);
        QCOMPARE(rec.shown[0].buttons, MsgButtons::Ok);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Quillon"));
    }

    void emptyCommand_reportsAndReturns()
    {
        MessageRecorder rec;
        run_command(QString(), WINDOW_NORMAL);
        QCOMPARE(rec.shown.size(), 1);
        QVERIFY(rec.shown[0].text.startsWith(QStringLiteral("ERROR: ")));
        QVERIFY(rec.shown[0].text.endsWith(QStringLiteral("Could not execute --> ")));
    }

    void failingSshCommand_neverShowsPassword()
    {
        MessageRecorder rec;
        run_command(
            QStringLiteral("\\\\nohost\\ssh\\plink-x86.exe -ssh -pw s3cr3t!x jdoe@vobhost kestrel -tag t"),
            WINDOW_MINIMISED);
        QCOMPARE(rec.shown.size(), 1);
        QVERIFY(!rec.shown[0].text.contains(QStringLiteral("s3cr3t")));
        QVERIFY(rec.shown[0].text.endsWith(QStringLiteral(
            "Could not execute --> \\\\nohost\\ssh\\plink-x86.exe -ssh -pw ******** jdoe@vobhost "
            "kestrel -tag t")));
    }

    void maskPassword_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("shown");
        QTest::newRow("middle") << "plink -pw abc u@h ls"
                                << "plink -pw ******** u@h ls";
        QTest::newRow("at end") << "plink -pw abc"
                                << "plink -pw ********";
        QTest::newRow("twice") << "a -pw x b -pw y"
                               << "a -pw ******** b -pw ********";
        QTest::newRow("no password") << "cleartool lsview -pwd"
                                     << "cleartool lsview -pwd";
        QTest::newRow("blanks kept") << "p  -pw q  r"
                                     << "p  -pw ********  r";
    }
    void maskPassword()
    {
        QFETCH(QString, command);
        QFETCH(QString, shown);
        QCOMPARE(mask_password(command), shown);
    }

    void nestedCall_innerFinishesFirst()
    {
        // The outer child waits for a file that only the inner command
        // writes; the inner one goes on a little after writing it, so the
        // outer child usually ends while the inner wait still runs.
        QTemporaryDir dir;
        const QString stop = dir.filePath(QStringLiteral("stop"));
        QStringList order;
        QTimer::singleShot(0, [&] {
            run_command(QStringLiteral("sh -c \"touch ") + stop + QStringLiteral("; sleep 0.3\""),
                        WINDOW_NORMAL);
            order << QStringLiteral("inner");
        });
        run_command(QStringLiteral("sh -c \"while [ ! -e ") + stop +
                        QStringLiteral(" ]; do sleep 0.05; done\""),
                    WINDOW_NORMAL);
        order << QStringLiteral("outer");
        QCOMPARE(order, QStringList({QStringLiteral("inner"), QStringLiteral("outer")}));
    }

    void grandchildOutlivingChild_doesNotProlongWait()
    {
        // The grandchild keeps the forwarded output open and only ends after
        // the test has created "go", which it can do only once run_command
        // has returned.
        QTemporaryDir dir;
        const QString go = dir.filePath(QStringLiteral("go"));
        const QString ended = dir.filePath(QStringLiteral("ended"));
        run_command(QStringLiteral("sh -c \"(while [ ! -e ") + go +
                        QStringLiteral(" ]; do sleep 0.05; done; touch ") + ended +
                        QStringLiteral(") & exit 0\""),
                    WINDOW_NORMAL);
        QVERIFY(!QFile::exists(ended));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
    }

    void childReadingInput_getsEndOfInputAtOnce()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out"));
        run_command(QStringLiteral("sh -c \"read x; echo got$x > ") + out + QStringLiteral("; cat >> ") +
                        out + QStringLiteral("\""),
                    WINDOW_NORMAL);
        QCOMPARE(read(out), QStringLiteral("got\n"));
    }

    void uncArgument_isMappedToLocalPath()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("host/share")));
        qputenv("QUILLON_UNC_ROOT", root.path().toLocal8Bit());
        run_command(QStringLiteral("touch \\\\host\\share\\made"), WINDOW_NORMAL);
        qunsetenv("QUILLON_UNC_ROOT");
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("host/share/made"))));
    }

    void startProgram_missingProgramThrows()
    {
        try {
            start_program(QStringLiteral("quillon-no-such-explorer"), WINDOW_NORMAL);
            QFAIL("no error raised");
        } catch (const QuillonError &e) {
            QCOMPARE(e.description(), QStringLiteral("No such file or directory"));
        }
    }

    void startProgram_doesNotWait()
    {
        QTemporaryDir dir;
        const QString go = dir.filePath(QStringLiteral("go"));
        const QString ended = dir.filePath(QStringLiteral("ended"));
        start_program(QStringLiteral("sh -c \"while [ ! -e ") + go +
                          QStringLiteral(" ]; do sleep 0.05; done; touch ") + ended + QStringLiteral("\""),
                      WINDOW_NORMAL);
        QVERIFY(!QFile::exists(ended));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), 10000);
    }
};

QTEST_MAIN(TestRunCommand)
#include "tst_run_command.moc"
