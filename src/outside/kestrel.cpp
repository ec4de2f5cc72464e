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

// The password travels on the SSH client's command line; everything after
// it is the same in the Kestrel run and the clean-up.
QString ssh_login(const Request &r, const QString &options)
{
    return r.ssh_cmd_path + options + r.password + QStringLiteral(" ") + remote_user(r) +
           QStringLiteral("@") + r.vob_server + QStringLiteral(" ");
}
} // namespace

QString no_edit_option(bool read_only)
{
    return read_only ? QStringLiteral("-cs_noedit") : QString();
}

QString ssh_option(const QString &use_ssh)
{
    return use_ssh == QLatin1String("true") ? QStringLiteral(" -ssh") : QString();
}

QString remote_user(const Request &r)
{
    return r.unix_user.toLower();
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

QString local_command(const Request &r)
{
    return local_kestrel_path(r) + QStringLiteral(" -tag ") + local_view_tag(r) + QStringLiteral(" ") +
           no_edit_option(r.read_only) + QStringLiteral(" -cfg ") + local_config_dir(r);
}

QString remote_command(const Request &r)
{
    return ssh_login(r, QStringLiteral(" ") + ssh_option(r.use_ssh) + QStringLiteral(" -pw ")) +
           remote_kestrel_path(r) + QStringLiteral(" -user ") + remote_user(r) + QStringLiteral(" -tag ") +
           remote_view_tag(r) + QStringLiteral(" ") + no_edit_option(r.read_only) + QStringLiteral(" -cfg ") +
           remote_config_dir(r);
}

QString mktag_command(const Request &r, const QString &created_tag)
{
    const QString storage = r.view_storage + BACKSLASH + created_tag + QStringLiteral(".vws");
    return QStringLiteral("cleartool mktag -view -tag ") + created_tag + QStringLiteral(" -host ") + r.host +
           QStringLiteral(" -gpath ") + storage + QStringLiteral(" ") + storage;
}

QString cleanup_command(const Request &r)
{
    return ssh_login(r, QStringLiteral(" -ssh -pw ")) + QStringLiteral("rm -f ") + output_file_remote(r);
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
    const std::pair<const char *, QString> pieces[] = {
        {"remote user name", remote_user(r)},
        {"project name", r.project},
        {"template file name", r.template_file},
        {"view tag", remote_view_tag(r)},
        {"Kestrel home (KESTREL_HOME)", to_remote(r.kestrel_home)},
        {"Kestrel program (KESTREL)", to_remote(r.kestrel)},
        {"Kestrel configuration directory (KESTREL_CONFIG)", to_remote(r.kestrel_config)},
        {"output file path", output_file_remote(r)},
    };
    for (const auto &[what, value] : pieces) {
        for (const QChar c : value) {
            if (!is_safe_character(c))
                return UnsafePiece{QString::fromLatin1(what), value, c};
        }
    }
    return std::nullopt;
}

QString unsafe_message(const UnsafePiece &piece)
{
    // A character that would not show is named by its code.
    const QString shown =
        piece.character.isPrint()
            ? QStringLiteral("\"") + piece.character + QStringLiteral("\"")
            : QStringLiteral("U+%1").arg(uint(piece.character.unicode()), 4, 16, QLatin1Char('0'));
    return QStringLiteral("The ") + piece.what + QStringLiteral(" \"") + piece.value +
           QStringLiteral("\" contains the character ") + shown +
           QStringLiteral(", which the Unix host's shell would interpret. Nothing was run.");
}

} // namespace kestrel
