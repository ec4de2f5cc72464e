// The command lines of a view creation and the check that keeps the remote one shell-safe.

#include "outside/kestrel.h"

#include <QtTest>

namespace {
kestrel::Request sample()
{
    kestrel::Request r;
    r.host = QStringLiteral("vobhost");
    r.kestrel_home = QStringLiteral("\\ccstorage\\utils/kestrel");
    r.kestrel = QStringLiteral("kestrel");
    r.kestrel_config = QStringLiteral("\\ccstorage\\utils\\kestrel\\config");
    r.ssh_cmd_path = QStringLiteral("\\\\vobhost\\tools\\ssh\\plink");
    r.use_ssh = QStringLiteral("false");
    r.view_storage = QStringLiteral("\\\\vobhost\\ccstg\\views");
    r.vob_server = QStringLiteral("unixbox");
    r.project = QStringLiteral("r6000");
    r.unix_user = r.tag_user = QStringLiteral("JDoe");
    r.template_file = QStringLiteral("dev");
    r.template_tag = QStringLiteral("jdoe__dev");
    r.password = QStringLiteral("s3cret");
    return r;
}
} // namespace

class TestKestrelCommands : public QObject {
    Q_OBJECT

private slots:
    void commandLines()
    {
        // The local tag keeps the user's case; an absent option leaves two blanks.
        const QString local =
            QStringLiteral("\\\\vobhost\\ccstorage\\utils\\kestrel\\kestrel -tag JDoe__dev %1 "
                           "-cfg \\\\vobhost\\ccstorage\\utils\\kestrel\\config\\r6000");
        const QString remote = QStringLiteral("\\\\vobhost\\tools\\ssh\\plink %1 -pw s3cret jdoe@unixbox "
                                              "/ccstorage/utils/kestrel/kestrel -user jdoe -tag jdoe__dev %2 "
                                              "-cfg /ccstorage/utils/kestrel/config/r6000");
        const QString cleanup =
            QStringLiteral("\\\\vobhost\\tools\\ssh\\plink -ssh -pw s3cret jdoe@unixbox rm -f "
                           "/ccstorage/utils/kestrel/_work/jdoe.out");
        kestrel::Request r = sample();
        QCOMPARE(kestrel::local_command(r), local.arg(QString()));
        QCOMPARE(kestrel::remote_command(r), remote.arg(QString(), QString()));
        QCOMPARE(kestrel::cleanup_command(r), cleanup);
        r.read_only = true;
        r.use_ssh = QStringLiteral("true");
        QCOMPARE(kestrel::local_command(r), local.arg(QStringLiteral("-cs_noedit")));
        QCOMPARE(kestrel::remote_command(r),
                 remote.arg(QStringLiteral(" -ssh"), QStringLiteral("-cs_noedit")));
        r.use_ssh = QStringLiteral("True");
        QCOMPARE(kestrel::remote_command(r), remote.arg(QString(), QStringLiteral("-cs_noedit")));
        QCOMPARE(kestrel::cleanup_command(r), cleanup);
        QCOMPARE(kestrel::mktag_command(r, QStringLiteral("jdoe__dev")),
                 QStringLiteral(
                     "cleartool mktag -view -tag jdoe__dev -host vobhost -gpath "
                     "\\\\vobhost\\ccstg\\views\\jdoe__dev.vws \\\\vobhost\\ccstg\\views\\jdoe__dev.vws"));
    }

    void safety()
    {
        using R = kestrel::Request;
        R good = sample();
        good.template_file = QStringLiteral("Rel-2.7_fix+a,b=c@d:e%f");
        good.password = QStringLiteral("a;b c$d");    // an argument of the SSH client, not the shell's
        good.kestrel_home = QStringLiteral("\\a\\b"); // becomes a slash remotely
        QVERIFY(!kestrel::find_unsafe_piece(good));

        const struct {
            QString R::*field;
            const char *what;
        } pieces[] = {{&R::unix_user, "remote user name"},
                      {&R::template_tag, "view tag"},
                      {&R::kestrel_home, "Kestrel home (KESTREL_HOME)"}};
        for (const auto &p : pieces) {
            for (const QChar c : QStringLiteral("$` \u00e9")) {
                R r = sample();
                r.*p.field += c;
                const auto unsafe = kestrel::find_unsafe_piece(r);
                QVERIFY2(unsafe, p.what);
                QCOMPARE(unsafe->what, QLatin1String(p.what));
                QCOMPARE(unsafe->character, c);
            }
        }
        R r = sample();
        r.template_file = QStringLiteral("x;rm -rf ~");
        QCOMPARE(
            kestrel::unsafe_message(kestrel::find_unsafe_piece(r).value()),
            QStringLiteral("The template file name \"x;rm -rf ~\" contains the character \";\", which the "
                           "Unix host's shell would interpret. Nothing was run."));
    }
};

QTEST_GUILESS_MAIN(TestKestrelCommands)
#include "tst_kestrel_commands.moc"
