// Remote creation through a stand-in SSH client that records what it was given: the password never
// stands on its command line or in its environment when the client offers -pwfile, and falls back to
// -pw (as one argument) when it does not. The stand-in runs the remote words with sh, as a login would.

#include "base/command_log.h"
#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
QString backslashed(QString s)
{
    return s.replace(u'/', u'\\');
}
} // namespace

class TestRemotePassword : public WindowTest {
    Q_OBJECT

    QString unix_side; // the "Unix host": Kestrel and its templates, reached by the same path from here

    // The window opened on a site whose SSH client is bin/<client>, the password typed, dev chosen.
    void openWith(const QString &client, const QString &password)
    {
        const QString home = backslashed(unix_side);
        site->writeConfig("qn.cfg",
                          TestSite::configLines(
                              true, {"KESTREL_HOME=" + home, "KESTREL_CONFIG=" + home + "\\config",
                                     "SSH_HOME=" + backslashed(site->root() + "/bin"), "SSH_CMD=" + client}));
        site->open();
        site->pick("r6000");
        gui().type("pwdTxt", password);
        gui().select("viewsList", "jdoe__dev");
    }

private slots:
    void init()
    {
        SKIP_UNLESS_SHELL_SCRIPTS_RUN();
        site.reset();
        site = std::make_unique<TestSite>("jdoe");
        unix_side = site->addUnixKestrel();
        for (const char *client : {"offers", "plain"})
            writeSshStandIn(site->root() + "/bin/" + client, client[0] == 'o', site->root() + "/" + client);
    }

    void password_offCommandLine_orFallback_data()
    {
        QTest::addColumn<QString>("client");
        QTest::newRow("client offers -pwfile") << u"offers"_s;
        QTest::newRow("client without -pwfile") << u"plain"_s;
    }

    void password_offCommandLine_orFallback()
    {
        QFETCH(QString, client);
        const QString password = u"S3cret Pa55 \"q\" @x"_s;
        openWith(client, password);

        // While the client runs, what any local user can read of it.
        QByteArray cmdline, environ;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            const QByteArray pid = readFile(site->root() + "/" + client + ".pid").trimmed();
            if (pid.isEmpty() || !cmdline.isEmpty())
                return;
            cmdline = readFile(QString::fromLatin1("/proc/" + pid + "/cmdline"));
            environ = readFile(QString::fromLatin1("/proc/" + pid + "/environ"));
        });
        poll.start();
        gui().click("createViewBut");
        poll.stop();

        QCOMPARE(msgs.shown, (QList<Msg>{{"Success: the view --> jdoe__dev\r\nhas been created.",
                                          MsgIcon::Information, MsgButtons::Ok, "Finished..."}}));
        QCOMPARE(readFile(site->root() + "/" + client + ".password"), password.toLocal8Bit());
        QVERIFY(!cmdline.isEmpty());
        QVERIFY(!environ.contains(password.toLocal8Bit()) && !environ.contains("S3cret"));
        const QList<QByteArray> argv = cmdline.split('\0');
        if (client == "offers") {
            QVERIFY2(!cmdline.contains("S3cret"), cmdline.constData());
            QVERIFY(argv.contains("-pwfile"));
        } else {
            // The fallback: the password is one argument right after -pw.
            QCOMPARE(argv.at(argv.indexOf("-pw") + 1), password.toLocal8Bit());
        }
        QVERIFY(site->tagExists("jdoe__dev"));
        QVERIFY(site->tagExists("jdoe__dev", "ccase_unix"));
    }

    // A client that writes its arguments into its errors (the password among them, with -pw): the
    // password reaches neither the Command Log, the debug log nor a message. One over 1,024
    // characters is refused before anything starts.
    void password_maskedEverywhere_hugeRefused()
    {
        writeFile(site->root() + "/bin/echoer",
                  "#!/bin/sh\n[ $# -eq 0 ] && { echo 'Usage: echoer [-pw pw] host'; "
                  "exit 0; }\necho \"echoer: called with $*\" >&2\nexit 1\n",
                  true);
        static QStringList logged;
        logged.clear();
        QLoggingCategory::setFilterRules(u"quillon.*=true"_s);
        const QtMessageHandler before = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { logged << text; });
        const QString password = u"Echo-Me-9x7"_s;
        openWith(u"echoer"_s, password);
        commandlog::clear();
        gui().click("createViewBut");
        qInstallMessageHandler(before);
        QLoggingCategory::setFilterRules(QString());

        QVERIFY(!msgs.shown.isEmpty());
        QVERIFY2(msgs.shown.last().text.contains("echoer: called with -pw ******** "),
                 qPrintable(msgs.shown.last().text));
        bool sawClient = false;
        for (const CommandRecord &r : commandlog::entries()) {
            QVERIFY2(!r.command.contains(password) && !r.firstError.contains(password),
                     qPrintable(r.firstError));
            sawClient = sawClient || r.firstError.startsWith("echoer: called with -pw ********");
        }
        QVERIFY(sawClient);
        QVERIFY(logged.join('\n').contains("echoer"));
        for (const QString &line : logged)
            QVERIFY2(!line.contains(password), qPrintable(line));
        for (const Msg &m : msgs.shown)
            QVERIFY2(!m.text.contains(password), qPrintable(m.text));

        msgs.clear();
        commandlog::clear();
        gui().type("pwdTxt", QString(1025, u'p'));
        gui().click("createViewBut");
        QCOMPARE(msgs.shown,
                 (QList<Msg>{{"The password is 1025 characters long. Quillon hands over a password of at "
                              "most 1024 characters: check what was typed or pasted.",
                              MsgIcon::Exclamation, MsgButtons::Ok, "Create View"}}));
        QVERIFY(commandlog::entries().empty());
    }
};

QTEST_MAIN(TestRemotePassword)
#include "tst_remote_password.moc"
