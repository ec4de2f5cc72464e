#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class frmMain;
class QListWidget;

// A scratch site (program folder, vobhost share, simulator registry) the
// environment points Quillon at while it lives; its end closes every window
// and forgets the program-wide state.
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

    // Writes a template file into a project's folder, with CR LF ends or as given.
    void add_template(const QString &project, const QString &name, const QStringList &lines) const;
    void add_raw_template(const QString &project, const QString &name, const QByteArray &bytes) const;
    // Copies the Kestrel stand-in into the Kestrel home with its settings.
    void install_kestrel() const;

    // Loads views into the registry, one "region|tag|global path|host|flags|owner" line each.
    void import_views(const QStringList &lines) const;
    // Runs the simulator and returns its standard output.
    QString cleartool(const QStringList &args) const;
    bool tag_exists(const QString &tag, const QString &region = QStringLiteral("Windows")) const;

    // Brings the main window up as the program does (not shown).
    frmMain *open(const QString &cfg_name = QStringLiteral("qn.cfg"));
    // Chooses a project as the user does.
    void pick(const QString &project);

    // A list's rows, and selecting the row with this text.
    static QStringList items(const QListWidget *list);
    static void select(QListWidget *list, const QString &text);

private:
    QTemporaryDir m_dir;
    frmMain *m_window = nullptr;
};
