#pragma once

#include "site/configrecord.h"
#include "site/templates.h"
#include "ui/messages.h"

#include <QPointer>
#include <QString>

#include <vector>

class frmMain;
class frmViewDetail;
class frmProgress;
class frmGettingHelp;
class frmAbout;
class frmHelp;
class frmTable;

// The program-wide state, from Main to the end of the process. Each window
// exists once; all but the main window are created on first use.
struct AppGlobalsData {
    ConfigRecord config;
    QString cfg_file_name;
    // The folder the configuration file was found in (or last looked for
    // in), where its alternate is looked for too.
    QString programDir;
    QString unix_user; // the current user name, set by the template catalogue
    QString tag_user;  // always equal to unix_user
    std::vector<TemplateRecord> view_templates;

    QPointer<frmMain> mainWindow;
    // Where message boxes go instead of the screen (tests, screenshots); empty: the screen.
    MessageHandler messageHandler;

    frmViewDetail &viewDetail();
    frmProgress &progress();
    frmGettingHelp &gettingHelp();
    frmAbout &about();
    frmHelp &help();
    // The checkouts of a view, and the command log: two tables.
    frmTable &checkouts();
    frmTable &commandLog();

    // Closes every open window of the program, the main window last, and
    // deletes them (the next use creates them anew). Only where nothing
    // waits: at the end of the program, or when start-up fails.
    void unloadAll();

private:
    QPointer<frmViewDetail> m_viewDetail;
    QPointer<frmProgress> m_progress;
    QPointer<frmGettingHelp> m_gettingHelp;
    QPointer<frmAbout> m_about;
    QPointer<frmHelp> m_help;
    QPointer<frmTable> m_checkouts;
    QPointer<frmTable> m_commandLog;
};

AppGlobalsData &AppGlobals();

// The program's own version, from the build.
int versionMajor();
int versionMinor();
int versionRevision();
