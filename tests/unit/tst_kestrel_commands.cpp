// The commands of a view creation, the check that keeps the remote one shell-safe, Kestrel's result, and
// the password channel with a client that reads it as plink does (fopen of the -pwfile path), on every
// platform: an inherited pipe on Unix, a named pipe only this user may open on Windows.

#include "base/platform.h"
#include "base/process.h"
#include "kestrel/kestrel.h"
#include "support/shell_model.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
kestrel::Request sample()
{
    kestrel::Request r;
    r.host = u"vobhost"_s;
    r.kestrelHome = u"\\ccstorage\\utils/kestrel"_s;
    r.kestrel = u"kestrel"_s;
    r.kestrelConfig = u"\\ccstorage\\utils\\kestrel\\config"_s;
    r.sshCmdPath = u"\\\\vobhost\\tools\\ssh\\plink"_s;
    r.useSsh = u"false"_s;
    r.viewStorage = u"\\\\vobhost\\ccstg\\views"_s;
    r.vobServer = u"unixbox"_s;
    r.project = u"r6000"_s;
    r.unixUser = r.tagUser = u"JDoe"_s;
    r.templateFile = u"dev"_s;
    r.templateTag = u"jdoe__dev"_s;
    r.password = u"s3cret"_s;
    return r;
}
} // namespace

class TestKestrelCommands : public QObject {
    Q_OBJECT

private slots:
    // The lines as the site writes them (doubled blanks included); each value one argument.
    void commandLines()
    {
        const QString local = u"\\\\vobhost\\ccstorage\\utils\\kestrel\\kestrel -tag JDoe__dev %1 "
                              "-cfg \\\\vobhost\\ccstorage\\utils\\kestrel\\config\\r6000"_s;
        const QString remote = u"\\\\vobhost\\tools\\ssh\\plink %1 %2 ******** jdoe@unixbox "
                               "/ccstorage/utils/kestrel/kestrel -user jdoe -tag jdoe__dev %3 "
                               "-cfg /ccstorage/utils/kestrel/config/r6000"_s;
        const QString cleanup = u"\\\\vobhost\\tools\\ssh\\plink -ssh %1 ******** jdoe@unixbox rm -f "
                                "/ccstorage/utils/kestrel/_work/jdoe.out"_s;
        using kestrel::PasswordPassing;
        kestrel::Request r = sample();
        QCOMPARE(kestrel::localCommand(r).shown(), local.arg(QString()));
        QCOMPARE(kestrel::remoteCommand(r, PasswordPassing::CommandLine).shown(),
                 remote.arg(QString(), u"-pw"_s, QString()));
        QCOMPARE(kestrel::cleanupCommand(r, PasswordPassing::CommandLine).shown(), cleanup.arg(u"-pw"_s));
        r.readOnly = true;
        r.useSsh = u"true"_s;
        QCOMPARE(kestrel::localCommand(r).shown(), local.arg(u"-cs_noedit"_s));
        QCOMPARE(kestrel::remoteCommand(r, PasswordPassing::PrivateChannel).shown(),
                 remote.arg(u" -ssh"_s, u"-pwfile"_s, u"-cs_noedit"_s));
        r.useSsh = u"True"_s;
        QCOMPARE(kestrel::remoteCommand(r, PasswordPassing::CommandLine).shown(),
                 remote.arg(QString(), u"-pw"_s, u"-cs_noedit"_s));
        QCOMPARE(kestrel::cleanupCommand(r, PasswordPassing::PrivateChannel).shown(),
                 cleanup.arg(u"-pwfile"_s));
        const QString storage = u"\\\\vobhost\\ccstg\\views\\jdoe__dev.vws"_s;
        QCOMPARE(kestrel::mktagCommand(r, u"jdoe__dev"_s).words(),
                 (QStringList{u"mktag"_s, u"-view"_s, u"-tag"_s, u"jdoe__dev"_s, u"-host"_s, u"vobhost"_s,
                              u"-gpath"_s, storage, storage}));

        // A password with blanks and quotes is one word, and only its word is secret.
        r.password = u" Top \"Secret@pw"_s;
        const CommandLine c = kestrel::remoteCommand(r, PasswordPassing::CommandLine);
        const qsizetype at = c.words().indexOf(r.password);
        QVERIFY(at > 0);
        QCOMPARE(c.word(at - 1), u"-pw"_s);
        QCOMPARE(c.kind(at), CommandLine::Kind::Secret);
        QCOMPARE(c.word(at + 1), u"jdoe@unixbox"_s);
        // The template directory is a path on this workstation; the storage path of mktag is not.
        const CommandLine l = kestrel::localCommand(r);
        QCOMPARE(l.kind(l.size() - 1), CommandLine::Kind::LocalPath);
        const CommandLine t = kestrel::mktagCommand(r, u"x"_s);
        for (qsizetype i = 0; i < t.size(); ++i)
            QCOMPARE(t.kind(i), CommandLine::Kind::Plain);
    }

    // Harmless characters pass and stay the words meant; each field refuses what its shell would read.
    // (That whatever the fields hold the run is refused or the remote shell receives exactly the
    // intended words is the remote-command fuzz target's.)
    void safety()
    {
        using R = kestrel::Request;
        R good = sample();
        good.templateFile = u"Rel-2.7_fix+a,b=c@d:e%f"_s;
        good.project = good.templateTag = u"jdoe__Rel-2.7_fix"_s;
        good.password = u"a;b c$d"_s;   // an argument of the SSH client, not the shell's
        good.kestrelHome = u"\\a\\b"_s; // becomes a slash remotely
        QVERIFY(!kestrel::findUnsafePiece(good));
        for (const QStringList &words : {kestrel::remoteWords(good), kestrel::cleanupWords(good)})
            QCOMPARE(shell_words(words.join(u' ')), std::optional<QStringList>(words));

        const struct {
            QString R::*field;
            const char *what;
        } pieces[] = {{&R::unixUser, "remote user name"},
                      {&R::vobServer, "VOB server (the host the SSH client logs in to)"},
                      {&R::templateTag, "view tag"},
                      {&R::kestrelHome, "Kestrel home (KESTREL_HOME)"}};
        for (const auto &p : pieces) {
            for (const QChar c : u"$` \u00e9"_s) {
                R r = sample();
                r.*p.field += c;
                const auto unsafe = kestrel::findUnsafePiece(r);
                QVERIFY2(unsafe, p.what);
                QCOMPARE(unsafe->what, QLatin1String(p.what));
                QCOMPARE(unsafe->character, c);
            }
        }
        R r = sample();
        r.templateFile = u"x;rm -rf ~"_s;
        QCOMPARE(kestrel::unsafeMessage(kestrel::findUnsafePiece(r).value()),
                 u"The template file name \"x;rm -rf ~\" contains the character \";\", which the "
                 "Unix host's shell would interpret. Nothing was run."_s);
        // "=" starts no word but the first; a login must not read as an option.
        r = sample();
        r.kestrel = u"A=b"_s;
        QCOMPARE(kestrel::findUnsafePiece(r).value().character, u'=');
        r = sample();
        r.unixUser = u"-proxycmd"_s;
        QCOMPARE(kestrel::findUnsafePiece(r).value().what, u"login"_s);
        // An empty word would vanish and shift the words after it.
        r = sample();
        r.unixUser.clear();
        QCOMPARE(kestrel::unsafeMessage(kestrel::findUnsafePiece(r).value()),
                 u"The remote user name is empty. Nothing was run."_s);
    }

    void resultLine_isOneTag()
    {
        for (const QString &tag : {u"jdoe__dev"_s, u"JDOE__REL-2.7_fix"_s, u"a+b,c@d:e%f"_s})
            QVERIFY2(kestrel::isViewTag(tag), qPrintable(tag));
        for (const QString &not_tag : {QString(), u"FAILED x"_s, u"tag -replace -gpath /elsewhere"_s,
                                       u"a/b"_s, u"a=b"_s, u"tag\t"_s, u"\"t\""_s})
            QVERIFY2(!kestrel::isViewTag(not_tag), qPrintable(not_tag));
    }

    // The client reads the password once; a second reader gets nothing; neither the command line
    // nor the channel's name holds it.
    void clientReadsOnce_notOnCommandLine()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        RunOptions options;
        options.secret = "pa ss\"word";
        CommandLine c(QStringLiteral(QUILLON_SSH_STANDIN));
        c.arg(u"-out"_s)
            .arg(out)
            .arg(u"-pwfile"_s)
            .arg(QString(), CommandLine::Kind::SecretFile)
            .arg(u"host"_s);
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

QTEST_GUILESS_MAIN(TestKestrelCommands)
#include "tst_kestrel_commands.moc"
