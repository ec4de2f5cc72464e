#include "kestrel/kestrel.h"

#include "base/strings.h"
#include "site/configrecord.h"

namespace kestrel {

namespace {
const QString BACKSLASH = QStringLiteral("\\");
const QString SLASH = QStringLiteral("/");
const QString UNC = QStringLiteral("\\\\");

QString toRemote(const QString &s)
{
    return replace_char(BACKSLASH, SLASH, s);
}

QString toLocal(const QString &s)
{
    return replace_char(SLASH, BACKSLASH, s);
}

// The SSH client's options up to and including the login word. The
// password stands right after its option; how it travels is the caller's.
void addLogin(CommandLine &c, const Request &r, PasswordPassing how)
{
    if (how == PasswordPassing::PrivateChannel)
        c.arg(QStringLiteral("-pwfile")).arg(QString(), CommandLine::Kind::SecretFile);
    else
        c.arg(QStringLiteral("-pw")).arg(r.password, CommandLine::Kind::Secret);
    c.arg(loginWord(r));
}

std::optional<UnsafePiece> firstUnsafe(const QString &what, const QString &value, bool firstWord = false)
{
    for (const QChar c : value) {
        if (!isSafeCharacter(c) || (firstWord && c == QLatin1Char('=')))
            return UnsafePiece{what, value, c};
    }
    return std::nullopt;
}
} // namespace

QString noEditOption(bool readOnly)
{
    return readOnly ? QStringLiteral("-cs_noedit") : QString();
}

bool usesSsh(const QString &useSsh)
{
    return isExactlyTrue(useSsh);
}

QString remoteUser(const Request &r)
{
    return r.unixUser.toLower();
}

QString loginWord(const Request &r)
{
    return remoteUser(r) + QStringLiteral("@") + r.vobServer;
}

QString localKestrelPath(const Request &r)
{
    return toLocal(UNC + r.host + r.kestrelHome + BACKSLASH + r.kestrel);
}

QString remoteKestrelPath(const Request &r)
{
    return toRemote(r.kestrelHome + BACKSLASH + r.kestrel);
}

QString localConfigDir(const Request &r)
{
    return toLocal(UNC + r.host + r.kestrelConfig + BACKSLASH + r.project);
}

QString remoteConfigDir(const Request &r)
{
    return toRemote(r.kestrelConfig + BACKSLASH + r.project);
}

QString localViewTag(const Request &r)
{
    return r.tagUser + QStringLiteral("__") + r.templateFile;
}

QString remoteViewTag(const Request &r)
{
    return r.templateTag;
}

QString outputFile(const Request &r)
{
    return r.kestrelHome + QStringLiteral("\\_work\\") + remoteUser(r) + QStringLiteral(".out");
}

QString outputFileUnc(const Request &r)
{
    return UNC + r.host + outputFile(r);
}

QString outputFileRemote(const Request &r)
{
    return toRemote(outputFile(r));
}

QStringList remoteWords(const Request &r)
{
    QStringList words{remoteKestrelPath(r), QStringLiteral("-user"), remoteUser(r), QStringLiteral("-tag"),
                      remoteViewTag(r)};
    if (r.readOnly)
        words << noEditOption(true);
    words << QStringLiteral("-cfg") << remoteConfigDir(r);
    return words;
}

QStringList cleanupWords(const Request &r)
{
    return {QStringLiteral("rm"), QStringLiteral("-f"), outputFileRemote(r)};
}

CommandLine localCommand(const Request &r)
{
    CommandLine c(localKestrelPath(r));
    c.arg(QStringLiteral("-tag")).arg(localViewTag(r)).arg(noEditOption(r.readOnly));
    c.arg(QStringLiteral("-cfg")).arg(localConfigDir(r), CommandLine::Kind::LocalPath);
    return c;
}

CommandLine remoteCommand(const Request &r, PasswordPassing how)
{
    // The written line has two blanks after the client's path: the SSH
    // option's place, empty or " -ssh".
    CommandLine c(r.sshCmdPath, {QString()});
    if (usesSsh(r.useSsh))
        c.arg(QStringLiteral("-ssh"));
    addLogin(c, r, how);
    // The written line has two blanks before "-cfg" when there is no
    // no-edit option: keep its empty place.
    const QStringList words = remoteWords(r);
    c.args(words.mid(0, 5));
    if (!r.readOnly)
        c.arg(QString());
    c.args(words.mid(5));
    return c;
}

CommandLine mktagCommand(const Request &r, const QString &createdTag)
{
    // The storage path is data for the registry, which every client reads:
    // it reaches cleartool exactly as the site wrote it.
    const QString storage = r.viewStorage + BACKSLASH + createdTag + QStringLiteral(".vws");
    return CommandLine(QStringLiteral("cleartool"),
                       {QStringLiteral("mktag"), QStringLiteral("-view"), QStringLiteral("-tag"), createdTag,
                        QStringLiteral("-host"), r.host, QStringLiteral("-gpath"), storage, storage});
}

CommandLine cleanupCommand(const Request &r, PasswordPassing how)
{
    // The clean-up always asks for the SSH protocol.
    CommandLine c(r.sshCmdPath, {QStringLiteral("-ssh")});
    addLogin(c, r, how);
    c.args(cleanupWords(r));
    return c;
}

bool isSafeCharacter(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9'))
        return true;
    return QStringView(u"._-/+,=@:%").contains(c);
}

std::optional<UnsafePiece> findUnsafePiece(const Request &r)
{
    // The pieces by name first, so that the message says which setting or
    // name to change; then every word as the remote shell receives it.
    const QString kestrelHome = toRemote(r.kestrelHome);
    const std::pair<const char *, QString> pieces[] = {
        {"remote user name", remoteUser(r)},
        {"VOB server (the host the SSH client logs in to)", r.vobServer},
        {"project name", r.project},
        {"template file name", r.templateFile},
        {"view tag", remoteViewTag(r)},
        {"Kestrel configuration directory (KESTREL_CONFIG)", toRemote(r.kestrelConfig)},
        {"output file path", outputFileRemote(r)},
    };
    if (auto unsafe = firstUnsafe(QStringLiteral("Kestrel home (KESTREL_HOME)"), kestrelHome, true))
        return unsafe;
    if (auto unsafe = firstUnsafe(QStringLiteral("Kestrel program (KESTREL)"), toRemote(r.kestrel), true))
        return unsafe;
    for (const auto &[what, value] : pieces) {
        if (auto unsafe = firstUnsafe(QString::fromLatin1(what), value))
            return unsafe;
    }
    // The login is one word of the SSH client's own command line: a leading
    // dash would make it an option.
    const QString login = loginWord(r);
    if (login.startsWith(QLatin1Char('-')))
        return UnsafePiece{QStringLiteral("login"), login, QLatin1Char('-')};
    for (const QStringList &words : {remoteWords(r), cleanupWords(r)}) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            // An empty word would vanish between two blanks and shift the
            // words after it.
            if (words[i].isEmpty())
                return UnsafePiece{i == 2 ? QStringLiteral("remote user name")
                                          : QStringLiteral("remote command word"),
                                   QString(), QChar()};
            if (auto unsafe = firstUnsafe(QStringLiteral("remote command word"), words[i], i == 0))
                return unsafe;
        }
    }
    return std::nullopt;
}

QString unsafeMessage(const UnsafePiece &piece)
{
    if (piece.value.isEmpty())
        return QStringLiteral("The ") + piece.what + QStringLiteral(" is empty. Nothing was run.");
    // A character that would not show is named by its code.
    const QString shown =
        piece.character.isPrint()
            ? QStringLiteral("\"") + piece.character + QStringLiteral("\"")
            : QStringLiteral("U+%1").arg(uint(piece.character.unicode()), 4, 16, QLatin1Char('0'));
    return QStringLiteral("The ") + piece.what + QStringLiteral(" \"") + piece.value +
           QStringLiteral("\" contains the character ") + shown +
           QStringLiteral(", which the Unix host's shell would interpret. Nothing was run.");
}

bool isViewTag(const QString &line)
{
    if (line.isEmpty())
        return false;
    for (const QChar c : line) {
        if (!isSafeCharacter(c) || c == QLatin1Char('/') || c == QLatin1Char('='))
            return false;
    }
    return true;
}

QString clientReport(const QByteArray &errors, const QString &password)
{
    constexpr qsizetype kLines = 12;
    const QString text = maskSecrets(QString::fromLocal8Bit(errors), {password});
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString bare = line.trimmed();
        if (!bare.isEmpty())
            lines << bare;
    }
    if (lines.size() > kLines)
        lines = lines.mid(lines.size() - kLines);
    return lines.join(QLatin1String("\r\n"));
}

} // namespace kestrel
