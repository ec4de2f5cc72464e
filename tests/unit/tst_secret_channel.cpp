// The password channel with a client that reads it as plink does (fopen of the -pwfile path), on every
// platform: an inherited pipe on Unix, a named pipe only this user may open on Windows.
#include "base/command_line.h"
#include "base/platform.h"
#include "base/process.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;

class TestSecretChannel : public QObject {
    Q_OBJECT

private slots:
    // The client reads the password once; a second reader gets nothing; neither the command line
    // nor the channel's name holds it.
    void clientReadsOnce_notOnCommandLine()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        RunOptions options;
        options.secret = "pa ss\"word";
        CommandLine c(QStringLiteral(QUILLON_SSH_STANDIN));
        c.arg(u"-out"_s).arg(out).arg(u"-pwfile"_s).arg(QString(), CommandLine::Kind::SecretFile).arg(u"host"_s);
        QVERIFY(!c.shown().contains(u"pa ss"_s));
        const RunResult r = runProgram(c, options);
        QVERIFY(r.started && r.exitCode == 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QVERIFY(lines.size() >= 8);
        QCOMPARE(lines[0], QByteArray("pa ss\"word"));
        QCOMPARE(lines[1], QByteArray()); // one reader only
        const QByteArray path = lines[6]; // after the program, -out, its file and -pwfile
        QVERIFY(!path.contains("pa ss"));
        QVERIFY2(path.startsWith("/dev/fd/") || path.startsWith("\\\\.\\pipe\\quillon-"), path.constData());
        QCOMPARE(lines[7], QByteArray("host"));
    }

    // A channel nobody read goes with its end: its name no longer opens.
    void unreadChannel_goneAtItsEnd()
    {
        std::optional<platform::SecretChannel> channel;
        channel.emplace("secret");
        QVERIFY(channel->isValid());
        const QString path = channel->path();
        channel.reset();
        QFile f(path);
        QVERIFY(!f.open(QIODevice::ReadOnly) || f.readAll().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSecretChannel)

#include "tst_secret_channel.moc"
