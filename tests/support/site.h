#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class frmMain;

// A site of the test's own in a scratch folder: the program folder with its
// configuration files, the vobhost share (projects, templates, the Kestrel
// stand-in) under the UNC root, and a simulator registry. The environment
// points Quillon at it while the object lives; the destructor closes every
// window and forgets the program-wide state.
class TestSite {
public:
    explicit TestSite(const QString &user = QStringLiteral("jdoe"));
    ~TestSite();
    TestSite(const TestSite &) = delete;
    TestSite &operator=(const TestSite &) = delete;

    QString root() const { return m_dir.path(); }
    // A local path on the vobhost share.
    QString share(const QString &relative) const;
    QString program_dir() const;

    // A complete configuration (HOST vobhost, the Kestrel tree under
    // \ccstorage\utils\kestrel, projects r6000 and mainline) with the
    // given lines appended (a later key overrides).
    static QStringList config_lines(bool interop, const QStringList &extra = {});
    // Writes a configuration file into the program folder (CR LF ends).
    void write_config(const QString &name, const QStringList &lines) const;

    // Writes a template file into a project's folder (CR LF ends).
    void add_template(const QString &project, const QString &name, const QStringList &lines) const;
    // Copies the Kestrel stand-in into the Kestrel home with its settings.
    void install_kestrel() const;

    // Loads views into the registry, one "region|tag|global path|host|flags|owner" line each.
    void import_views(const QStringList &lines) const;
    // Runs the simulator and returns its standard output.
    QString cleartool(const QStringList &args) const;
    bool tag_exists(const QString &tag, const QString &region = QStringLiteral("Windows")) const;

    // Brings the main window up as the program does: key names, the file
    // read, the window loaded (not shown).
    frmMain *open(const QString &cfg_name = QStringLiteral("qn.cfg"));
    // Chooses a project as the user does.
    void pick(const QString &project);

private:
    QTemporaryDir m_dir;
    frmMain *m_window = nullptr;
};
