#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class frmMain;
class QListWidget;

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
    QString program_dir() const { return root() + "/program"; }

    // A complete configuration (projects r6000 and mainline) plus extra lines; a later key overrides.
    static QStringList config_lines(bool interop, const QStringList &extra = {});
    void write_config(const QString &name, const QStringList &lines) const;
    void add_template(const QString &project, const QString &name, const QStringList &lines) const;
    void add_raw_template(const QString &project, const QString &name, const QByteArray &bytes) const;
    // One "region|tag|global path|host|flags|owner" line per view.
    void import_views(const QStringList &lines) const;
    QString cleartool(const QStringList &args) const; // the simulator's standard output
    bool tag_exists(const QString &tag, const QString &region = QStringLiteral("Windows")) const
    {
        return cleartool({"lsview", "-short", "-region", region}).split('\n').contains(tag);
    }

    frmMain *open(const QString &cfg_name = QStringLiteral("qn.cfg")); // as the program does, not shown
    void pick(const QString &project);                                 // as the user does
    static QStringList items(const QListWidget *list);
    static void select(QListWidget *list, const QString &text);

private:
    QTemporaryDir m_dir;
    frmMain *m_window = nullptr;
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
