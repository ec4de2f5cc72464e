#pragma once

#include "base/waiting.h"
#include "clearcase/clearcase.h"
#include "kestrel/kestrel.h"
#include "kestrel/ssh_client.h"
#include "site/templates.h"
#include "ui/control_states.h"

#include <QMainWindow>
#include <QString>

#include <memory>

namespace Ui {
class frmMain;
}

class CommandLine;

// The supplier named in the Help menu, the banner and the help windows.
inline const QString SUPPLIER_NAME = QStringLiteral("Quillon Works");
inline const QString SUPPLIER_SITE = QStringLiteral("https://www.quillon-works.example/");

// The program's one main window. Its procedures are split by concern over
// frmMain*.cpp: layout and small handlers (frmMain.cpp), start-up and modes
// (frmMain_modes.cpp), existing views (frmMain_views.cpp), the template
// catalogue and display (frmMain_catalogue.cpp), view creation
// (frmMain_create.cpp), operations on existing views and their detail
// (frmMain_existing.cpp), help (frmMain_help.cpp).
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The window load: the configuration into the controls, the preselected
    // project, the mode box, the controls' first states.
    void load();
    // Reads a configuration file into the active record and applies what it
    // gave to the window: the project list, the NT-only look, the controls
    // the file does not allow; a missing or unreadable file is reported.
    void readConfiguration(const QString &path);
    // What runs in the window now.
    Activity activity() const { return m_states.activity(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Start-up and modes (frmMain_modes.cpp).
    void set_gui_values();
    void set_nt_only(bool ntOnly);
    void enable_controls(bool enable, bool force);
    void busy(bool mode);
    void change_op_mode();
    void opModeCB_Click();
    QString windowTitleFor(bool ntOnly) const;
    void addProjects(const QStringList &projects);
    // What the window's procedures want of an action control; what it
    // shows also depends on what runs (see ControlStates).
    void wantEnabled(QObject *control, bool enabled);

    // The configuration panel (frmMain_modes.cpp).
    void Configuration_Click();
    void butBack_Click();
    void Reload_Click();

    // Small handlers (frmMain.cpp).
    void myViewsList_Click();
    void unmaskPwdCB_Click();
    void usernameMappingCB_Click();
    void do_unload();

    // Existing views (frmMain_views.cpp).
    void get_myviews(const QString &region);
    void refreshBut_Click();
    void refreshViewBut_Click();

    // The template catalogue and its display (frmMain_catalogue.cpp).
    void get_view_templates(const QString &dir);
    void projectCombo_Click();
    QString read_template_text(const QString &file_name);
    void edit_view_template();
    void viewsList_Click();
    void viewBut_Click();
    void viewsList_DblClick();

    // View creation (frmMain_create.cpp).
    void create_view();
    kestrel::Request creationRequest(const TemplateRecord &entry) const;
    // After Kestrel: the explorer, both lists refreshed, and what ClearCase
    // says of the created tag.
    void finishCreation(const QString &created);

    // Operations on existing views and their detail (frmMain_existing.cpp).
    void removeViewBut_Click();
    void remove_view(QString &tag);
    void StartView_Click();
    void RemoveView_Click();
    void FindCO_Click();
    void show_view_detail();
    void myViewsList_DblClick();
    // Starts one of ClearCase's own programs and waits for it.
    void runTool(const CommandLine &tool);

    // Help (frmMain_help.cpp).
    void content_Click();
    void HelpDesk_Click();
    void GettingHelp_Click();
    void About_Click();
    void logoImage_Click();

    // Shows "ClearTool returned error: " + description, once per user
    // action: the questions after the first failure of an action say nothing
    // more.
    void reportClearCaseError(const QString &description);

    void setupControls();
    void setupMenus();
    void setupAccessibility();
    // Puts the note over the upper right of the template list.
    void placeNote();
    void connectHandlers();

    // The ClearCase objects, created on first use, on one cleartool session.
    ClearCaseApp &CC();
    ClearTool &CTool();
    CCSession &session();

    // Runs an activity for the scope of a handler; false when another one
    // runs, and the handler then does nothing.
    class ActivityScope {
    public:
        ActivityScope(frmMain &window, Activity activity);
        ~ActivityScope();
        ActivityScope(const ActivityScope &) = delete;
        ActivityScope &operator=(const ActivityScope &) = delete;
        explicit operator bool() const { return m_started; }

    private:
        frmMain &m_window;
        bool m_started;
    };
    void applyCursor();

    Ui::frmMain *ui;
    QString primary_group;
    bool first_click_done = false;
    // Fires when the window closes while something waits.
    Interrupt m_interrupt;
    SshClient m_ssh;
    std::unique_ptr<CCSession> m_session;
    std::unique_ptr<ClearCaseApp> m_cc;
    std::unique_ptr<ClearTool> m_ctool;
    ControlStates m_states;
    std::optional<CCSession::Action> m_ccAction; // the running activity's deadline
    bool m_clearCaseErrorShown = false;
    bool m_busy = false;
};

// Sets a control's tool tip and keeps its accessible description equal.
void setTip(QWidget *w, const QString &tip);
