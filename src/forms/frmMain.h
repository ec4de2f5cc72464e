#pragma once

#include "forms/control_states.h"
#include "outside/clearcase.h"
#include "outside/ssh_client.h"
#include "utils/waiting.h"

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

    // The controls, by their names.
    Ui::frmMain *ui;

    // Start-up and modes.
    void load(); // the window load
    void set_gui_values();
    void set_nt_only(bool ntOnly);
    void enable_controls(bool enable, bool force);
    void busy(bool mode);
    void change_op_mode();
    void opModeCB_Click();
    // What the window's procedures want of an action control; what it
    // shows also depends on what runs (see ControlStates).
    void want(QObject *control, bool enabled);
    Activity activity() const { return m_states.activity(); }
    QString window_title_for(bool nt_only) const;

    // The configuration panel.
    void toggle_config();
    void butBack_Click();
    void reload_config();

    // Small handlers.
    void myViewsList_Click();
    void unmaskPwdCB_Click();
    void usernameMappingCB_Click();
    void do_unload();

    // Existing views.
    void get_myviews(const QString &region);
    bool view_tag_exists(const QString &vtag);
    bool view_active(const QString &vtag);
    bool is_view_snapshot(const QString &vtag);
    void refreshBut_Click();
    void refreshViewBut_Click();

    // The template catalogue and its display.
    void get_view_templates(const QString &dir);
    QString get_view_description(const QString &file, bool &is_snapshot);
    void projectCombo_Click();
    QString read_template_text(const QString &file_name);
    void edit_view_template();
    QString gcsv(const QString &path);
    void viewsList_Click();
    void viewBut_Click();
    void viewsList_DblClick();

    // View creation.
    void create_view();

    // Operations on existing views.
    void removeViewBut_Click();
    void remove_view(QString &tag);
    void StartView_Click();
    void RemoveView_Click();
    void FindCO_Click();
    void show_view_detail();
    void myViewsList_DblClick();
    // Starts one of ClearCase's own programs and waits for it.
    void run_tool(const CommandLine &tool);

    // Help.
    void help_contents();
    void help_desk();
    void getting_help();
    void about();
    void open_supplier_site();

    // The ClearCase objects, created on first use.
    ClearCaseApp &CC();
    ClearTool &CTool();

    QString primary_group;
    bool first_click_done = false;

    // Shows "ClearTool returned error: " + description, once per user
    // action: the questions after the first failure of an action say nothing
    // more.
    void report_clearcase_error(const QString &description);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setup_controls();
    void setup_menus();
    void setup_accessibility();
    void connect_handlers();
    // The cleartool session behind CC and CTool, created on first use.
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
    void apply_cursor();

    // Fires when the window closes while something waits.
    Interrupt m_interrupt;
    SshClient m_ssh;
    std::unique_ptr<CCSession> m_session;
    std::unique_ptr<ClearCaseApp> m_cc;
    std::unique_ptr<ClearTool> m_ctool;
    ControlStates m_states;
    std::optional<CCSession::Action> m_cc_action; // the running activity's deadline
    bool m_clearcase_error_shown = false;
    bool m_busy = false;
};

// Sets a control's tool tip and keeps its accessible description equal.
void set_tip(QWidget *w, const QString &tip);
