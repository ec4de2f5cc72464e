#pragma once

#include "base/platform.h"
#include "base/process.h"
#include "base/waiting.h"
#include "clearcase/clearcase.h"
#include "clearcase/view_ops.h"
#include "kestrel/kestrel.h"
#include "kestrel/ssh_client.h"
#include "site/templates.h"
#include "ui/control_states.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <optional>

namespace Ui {
class frmMain;
}

class CommandLine;
class frmTable;
class QLabel;
class frmViewDetail;

// The supplier named in the Help menu, the banner and the help windows.
inline const QString SUPPLIER_NAME = QStringLiteral("Quillon Works");
inline const QString SUPPLIER_SITE = QStringLiteral("https://www.quillon-works.example/");

// The program's one main window. Its procedures are split by concern over
// frmMain*.cpp: layout and small handlers (frmMain.cpp), start-up and modes
// (frmMain_modes.cpp), existing views (frmMain_views.cpp), the template
// catalogue and display (frmMain_catalogue.cpp), view creation
// (frmMain_create.cpp), removal and the Tools menu (frmMain_removal.cpp),
// the view detail and its config spec (frmMain_existing.cpp), help
// (frmMain_help.cpp).
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
    void changeEvent(QEvent *event) override;

private:
    // The coloured texts and lists in the colours of the current palette,
    // each readable on what it is drawn on (frmMain.cpp).
    void applyColours();
    // Shows the note, or hides it when empty; screen readers are told of it.
    void showNote(const QString &note);
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
    // The last access of each listed view in its tool tip; views unused for
    // long are marked (their text stays the tag). Asked after the listing,
    // without holding the window.
    void askViewAges(const QStringList &tags);
    void askPendingAges();
    void markViewAges(const QHash<QString, ViewInfo> &dated, const QString &why);
    // The mark of the unused views in the list's current colours; the other
    // rows keep an empty mark of the same size, so that all stay in line.
    void paintUnusedMarks();
    void refreshBut_Click();
    void refreshViewBut_Click();

    // The template catalogue and its display (frmMain_catalogue.cpp).
    void get_view_templates(const QString &dir);
    // The chosen project's templates again, with fresh markers.
    void reloadTemplates();
    void projectCombo_Click();
    QString read_template_text(const QString &file_name);
    void edit_view_template();
    // Opens a file in the editor of the configuration panel and waits for it.
    RunResult openInEditor(const QString &path);
    void viewsList_Click();
    void viewBut_Click();
    void viewsList_DblClick();

    // View creation (frmMain_create.cpp).
    void create_view();
    kestrel::Request creationRequest(const TemplateRecord &entry) const;
    // After Kestrel: the explorer, both lists refreshed, and what ClearCase
    // says of the created tag.
    void finishCreation(const QString &created);

    // Removal and the Tools menu (frmMain_removal.cpp).
    void removeViewBut_Click();
    // Asks before a removal, naming what would be lost; force: rmview may
    // take the checkouts the user was told of.
    bool askToRemove(const QString &tag, const RemovalCheck *check, bool &force);
    // A config-spec draft whose editor still runs at exit stays, and the user is told where.
    void keepDraft(const QString &tag, platform::PrivateFile &draft);
    // True for the user's own view; otherwise says whose it is.
    bool mayRemove(const ViewInfo &view);
    void remove_view(const QString &tag, const RemovalCheck *check, bool force);
    void offerStaleCleanUp(const ViewInfo &view, const RemovalOutcome &failed, const QString &region);
    // A change whose answer was lost, and what ClearCase, asked again, holds.
    void reportLostChange(const QString &what, const QString &tag, bool done, bool notKnown,
                          const QString &why, const QString &checkCommand);
    void StartView_Click();
    void RemoveView_Click();
    void FindCO_Click();
    // Starts one of ClearCase's own programs and waits for it.
    void runTool(const CommandLine &tool);
    // The tag selected in "My Existing View(s):"; when none, says so.
    QString chosenView();
    void startSelectedView();
    void showSelectedCheckouts();
    // The checkouts window filled for a view (not shown).
    frmTable &showCheckouts(const QString &tag, const QList<Checkout> &checkouts);

    // The view detail (frmMain_existing.cpp).
    void show_view_detail();
    void myViewsList_DblClick();
    // The tag selected in "My Existing View(s):", or nothing.
    QString selectedView() const;
    // Created, last modified, last accessed, from the long listing.
    void showViewAge(frmViewDetail &detail, const QString &listing);
    // "Edit Config Spec…" of View Detail (frmMain_configspec.cpp): the
    // config spec in a private file, the editor, then setcs when changed.
    void editConfigSpec(const QString &tag);

    // Help (frmMain_help.cpp).
    void content_Click();
    void HelpDesk_Click();
    void GettingHelp_Click();
    void About_Click();
    void CommandLog_Click();
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
    void setupMyViewsPlaceholder();
    void updateMyViewsPlaceholder();
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
    QLabel *m_myViewsPlaceholder = nullptr;
    std::optional<bool> m_myViewsPlaceholderShown;
    // Where the focus was when the configuration panel opened: it goes back
    // there when the panel closes.
    QPointer<QWidget> m_focusBeforeConfig;
    // Fires when the window closes while something waits.
    Interrupt m_interrupt;
    SshClient m_ssh;
    std::unique_ptr<CCSession> m_session;
    std::unique_ptr<ClearCaseApp> m_cc;
    std::unique_ptr<ClearTool> m_ctool;
    ControlStates m_states;
    std::optional<CCSession::Action> m_ccAction; // the running activity's deadline
    bool m_clearCaseErrorShown = false;
    int m_listingGeneration = 0; // counts the listings of "My Existing View(s):"
    QStringList m_pendingAges;   // the listed tags whose ages are still to ask
    // Edited config specs ClearCase refused or the user did not set yet, by
    // tag: the next edit of that view starts from them.
    std::map<QString, std::unique_ptr<platform::PrivateFile>> m_configSpecDrafts;
    bool m_busy = false;
};

// Sets a control's tool tip and keeps its accessible description equal.
void setTip(QWidget *w, const QString &tip);
