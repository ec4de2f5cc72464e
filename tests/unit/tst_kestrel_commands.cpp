// The command lines of a view creation and the check that keeps the remote
// command line free of characters the Unix host's shell would interpret.

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
    r.unix_user = QStringLiteral("JDoe");
    r.tag_user = QStringLiteral("JDoe");
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
        // Slashes become backslashes locally and the reverse remotely; the local
        // tag keeps the user's letter case; an absent option leaves two blanks.
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
        QCOMPARE(kestrel::cleanup_command(r), cleanup);
        // Only the exact word "true" adds -ssh; the clean-up names it always.
        for (const char *word : {"True", "TRUE", "true "}) {
            r.use_ssh = QString::fromLatin1(word);
            QCOMPARE(kestrel::remote_command(r), remote.arg(QString(), QStringLiteral("-cs_noedit")));
            QCOMPARE(kestrel::cleanup_command(r), cleanup);
        }

        QCOMPARE(kestrel::mktag_command(r, QStringLiteral("jdoe__dev")),
                 QStringLiteral(
                     "cleartool mktag -view -tag jdoe__dev -host vobhost -gpath "
                     "\\\\vobhost\\ccstg\\views\\jdoe__dev.vws \\\\vobhost\\ccstg\\views\\jdoe__dev.vws"));
        QCOMPARE(kestrel::output_file_unc(r),
                 QStringLiteral("\\\\vobhost\\ccstorage\\utils/kestrel\\_work\\jdoe.out"));
    }

    void safety()
    {
        using R = kestrel::Request;
        R good = sample();
        QVERIFY(!kestrel::find_unsafe_piece(good));
        good.template_file = QStringLiteral("Rel-2.7_fix+a,b=c@d:e%f");
        // The password and the login host are the SSH client's arguments, not the shell's.
        good.password = QStringLiteral("a;b c$d");
        good.vob_server = QStringLiteral("host name");
        QVERIFY(!kestrel::find_unsafe_piece(good));

        const struct {
            QString R::*field;
            const char *what;
        } pieces[] = {
            {&R::unix_user, "remote user name"},
            {&R::project, "project name"},
            {&R::template_file, "template file name"},
            {&R::template_tag, "view tag"},
            {&R::kestrel_home, "Kestrel home (KESTREL_HOME)"},
            {&R::kestrel, "Kestrel program (KESTREL)"},
            {&R::kestrel_config, "Kestrel configuration directory (KESTREL_CONFIG)"},
        };
        for (const auto &p : pieces) {
            for (const QChar c : QStringLiteral(";$`' \n\\\u00e9")) {
                R r = sample();
                const QString bad = QStringLiteral("x") + c + QStringLiteral("y");
                r.*p.field += bad;
                const auto unsafe = kestrel::find_unsafe_piece(r);
                const QByteArray where = p.what + QByteArray(" U+") + QByteArray::number(c.unicode(), 16);
                // A backslash in the configured Kestrel paths becomes a slash remotely.
                if (c == QLatin1Char('\\') && QByteArray(p.what).startsWith("Kestrel")) {
                    QVERIFY2(!unsafe, where);
                    continue;
                }
                QVERIFY2(unsafe, where);
                QCOMPARE(unsafe->what, QLatin1String(p.what));
                QCOMPARE(unsafe->character, c);
                QVERIFY2(unsafe->value.contains(bad), where);
            }
        }

        R r = sample();
        r.template_file = QStringLiteral("x;rm -rf ~");
        auto unsafe = kestrel::find_unsafe_piece(r);
        QVERIFY(unsafe);
        QCOMPARE(
            kestrel::unsafe_message(*unsafe),
            QStringLiteral("The template file name \"x;rm -rf ~\" contains the character \";\", which the "
                           "Unix host's shell would interpret. Nothing was run."));
        unsafe->character = QLatin1Char('\t');
        QVERIFY(kestrel::unsafe_message(*unsafe).contains(QLatin1String("the character U+0009,")));
    }
};

QTEST_GUILESS_MAIN(TestKestrelCommands)
#include "tst_kestrel_commands.moc"
