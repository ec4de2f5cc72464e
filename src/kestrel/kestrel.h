#pragma once

#include "base/command_line.h"

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
    QString host;          // HOST
    QString kestrelHome;   // KESTREL_HOME, "\..."
    QString kestrel;       // KESTREL, the script's file name
    QString kestrelConfig; // KESTREL_CONFIG, "\..."
    QString sshCmdPath;    // SSH_CMD_PATH
    QString useSsh;        // USE_SSH; only exactly "true" counts
    QString viewStorage;   // VIEW_STORAGE
    QString vobServer;     // the host the SSH client logs in to
    QString project;       // the project's name
    QString unixUser;      // the Unix account, letter case as typed
    QString tagUser;       // the user part of a local view tag
    QString templateFile;  // the template's file name
    QString templateTag;   // the template's listed tag (lower-cased user, "__", file name)
    QString password;      // the Unix password, as typed (at most kMaxPassword characters)
    bool readOnly = false; // "Read-Only Config Spec"
};

// The longest password Quillon hands over; a longer one is refused before
// anything starts.
inline constexpr qsizetype kMaxPassword = 1024;

// How the SSH client gets the password: on its command line ("-pw"), where
// any local user can read it while the client runs, or from a private
// channel ("-pwfile"), which clients that offer it read instead.
enum class PasswordPassing { CommandLine, PrivateChannel };

// "-cs_noedit" when a read-only config spec is asked for, else empty.
QString noEditOption(bool readOnly);
// True when useSsh is exactly "true".
bool usesSsh(const QString &useSsh);
// The lower-cased Unix account.
QString remoteUser(const Request &r);
// The SSH client's login: remote user "@" VOB server.
QString loginWord(const Request &r);

// Kestrel's path: "\\HOST\home\kestrel" with backslashes only (local), or
// "home/kestrel" with slashes only (remote).
QString localKestrelPath(const Request &r);
QString remoteKestrelPath(const Request &r);
// The project's template directory, in the same two forms.
QString localConfigDir(const Request &r);
QString remoteConfigDir(const Request &r);

// The tag asked for: local keeps the user's letter case; remote is the
// template's listed tag.
QString localViewTag(const Request &r);
QString remoteViewTag(const Request &r);

// Kestrel's output file of a remote run, KESTREL_HOME\_work\<user>.out, as
// configured (backslashes), as read from Windows ("\\HOST" in front) and as
// the Unix host names it (slashes).
QString outputFile(const Request &r);
QString outputFileUnc(const Request &r);
QString outputFileRemote(const Request &r);

// The words the Unix host's login shell receives: the Kestrel run, and the
// clean-up that removes the output file.
QStringList remoteWords(const Request &r);
QStringList cleanupWords(const Request &r);

// The commands. The remote ones carry the password as a secret word, or
// "-pwfile" and a secret file word whose path the runner supplies.
CommandLine localCommand(const Request &r);
CommandLine remoteCommand(const Request &r, PasswordPassing how);
CommandLine mktagCommand(const Request &r, const QString &createdTag);
CommandLine cleanupCommand(const Request &r, PasswordPassing how);

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
bool isSafeCharacter(QChar c);

// The first piece of a remote run (the login, the remote user, project,
// template file name, view tag, Kestrel home and program, Kestrel config
// directory, output file, and finally every word as the shell receives it)
// that holds a character outside the safe set; nothing when the run is safe.
std::optional<UnsafePiece> findUnsafePiece(const Request &r);

// The message that stops such a run.
QString unsafeMessage(const UnsafePiece &piece);

// True when a line of Kestrel's output file names one view tag: a single
// word of the characters a tag may hold.
bool isViewTag(const QString &line);

// What the SSH client wrote on its standard error, as lines (CR LF between
// them, the last few only) to show under a failure. The password never
// shows, even where a client would echo it.
QString clientReport(const QByteArray &errors, const QString &password);

} // namespace kestrel
