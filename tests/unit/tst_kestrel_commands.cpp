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
    void local_commandWithAndWithoutReadOnly()
    {
        kestrel::Request r = sample();
        // Slashes become backslashes; the tag keeps the user's letter case;
        // without the option two blanks stand before -cfg.
        QCOMPARE(kestrel::local_command(r),
                 QStringLiteral("\\\\vobhost\\ccstorage\\utils\\kestrel\\kestrel -tag JDoe__dev  -cfg "
                                "\\\\vobhost\\ccstorage\\utils\\kestrel\\config\\r6000"));
        r.read_only = true;
        QCOMPARE(
            kestrel::local_command(r),
            QStringLiteral("\\\\vobhost\\ccstorage\\utils\\kestrel\\kestrel -tag JDoe__dev -cs_noedit -cfg "
                           "\\\\vobhost\\ccstorage\\utils\\kestrel\\config\\r6000"));
    }

    void remote_commandSshOptionAndReadOnly()
    {
        kestrel::Request r = sample();
        QCOMPARE(kestrel::remote_command(r),
                 QStringLiteral("\\\\vobhost\\tools\\ssh\\plink  -pw s3cret jdoe@unixbox "
                                "/ccstorage/utils/kestrel/kestrel -user jdoe -tag jdoe__dev  -cfg "
                                "/ccstorage/utils/kestrel/config/r6000"));
        r.use_ssh = QStringLiteral("true");
        r.read_only = true;
        QCOMPARE(kestrel::remote_command(r),
                 QStringLiteral("\\\\vobhost\\tools\\ssh\\plink  -ssh -pw s3cret jdoe@unixbox "
                                "/ccstorage/utils/kestrel/kestrel -user jdoe -tag jdoe__dev -cs_noedit -cfg "
                                "/ccstorage/utils/kestrel/config/r6000"));
        // Only the exact word counts.
        for (const char *word : {"True", "TRUE", "true ", "yes", ""}) {
            r.use_ssh = QString::fromLatin1(word);
            QVERIFY2(!kestrel::remote_command(r).contains(QLatin1String("-ssh")), word);
            QCOMPARE(kestrel::ssh_option(r.use_ssh), QString());
        }
    }

    void followUpCommands()
    {
        kestrel::Request r = sample();
        r.use_ssh = QStringLiteral("True");
        // The clean-up always names -ssh, whatever USE_SSH says.
        const QString cleanup =
            QStringLiteral("\\\\vobhost\\tools\\ssh\\plink -ssh -pw s3cret jdoe@unixbox rm -f "
                           "/ccstorage/utils/kestrel/_work/jdoe.out");
        QCOMPARE(kestrel::cleanup_command(r), cleanup);
        r.use_ssh = QStringLiteral("true");
        QCOMPARE(kestrel::cleanup_command(r), cleanup);

        QCOMPARE(kestrel::mktag_command(r, QStringLiteral("jdoe__dev")),
                 QStringLiteral(
                     "cleartool mktag -view -tag jdoe__dev -host vobhost -gpath "
                     "\\\\vobhost\\ccstg\\views\\jdoe__dev.vws \\\\vobhost\\ccstg\\views\\jdoe__dev.vws"));
        // An empty created tag still gives a command.
        QCOMPARE(kestrel::mktag_command(r, QString()),
                 QStringLiteral("cleartool mktag -view -tag  -host vobhost -gpath "
                                "\\\\vobhost\\ccstg\\views\\.vws \\\\vobhost\\ccstg\\views\\.vws"));

        QCOMPARE(kestrel::output_file(r), QStringLiteral("\\ccstorage\\utils/kestrel\\_work\\jdoe.out"));
        QCOMPARE(kestrel::output_file_unc(r),
                 QStringLiteral("\\\\vobhost\\ccstorage\\utils/kestrel\\_work\\jdoe.out"));
    }

    void safety_goodNamesPass()
    {
        kestrel::Request r = sample();
        QVERIFY(!kestrel::find_unsafe_piece(r));
        r.template_file = QStringLiteral("Rel-2.7_fix+a,b=c@d:e%f");
        r.project = QStringLiteral("ucm_portal");
        QVERIFY(!kestrel::find_unsafe_piece(r));
        // The password and the login host are arguments of the SSH client,
        // not of the remote shell.
        r.password = QStringLiteral("a;b c$d");
        r.vob_server = QStringLiteral("host name");
        QVERIFY(!kestrel::find_unsafe_piece(r));
    }

    void safety_eachPieceEachCharacter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("what");
        const char *fields[][2] = {
            {"unix_user", "remote user name"},
            {"project", "project name"},
            {"template_file", "template file name"},
            {"template_tag", "view tag"},
            {"kestrel_home", "Kestrel home (KESTREL_HOME)"},
            {"kestrel", "Kestrel program (KESTREL)"},
            {"kestrel_config", "Kestrel configuration directory (KESTREL_CONFIG)"},
        };
        for (const auto &f : fields)
            QTest::newRow(f[0]) << QString::fromLatin1(f[0]) << QString::fromLatin1(f[1]);
    }

    void safety_eachPieceEachCharacter()
    {
        QFETCH(QString, field);
        QFETCH(QString, what);
        const QString bad = QStringLiteral(";|&$`'\"<>()[]{}*?!~# \t\n\\^") + QChar(0xe9);
        for (const QChar c : bad) {
            kestrel::Request r = sample();
            QString *target = field == QLatin1String("unix_user")       ? &r.unix_user
                              : field == QLatin1String("project")       ? &r.project
                              : field == QLatin1String("template_file") ? &r.template_file
                              : field == QLatin1String("template_tag")  ? &r.template_tag
                              : field == QLatin1String("kestrel_home")  ? &r.kestrel_home
                              : field == QLatin1String("kestrel")       ? &r.kestrel
                                                                        : &r.kestrel_config;
            target->append(QStringLiteral("x") + c + QStringLiteral("y"));
            const auto unsafe = kestrel::find_unsafe_piece(r);
            // A backslash in the configured paths becomes a slash remotely.
            const bool becomes_slash = c == QLatin1Char('\\') && (field.startsWith(QLatin1String("kestrel")));
            if (becomes_slash) {
                QVERIFY(!unsafe);
                continue;
            }
            QVERIFY2(unsafe.has_value(),
                     qPrintable(field + QStringLiteral(" U+") + QString::number(c.unicode(), 16)));
            QCOMPARE(unsafe->what, what);
            QCOMPARE(unsafe->character, c);
            QVERIFY(unsafe->value.contains(QStringLiteral("x") + c + QStringLiteral("y")));
        }
    }

    void safety_outputFileAndMessage()
    {
        kestrel::Request r = sample();
        // A blank in the user name would split the remote command line.
        r.unix_user = QStringLiteral("j doe");
        auto unsafe = kestrel::find_unsafe_piece(r);
        QVERIFY(unsafe);
        QCOMPARE(unsafe->what, QStringLiteral("remote user name"));

        r = sample();
        r.template_file = QStringLiteral("x;rm -rf ~");
        unsafe = kestrel::find_unsafe_piece(r);
        QVERIFY(unsafe);
        QCOMPARE(kestrel::unsafe_message(*unsafe),
                 QStringLiteral(
                     "The template file name \"x;rm -rf ~\" contains the character \";\", which the Unix "
                     "host's shell would interpret. Nothing was run."));
        unsafe->character = QLatin1Char('\t');
        QVERIFY(kestrel::unsafe_message(*unsafe).contains(QLatin1String("the character U+0009,")));
    }
};

QTEST_GUILESS_MAIN(TestKestrelCommands)
#include "tst_kestrel_commands.moc"
