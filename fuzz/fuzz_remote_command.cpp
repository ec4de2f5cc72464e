// The remote command: whatever the fields hold, the run is refused, or the
// Unix host's login shell receives exactly the intended words, and the SSH
// client's login is a single word that is not an option.

#include "fuzz.h"

#include "kestrel/kestrel.h"
#include "support/shell_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = fuzz_bytes(data, size).split('\n');
    const auto field = [&fields](qsizetype i) {
        return i < fields.size() ? QString::fromUtf8(fields[i]) : QString();
    };
    kestrel::Request r;
    r.host = QStringLiteral("vobhost");
    r.sshCmdPath = QStringLiteral("plink");
    r.unixUser = r.tagUser = field(0);
    r.vobServer = field(1);
    r.project = field(2);
    r.templateFile = field(3);
    r.templateTag = r.unixUser.toLower() + QStringLiteral("__") + r.templateFile;
    r.kestrelHome = field(4);
    r.kestrel = field(5);
    r.kestrelConfig = field(6);
    r.readOnly = !field(7).isEmpty();
    r.password = field(8);
    if (kestrel::findUnsafePiece(r))
        return 0;
    for (const QStringList &words : {kestrel::remoteWords(r), kestrel::cleanupWords(r)}) {
        const auto received = shell_words(words.join(QLatin1Char(' ')));
        FUZZ_CHECK(received.has_value());
        FUZZ_CHECK(*received == words);
    }
    const QStringList words = kestrel::remoteWords(r);
    FUZZ_CHECK(words.at(words.indexOf(QStringLiteral("-tag")) + 1) == r.templateTag);
    const QString login = kestrel::loginWord(r);
    FUZZ_CHECK(!login.startsWith(QLatin1Char('-')));
    for (const QChar c : login)
        FUZZ_CHECK(!c.isSpace());
    // Each value is one argument of the SSH client, the password among them.
    const CommandLine c = kestrel::remoteCommand(r, kestrel::PasswordPassing::CommandLine);
    FUZZ_CHECK(c.words().contains(r.password) && c.words().contains(login));
    return 0;
}
