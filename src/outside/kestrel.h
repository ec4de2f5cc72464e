#pragma once

#include <QList>
#include <QString>

#include <optional>

// The command lines that create a view with Kestrel, locally through the
// HOST share or on the Unix host through the SSH client, and the ones that
// follow a remote run (the Windows view tag, the clean-up). Pure functions:
// the pieces are joined exactly as Kestrel and the SSH client expect them,
// nothing quoted or escaped.
namespace kestrel {

// Everything a creation's command lines are made of.
struct Request {
    QString host;           // HOST
    QString kestrel_home;   // KESTREL_HOME, "\..."
    QString kestrel;        // KESTREL, the script's file name
    QString kestrel_config; // KESTREL_CONFIG, "\..."
    QString ssh_cmd_path;   // SSH_CMD_PATH
    QString use_ssh;        // USE_SSH; only exactly "true" counts
    QString view_storage;   // VIEW_STORAGE
    QString vob_server;     // the host the SSH client logs in to
    QString project;        // the project's name
    QString unix_user;      // the Unix account, letter case as typed
    QString tag_user;       // the user part of a local view tag
    QString template_file;  // the template's file name
    QString template_tag;   // the template's listed tag (lower-cased user, "__", file name)
    QString password;       // the Unix password, as typed
    bool read_only = false; // "Read-Only Config Spec"
};

// "-cs_noedit" when a read-only config spec is asked for, else empty.
QString no_edit_option(bool read_only);
// " -ssh" when use_ssh is exactly "true", else empty.
QString ssh_option(const QString &use_ssh);
// The lower-cased Unix account.
QString remote_user(const Request &r);

// Kestrel's path: "\\HOST\home\kestrel" with backslashes only (local), or
// "home/kestrel" with slashes only (remote).
QString local_kestrel_path(const Request &r);
QString remote_kestrel_path(const Request &r);
// The project's template directory, in the same two forms.
QString local_config_dir(const Request &r);
QString remote_config_dir(const Request &r);

// The tag asked for: local keeps the user's letter case; remote is the
// template's listed tag.
QString local_view_tag(const Request &r);
QString remote_view_tag(const Request &r);

// Kestrel's output file of a remote run, KESTREL_HOME\_work\<user>.out, as
// configured (backslashes), as read from Windows ("\\HOST" in front) and as
// the Unix host names it (slashes).
QString output_file(const Request &r);
QString output_file_unc(const Request &r);
QString output_file_remote(const Request &r);

// The command lines.
QString local_command(const Request &r);
QString remote_command(const Request &r);
QString mktag_command(const Request &r, const QString &created_tag);
QString cleanup_command(const Request &r);

// A piece of the remote command line that the Unix host's shell would
// interpret.
struct UnsafePiece {
    QString what;  // "template file name", ...
    QString value; // the piece as it would go into the command line
    QChar character;
};

// True for the characters a piece of the remote command line may hold:
// ASCII letters and digits and . _ - / + , = @ : %
bool is_safe_character(QChar c);

// The first piece of a remote run's command line (remote user, project,
// template file name, Kestrel home, Kestrel, Kestrel config directory,
// output file, each in its remote form) that holds a character outside the
// safe set; nothing when every piece is safe.
std::optional<UnsafePiece> find_unsafe_piece(const Request &r);

// The message that stops such a run.
QString unsafe_message(const UnsafePiece &piece);

} // namespace kestrel
