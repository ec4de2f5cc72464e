#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QProcess;

// Everything that differs between platforms lives here. Paths and command
// lines are built elsewhere as the site writes them (backslashes, UNC
// paths); they become local paths only at the boundary, through this layer.
namespace platform {

// The folders where the site's configuration file is looked for, in this
// order: the folder named by QUILLON_PROGRAM_DIR (when set), the program's
// own folder, then "quillon" in each of the system configuration folders
// ($XDG_CONFIG_DIRS, /etc/xdg when unset; on Windows none unless set).
QStringList siteConfigDirs();
// The first of them that holds the file; when none does, the last one
// looked in (where its absence is reported).
QString siteConfigDir(const QString &fileName);
// The system configuration folders when XDG_CONFIG_DIRS is not set
// (/etc/xdg; on Windows none).
QString defaultSystemConfigDirs();

// The platform's own programs where the site names none: the editor that
// opens a text file, the SSH client's file name; whether ClearCase's
// Explorer exists here, and its start-view, remove-view and find-checkouts
// programs.
QString defaultEditor();
QString defaultSshCommand();
bool hasClearCaseExplorer();
bool hasClearCaseDialogs();

// Where UNC paths are mapped to on systems without them: QUILLON_UNC_ROOT,
// else /net (the automounter's hosts map). On Windows empty unless set:
// UNC paths are then used as they are.
QString uncRoot();
// The UNC root when QUILLON_UNC_ROOT is not set (/net; on Windows none).
QString defaultUncRoot();

// A built path as the file system knows it, in the platform's separators:
// "\\HOST\a\b" becomes "<unc root>/HOST/a/b", other backslashes become
// slashes (on Windows: backslashes throughout, and without a UNC root the
// path as it is).
QString toLocalPath(const QString &built);

// Words joined into one line for the platform's shell: a word that the
// shell would split or read otherwise is quoted (as sh reads it; on
// Windows, as a program reads its command line, in double quotes).
QString shellLine(const QStringList &words);

// Before the program answers on its standard output or error (the help,
// the version, a mistake): on Windows a desktop program has no console, so
// when its standard streams lead nowhere they are joined to the console of
// the program that started it (a command prompt), if there is one.
void useStartersConsole();

// The login name as the platform reports it (spaces not yet removed).
QString loginName();

// The program's command line without the program name, as one text in
// which a word holding blanks is enclosed in double quotes.
QString commandLineArgs();

// The names of the ordinary files of a folder (not hidden, links followed),
// in the order the file system lists them; nothing, with error set, when
// the folder cannot be listed.
std::optional<QStringList> listFiles(const QString &localDir, QString *error);

// A folder only this user can use (the session's runtime folder, else one
// in the user's cache; on Windows "quillon" in the user's temporary folder,
// inside the profile), made when missing. Empty when none can be had.
QString privateRuntimeDir();

// A file that only this user may read or write, in a folder of its own that
// only the user may enter (in the private runtime folder); both go with it.
class PrivateFile {
public:
    PrivateFile(const QString &fileName, const QByteArray &content);
    ~PrivateFile();
    PrivateFile(const PrivateFile &) = delete;
    PrivateFile &operator=(const PrivateFile &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString error() const { return m_error; }
    QString path() const { return m_path; }
    // What it holds now (a program may have changed it); empty when it
    // cannot be read.
    QByteArray read() const;
    // The file and its folder stay when this goes (a program still has it open).
    void keep() { m_kept = true; }

private:
    bool m_kept = false;
    QString m_dir;
    QString m_path;
    QString m_error;
};

// A private channel that hands a started program a secret (the Unix
// password) without its command line or environment. The pipe kind: on
// Unix the read end of a pipe that only that program inherits, named by a
// path it can open ("/dev/fd/N"); on Windows a named pipe
// ("\\.\pipe\quillon-<random>") that only this user may open and that
// serves the secret to one reader only, while this process waits for the
// program. Where no pipe can be had, a file readable only by the user in a
// private folder, removed when the channel ends.
class SecretChannel {
public:
    enum class Kind { InheritedPipe, PrivateFile };
    explicit SecretChannel(const QByteArray &secret, Kind kind = Kind::InheritedPipe);
    ~SecretChannel();
    SecretChannel(const SecretChannel &) = delete;
    SecretChannel &operator=(const SecretChannel &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString error() const { return m_error; }
    // What the program is told to read.
    QString path() const { return m_path; }
    // The descriptor the program must inherit, or -1.
    int inheritedFd() const { return m_readFd; }
    // The program has been started: this side lets go of what it inherited.
    void started();

private:
    QString m_path;
    QString m_error;
    std::unique_ptr<PrivateFile> m_file; // a file channel
    int m_readFd = -1;
    std::unique_ptr<QObject> m_server; // Windows: the named pipe's server
};

// Standard error of a started program kept in a private file that has no
// name, so that nothing is left behind whatever happens, and the program may
// go on writing after this process has ended.
class ErrorCapture {
public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;
    int fd() const { return m_fd; }
    // The last maxBytes written so far.
    QByteArray tail(qsizetype maxBytes) const;

private:
    int m_fd = -1;
    void *m_reader = nullptr; // Windows: a handle of its own to read with
};

// How a program is set up between its start and the exec of its image:
// descriptors it inherits, where its standard error goes, and whether it
// outlives a closed pipe (a broken pipe is then an error it sees, not a
// signal that ends it).
struct ChildSetup {
    int keepFd = -1;
    int stdoutFd = -1;
    int stderrFd = -1;
    bool ignoreBrokenPipe = false;
};
void applyChildSetup(QProcess &process, const ChildSetup &setup);

// Lets a started program go on when this process no longer waits for it: it
// is never killed, and its end is still collected.
void keepRunning(QProcess *process);

} // namespace platform
