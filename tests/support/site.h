#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/gui.h"

#include <optional>

class frmMain;

// A scratch site (program folder, vobhost share, simulator registry) the environment points Quillon at;
// its end closes every window and forgets the program-wide state.
class TestSite {
public:
    explicit TestSite(const QString &user = QStringLiteral("jdoe"));
    ~TestSite();
    TestSite(const TestSite &) = delete;
    TestSite &operator=(const TestSite &) = delete;

    QString root() const { return m_dir.path(); }
    QString share(const QString &relative) const { return root() + "/unc/vobhost/" + relative; }
    QString programDir() const { return root() + "/program"; }

    // A complete configuration (projects r6000 and mainline) plus extra lines; a later key overrides.
    static QStringList configLines(bool interop, const QStringList &extra = {});
    void writeConfig(const QString &name, const QStringList &lines) const;
    void addTemplate(const QString &project, const QString &name, const QStringList &lines) const;
    void addRawTemplate(const QString &project, const QString &name, const QByteArray &bytes) const;
    // One "region|tag|global path|host|flags|owner" line per view.
    void importViews(const QStringList &lines) const;
    QString cleartool(const QStringList &args) const; // the simulator's standard output
    bool tagExists(const QString &tag, const QString &region = QStringLiteral("Windows")) const
    {
        return cleartool({"lsview", "-short", "-region", region}).split('\n').contains(tag);
    }
    // A Unix host's Kestrel at root()/unix/kestrel, reached by the same path from here and "on the host"
    // (the vobhost share becomes this machine's whole disk): the Kestrel stand-in, its configuration
    // (storage in root()/unix/views), project r6000's template dev, the region ccase_unix. Its home.
    QString addUnixKestrel() const;
    // Writes the simulator's knobs file (KEY=VALUE lines), read anew by every command.
    void setKnobs(const QByteArray &lines) const;

    // Brings the main window up as the program does (the one before goes) and shows it.
    frmMain *open(const QString &cfgName = QStringLiteral("qn.cfg"));
    // The open window, driven as a user does.
    Gui &gui() { return *m_gui; }
    // Chooses a project in the project list (typed, then Enter).
    void pick(const QString &project) { gui().choose(QStringLiteral("projectCombo"), project); }

private:
    QTemporaryDir m_dir;
    frmMain *m_window = nullptr;
    std::optional<Gui> m_gui;
};

// Writes a file, its folder made first; an executable one is a stand-in program or script.
void writeFile(const QString &path, const QByteArray &bytes, bool executable = false);
// A file's bytes; none when it cannot be read.
QByteArray readFile(const QString &path);

// PATH for the scope: a scratch folder of stand-in programs first, then `rest` (by default PATH as it was).
class StandInPath {
public:
    explicit StandInPath(const QByteArray &rest = qgetenv("PATH"));
    ~StandInPath();
    QString dir() const { return m_dir.path(); } // for childProgram()

private:
    QTemporaryDir m_dir;
    QByteArray m_saved = qgetenv("PATH");
};

// For the scope of one test, this process (run as root) is held to file permissions like any user:
// the capabilities that override them are dropped from its effective set, and given back after.

class HeldToFilePermissions {
public:
    HeldToFilePermissions();
    ~HeldToFilePermissions();
    bool active() const { return m_active; }

private:
    bool m_active = false;
};

// An SSH client stand-in for tests without a real host: its usage text (without arguments) lists
// -pwfile when offersPasswordFile; a run notes its process id and the password it was given in
// <logPrefix>.pid and <logPrefix>.password, waits a little, then runs the remote words with sh in an
// empty environment, as a login on the host would.
void writeSshStandIn(const QString &path, bool offersPasswordFile, const QString &logPrefix);

// A copy of the tests' child program (tests/standin/test_child.cpp) named name in dir, name.exe on
// Windows, that does steps at every start whatever its arguments; its path.
QString childProgram(const QString &dir, const QString &name, const QStringList &steps);

// The Unix side of a remote creation (the SSH client's login and Kestrel on the host) is played by sh
// scripts, which run only where the system starts a script by its "#!" line: not on Windows.
bool shellScriptsRun();
#define SKIP_UNLESS_SHELL_SCRIPTS_RUN()                                                                      \
    do {                                                                                                     \
        if (!shellScriptsRun())                                                                              \
            QSKIP("the Unix host (its login shell and Kestrel) is played by sh scripts, which Windows does " \
                  "not run");                                                                                \
    } while (false)
