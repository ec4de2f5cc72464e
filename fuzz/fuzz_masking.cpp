// Password masking: the lines shown of the SSH client's commands do not
// depend on the password and hold no 4-character piece of it that they
// would not hold anyway; the client's error words never show it.

#include "fuzz.h"

#include "base/command_line.h"
#include "base/command_log.h"
#include "kestrel/kestrel.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz_bytes(data, size);
    const qsizetype split = bytes.indexOf('\0');
    kestrel::Request r;
    r.host = QStringLiteral("vobhost");
    r.kestrelHome = QStringLiteral("\\kestrel");
    r.kestrel = QStringLiteral("kestrel");
    r.kestrelConfig = QStringLiteral("\\kestrel\\config");
    r.sshCmdPath = QStringLiteral("\\\\vobhost\\tools\\plink");
    r.vobServer = QStringLiteral("unixbox");
    r.project = QStringLiteral("r6000");
    r.unixUser = r.tagUser = QStringLiteral("jdoe");
    r.templateFile = QStringLiteral("dev");
    r.templateTag = QStringLiteral("jdoe__dev");
    r.password = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QByteArray errors = split < 0 ? QByteArray() : bytes.mid(split + 1);
    if (r.password.isEmpty())
        return 0;
    kestrel::Request other = r;
    other.password = QStringLiteral("x");
    using kestrel::PasswordPassing;
    for (const auto how : {PasswordPassing::CommandLine, PasswordPassing::PrivateChannel}) {
        for (const auto build : {&kestrel::remoteCommand, &kestrel::cleanupCommand}) {
            const QString shown = build(r, how).shown();
            const QString without = build(other, how).shown();
            FUZZ_CHECK(shown == without);
            for (qsizetype i = 0; i + 4 <= r.password.size(); ++i) {
                const QString piece = r.password.mid(i, 4);
                FUZZ_CHECK(!shown.contains(piece) || without.contains(piece));
            }
        }
    }
    // A password of stars or line ends can always be found again in the
    // mask's own stars or between the lines shown; any other never shows.
    static const QRegularExpression mask_like(QStringLiteral("[*\r\n]"));
    if (!r.password.contains(mask_like)) {
        const QString said = kestrel::clientReport(errors + r.password.toLocal8Bit() + '\n', r.password);
        FUZZ_CHECK(!said.contains(r.password));

        // What a program wrote, with the password among it, as each place keeps or shows it: the text
        // kept with the run's result, the Command Log's first error and the debug log's line (both
        // from the record), and the message made from the kept text.
        const QByteArray written =
            errors + r.password.toLocal8Bit() + ' ' + errors + r.password.toLocal8Bit();
        const QString kept = maskSecrets(QString::fromLocal8Bit(written), {r.password, QStringLiteral("x")});
        FUZZ_CHECK(!kept.contains(r.password));
        CommandRecord record;
        record.ran = true;
        record.exitCode = 1;
        record.command = kestrel::remoteCommand(r, PasswordPassing::CommandLine).shown();
        record.firstError = commandlog::firstLine(kept);
        FUZZ_CHECK(!record.firstError.contains(r.password));
        // The debug log's line is the shown command (which does not depend on the password, above) and
        // the outcome, whose only text from the program is the masked first error.
        FUZZ_CHECK(record.outcome().endsWith(record.firstError));
        CommandRecord bare = record;
        bare.firstError.clear();
        FUZZ_CHECK(record.outcome().startsWith(bare.outcome()));
        FUZZ_CHECK(!kestrel::clientReport(kept.toLocal8Bit(), r.password).contains(r.password));
    }
    return 0;
}
