#pragma once

#include "types/configrecord.h"
#include "types/templaterecord.h"

#include <QPointer>
#include <QString>

#include <vector>

class frmMain;
class frmViewDetail;
class frmProgress;
class frmGettingHelp;
class frmAbout;
class frmHelp;

// The program-wide state, from Main to the end of the process. Each window
// exists once; all but the main window are created on first use.
struct AppGlobalsData {
    ConfigRecord config;
    QString cfg_file_name;
    QString unix_user; // the current user name, set by the template catalogue
    QString tag_user;  // always equal to unix_user
    std::vector<TemplateRecord> view_templates;

    QPointer<frmMain> main_window;

    frmViewDetail &view_detail();
    frmProgress &progress();
    frmGettingHelp &getting_help();
    frmAbout &about();
    frmHelp &help();

    // Closes every open window of the program, the main window last, and
    // deletes them (the next use creates them anew). Only where nothing
    // waits: at the end of the program, or when start-up fails.
    void unload_all();

private:
    QPointer<frmViewDetail> m_view_detail;
    QPointer<frmProgress> m_progress;
    QPointer<frmGettingHelp> m_getting_help;
    QPointer<frmAbout> m_about;
    QPointer<frmHelp> m_help;
};

AppGlobalsData &AppGlobals();

// The program's own version, from the build.
int version_major();
int version_minor();
int version_revision();
