#pragma once

#include "utils/command_line.h"

#include <QList>
#include <QString>

#include <optional>

// The programs that create a view with Kestrel, locally through the HOST
// share or on the Unix host through the SSH client, and the ones that follow
// a remote run (the Windows view tag, the clean-up). Pure functions: each
// command is a program and its arguments, built from the same pieces the
// site's written command lines join; nothing is quoted or escaped, and no
// value is ever split.
namespace kestrel {

// Everything a creation's commands are made of.
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

// How the SSH client gets the password: on its command line ("-pw"), where
// any local user can read it while the client runs, or from a private
// channel ("-pwfile"), which clients that offer it read instead.
enum class PasswordPassing { CommandLine, PrivateChannel };

// "-cs_noedit" when a read-only config spec is asked for, else empty.
QString no_edit_option(bool read_only);
// True when use_ssh is exactly "true".
bool uses_ssh(const QString &use_ssh);
// The lower-cased Unix account.
QString remote_user(const Request &r);
// The SSH client's login: remote user "@" VOB server.
QString login_word(const Request &r);

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

// The words the Unix host's login shell receives: the Kestrel run, and the
// clean-up that removes the output file.
QStringList remote_words(const Request &r);
QStringList cleanup_words(const Request &r);

// The commands. The remote ones carry the password as a secret word, or
// "-pwfile" and a secret file word whose path the runner supplies.
CommandLine local_command(const Request &r);
CommandLine remote_command(const Request &r, PasswordPassing how);
CommandLine mktag_command(const Request &r, const QString &created_tag);
CommandLine cleanup_command(const Request &r, PasswordPassing how);

// A piece of a remote run that the Unix host's shell (or the SSH client)
// would interpret.
struct UnsafePiece {
    QString what;  // "template file name", ...
    QString value; // the piece as it would go into the command
    QChar character;
};

// True for the characters a word of the remote command may hold: ASCII
// letters and digits and . _ - / + , = @ : %  ("=" not in the first word,
// where the shell would take it for a variable assignment).
bool is_safe_character(QChar c);

// The first piece of a remote run (the login, the remote user, project,
// template file name, view tag, Kestrel home and program, Kestrel config
// directory, output file, and finally every word as the shell receives it)
// that holds a character outside the safe set; nothing when the run is safe.
std::optional<UnsafePiece> find_unsafe_piece(const Request &r);

// The message that stops such a run.
QString unsafe_message(const UnsafePiece &piece);

// True when a line of Kestrel's output file names one view tag: a single
// word of the characters a tag may hold.
bool is_view_tag(const QString &line);

// What the SSH client wrote on its standard error, as lines (CR LF between
// them, the last few only) to show under a failure. The password never
// shows, even where a client would echo it.
QString client_report(const QByteArray &errors, const QString &password);

} // namespace kestrel
