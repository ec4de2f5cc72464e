#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// Everything that differs between platforms lives here. Paths and command
// lines are built elsewhere as the site writes them (backslashes, UNC
// paths); they become local paths only at the boundary, through this layer.
namespace platform {

// Where the program looks for its configuration files: QUILLON_PROGRAM_DIR
// when set, else the directory of the executable.
QString program_dir();

// Where UNC paths are mapped to on systems without them: QUILLON_UNC_ROOT,
// else /net (the automounter's hosts map).
QString unc_root();

// A built path as the file system knows it: "\\HOST\a\b" becomes
// "<unc root>/HOST/a/b", other backslashes become slashes.
QString to_local_path(const QString &built);

// The login name as the platform reports it (spaces not yet removed).
QString login_name();

// The program's command line without the program name, as one text in
// which a word holding blanks is enclosed in double quotes.
QString command_line_args();

// Splits a command line into words at blanks; a double-quoted run is one
// word (the quotes are dropped).
QStringList split_command_line(const QString &command);

// Opens an address in the desktop's browser (the shell's "open" action).
void open_url(const QString &address);

// One running instance per user. The first instance holds the lock and
// answers on a local socket; a lock left behind by a crashed instance is
// taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString &name);
    ~SingleInstance();
    // True when another live instance holds the lock.
    bool another_is_running();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
