#include "outside/kestrel.h"

#include "utils/helpers.h"

namespace kestrel {

namespace {
const QString BACKSLASH = QStringLiteral("\\");
const QString SLASH = QStringLiteral("/");
const QString UNC = QStringLiteral("\\\\");

QString to_remote(const QString &s)
{
    return replace_char(BACKSLASH, SLASH, s);
}

QString to_local(const QString &s)
{
    return replace_char(SLASH, BACKSLASH, s);
}

// The SSH client's options up to and including the login word. The
// password stands right after its option; how it travels is the caller's.
void add_login(CommandLine &c, const Request &r, PasswordPassing how)
{
    if (how == PasswordPassing::PrivateChannel)
        c.arg(QStringLiteral("-pwfile")).arg(QString(), CommandLine::Kind::SecretFile);
    else
        c.arg(QStringLiteral("-pw")).arg(r.password, CommandLine::Kind::Secret);
    c.arg(login_word(r));
}

std::optional<UnsafePiece> first_unsafe(const QString &what, const QString &value, bool first_word = false)
{
    for (const QChar c : value) {
        if (!is_safe_character(c) || (first_word && c == QLatin1Char('=')))
            return UnsafePiece{what, value, c};
    }
    return std::nullopt;
}
} // namespace

QString no_edit_option(bool read_only)
{
    return read_only ? QStringLiteral("-cs_noedit") : QString();
}

bool uses_ssh(const QString &use_ssh)
{
    return use_ssh == QLatin1String("true");
}

QString remote_user(const Request &r)
{
    return r.unix_user.toLower();
}

QString login_word(const Request &r)
{
    return remote_user(r) + QStringLiteral("@") + r.vob_server;
}

QString local_kestrel_path(const Request &r)
{
    return to_local(UNC + r.host + r.kestrel_home + BACKSLASH + r.kestrel);
}

QString remote_kestrel_path(const Request &r)
{
    return to_remote(r.kestrel_home + BACKSLASH + r.kestrel);
}

QString local_config_dir(const Request &r)
{
    return to_local(UNC + r.host + r.kestrel_config + BACKSLASH + r.project);
}

QString remote_config_dir(const Request &r)
{
    return to_remote(r.kestrel_config + BACKSLASH + r.project);
}

QString local_view_tag(const Request &r)
{
    return r.tag_user + QStringLiteral("__") + r.template_file;
}

QString remote_view_tag(const Request &r)
{
    return r.template_tag;
}

QString output_file(const Request &r)
{
    return r.kestrel_home + QStringLiteral("\\_work\\") + remote_user(r) + QStringLiteral(".out");
}

QString output_file_unc(const Request &r)
{
    return UNC + r.host + output_file(r);
}

QString output_file_remote(const Request &r)
{
    return to_remote(output_file(r));
}

QStringList remote_words(const Request &r)
{
    QStringList words{remote_kestrel_path(r), QStringLiteral("-user"), remote_user(r), QStringLiteral("-tag"),
                      remote_view_tag(r)};
    if (r.read_only)
        words << no_edit_option(true);
    words << QStringLiteral("-cfg") << remote_config_dir(r);
    return words;
}

QStringList cleanup_words(const Request &r)
{
    return {QStringLiteral("rm"), QStringLiteral("-f"), output_file_remote(r)};
}

CommandLine local_command(const Request &r)
{
    CommandLine c(local_kestrel_path(r));
    c.arg(QStringLiteral("-tag")).arg(local_view_tag(r)).arg(no_edit_option(r.read_only));
    c.arg(QStringLiteral("-cfg")).arg(local_config_dir(r), CommandLine::Kind::LocalPath);
    return c;
}

CommandLine remote_command(const Request &r, PasswordPassing how)
{
    // The written line has two blanks after the client's path: the SSH
    // option's place, empty or " -ssh".
    CommandLine c(r.ssh_cmd_path, {QString()});
    if (uses_ssh(r.use_ssh))
        c.arg(QStringLiteral("-ssh"));
    add_login(c, r, how);
    // The written line has two blanks before "-cfg" when there is no
    // no-edit option: keep its empty place.
    const QStringList words = remote_words(r);
    c.args(words.mid(0, 5));
    if (!r.read_only)
        c.arg(QString());
    c.args(words.mid(5));
    return c;
}

CommandLine mktag_command(const Request &r, const QString &created_tag)
{
    // The storage path is data for the registry, which every client reads:
    // it reaches cleartool exactly as the site wrote it.
    const QString storage = r.view_storage + BACKSLASH + created_tag + QStringLiteral(".vws");
    return CommandLine(QStringLiteral("cleartool"),
                       {QStringLiteral("mktag"), QStringLiteral("-view"), QStringLiteral("-tag"), created_tag,
                        QStringLiteral("-host"), r.host, QStringLiteral("-gpath"), storage, storage});
}

CommandLine cleanup_command(const Request &r, PasswordPassing how)
{
    // The clean-up always asks for the SSH protocol.
    CommandLine c(r.ssh_cmd_path, {QStringLiteral("-ssh")});
    add_login(c, r, how);
    c.args(cleanup_words(r));
    return c;
}

bool is_safe_character(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9'))
        return true;
    return QStringView(u"._-/+,=@:%").contains(c);
}

std::optional<UnsafePiece> find_unsafe_piece(const Request &r)
{
    // The pieces by name first, so that the message says which setting or
    // name to change; then every word as the remote shell receives it.
    const QString kestrel_home = to_remote(r.kestrel_home);
    const std::pair<const char *, QString> pieces[] = {
        {"remote user name", remote_user(r)},
        {"VOB server (the host the SSH client logs in to)", r.vob_server},
        {"project name", r.project},
        {"template file name", r.template_file},
        {"view tag", remote_view_tag(r)},
        {"Kestrel configuration directory (KESTREL_CONFIG)", to_remote(r.kestrel_config)},
        {"output file path", output_file_remote(r)},
    };
    if (auto unsafe = first_unsafe(QStringLiteral("Kestrel home (KESTREL_HOME)"), kestrel_home, true))
        return unsafe;
    if (auto unsafe = first_unsafe(QStringLiteral("Kestrel program (KESTREL)"), to_remote(r.kestrel), true))
        return unsafe;
    for (const auto &[what, value] : pieces) {
        if (auto unsafe = first_unsafe(QString::fromLatin1(what), value))
            return unsafe;
    }
    // The login is one word of the SSH client's own command line: a leading
    // dash would make it an option.
    const QString login = login_word(r);
    if (login.startsWith(QLatin1Char('-')))
        return UnsafePiece{QStringLiteral("login"), login, QLatin1Char('-')};
    for (const QStringList &words : {remote_words(r), cleanup_words(r)}) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            // An empty word would vanish between two blanks and shift the
            // words after it.
            if (words[i].isEmpty())
                return UnsafePiece{i == 2 ? QStringLiteral("remote user name")
                                          : QStringLiteral("remote command word"),
                                   QString(), QChar()};
            if (auto unsafe = first_unsafe(QStringLiteral("remote command word"), words[i], i == 0))
                return unsafe;
        }
    }
    return std::nullopt;
}

QString unsafe_message(const UnsafePiece &piece)
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

bool is_view_tag(const QString &line)
{
    if (line.isEmpty())
        return false;
    for (const QChar c : line) {
        if (!is_safe_character(c) || c == QLatin1Char('/') || c == QLatin1Char('='))
            return false;
    }
    return true;
}

QString client_report(const QByteArray &errors, const QString &password)
{
    constexpr qsizetype kLines = 12;
    QString text = QString::fromLocal8Bit(errors);
    if (!password.isEmpty())
        text.replace(password, CommandLine::MASK);
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
