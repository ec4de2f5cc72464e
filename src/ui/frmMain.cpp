// The main window: construction, the controls' initial state, and the small
// handlers that only show, hide, mask or forward.
#include "ui/frmMain.h"

#include "base/errors.h"
#include "base/platform.h"
#include "clearcase/clearcase.h"
#include "ui/appglobals.h"
#include "ui/artwork.h"
#include "ui/colours.h"
#include "ui/messages.h"
#include "ui_frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>

void setTip(QWidget *w, const QString &tip)
{
    w->setToolTip(tip);
    w->setAccessibleDescription(tip);
}

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), ui(new Ui::frmMain)
{
    ui->setupUi(this);
    // The window's size is its own, not what Designer found room for on the
    // form (where it shows the hidden buttons too).
    resize(820, 660);
    setupControls();
    applyColours();
    setupMenus();
    setupAccessibility();
    connectHandlers();
    // The controls that start an operation: none of them while one runs.
    for (QObject *c : std::initializer_list<QObject *>{
             ui->projectCombo, ui->opModeCB, ui->readOnlyConfigCB, ui->createViewBut, ui->removeViewBut,
             ui->refreshBut, ui->refreshViewBut, ui->detailBut, ui->viewBut, ui->reloadBut, ui->startViewBut,
             ui->removeViewToolBut, ui->findCoBut, ui->Reload, ui->StartView, ui->RemoveView, ui->FindCO})
        m_states.add(c);
}

frmMain::~frmMain()
{
    // The lists go after the form: nothing of theirs may reach back into it.
    disconnect(ui->myViewsList->model(), nullptr, this, nullptr);
    delete ui;
}

void frmMain::setupControls()
{
    // Buttons that other procedures enable and disable but the user never
    // sees: their commands are reached through the menus.
    for (QWidget *w : {static_cast<QWidget *>(ui->removeViewToolBut), static_cast<QWidget *>(ui->findCoBut),
                       static_cast<QWidget *>(ui->Command1), static_cast<QWidget *>(ui->helpBut),
                       static_cast<QWidget *>(ui->reloadBut), static_cast<QWidget *>(ui->startViewBut),
                       static_cast<QWidget *>(ui->helpDeskBut), static_cast<QWidget *>(ui->showConfigBut),
                       static_cast<QWidget *>(ui->cancelBut)})
        w->hide();

    for (QWidget *w :
         {static_cast<QWidget *>(ui->txtMsg), static_cast<QWidget *>(ui->txtConfigSpec),
          static_cast<QWidget *>(ui->unmaskPwdCB), static_cast<QWidget *>(ui->usernameMappingTxt),
          static_cast<QWidget *>(ui->usernameMappingCB), static_cast<QWidget *>(ui->pwdTxt),
          static_cast<QWidget *>(ui->pwdLbl), static_cast<QWidget *>(ui->userNameLbl),
          static_cast<QWidget *>(ui->configFrame)})
        w->hide();

    ui->projectCombo->setEditText(QStringLiteral("<choose project>"));
    // The platform's own way to open a text file, until the user types another.
    ui->useEditorTxt->setText(platform::defaultEditor());
    if (!platform::hasClearCaseExplorer()) {
        auto *note = new QLabel(QStringLiteral("(not available on this platform)"), ui->configFrame);
        note->setObjectName(QStringLiteral("ccExplorerNoteLbl"));
        note->setEnabled(false);
        ui->optionsRow->insertWidget(ui->optionsRow->indexOf(ui->ccExplorerCB) + 1, note);
        setTip(ui->ccExplorerCB, QStringLiteral("ClearCase Explorer is not available on this platform"));
    }
    // Sharp at any scaling: the banner fills the strip at every width, the
    // logo is drawn for the screen.
    artwork::fillWithBanner(ui->logoImage);
    artwork::showLogo(ui->Image1);
    // The note floats over the upper right of the template list, below the
    // list's buttons. It is placed again whenever the list or anything that
    // holds it moves or changes size (at start it is filled before the
    // window's layout is done), and clicks go through it to the rows below.
    ui->mainFrameLayout->removeWidget(ui->txtMsg);
    ui->txtMsg->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->txtMsg->installEventFilter(this);
    for (QWidget *w = ui->viewsList; w && w != ui->txtMsg->parentWidget(); w = w->parentWidget())
        w->installEventFilter(this);
    // The note is read from the keyboard too: it follows the template list
    // in the tab order while it is shown.
    ui->txtMsg->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    ui->txtMsg->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(ui->viewsList, ui->txtMsg);
    setupMyViewsPlaceholder();
    // Config specs read best in a fixed-width font.
    ui->txtConfigSpec->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui->pwdTxt->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    ui->usernameMappingTxt->setBackgroundRole(QPalette::Button);
    ui->usernameMappingTxt->setAutoFillBackground(true);
    // Escape leaves the configuration panel as "Back" does.
    auto *leave = new QShortcut(QKeySequence(Qt::Key_Escape), ui->configFrame);
    leave->setContext(Qt::WidgetWithChildrenShortcut);
    connect(leave, &QShortcut::activated, this, [this] { butBack_Click(); });

    // The status column scrolls with the template list, so that each marker
    // stays beside its row.
    connect(ui->viewsList->verticalScrollBar(), &QScrollBar::valueChanged,
            ui->viewStatusList->verticalScrollBar(), &QScrollBar::setValue);

    // Clicks on the banner strip open the supplier's site; moving over the
    // main panel, any control on it included, hides the note.
    ui->Label1->setCursor(Qt::PointingHandCursor);
    ui->Label1->installEventFilter(this);
    ui->logoImage->installEventFilter(this);
    QList<QWidget *> panel = ui->mainFrame->findChildren<QWidget *>();
    panel << ui->mainFrame << ui->mainContentHost << ui->leftPane;
    for (QWidget *w : std::as_const(panel)) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void frmMain::applyColours()
{
    using colours::paintText;
    const QPalette look = palette();
    // The lists keep their light grey in a light palette; in a dark one
    // they are the palette's own, with dark blue made light enough.
    const QColor listBack = colours::isDark(look) ? look.color(QPalette::Base) : QColor(224, 224, 224);
    for (QWidget *list :
         {static_cast<QWidget *>(ui->viewsList), static_cast<QWidget *>(ui->viewStatusList)}) {
        paintText(list, QPalette::Text, QColor(0, 0, 139), QPalette::Base, listBack);
        // The selected row too: the status list shows it while disabled.
        paintText(list, QPalette::HighlightedText, look.color(QPalette::HighlightedText),
                  QPalette::Highlight);
    }
    // Descriptions and config specs: navy on the button face.
    for (QWidget *text : {static_cast<QWidget *>(ui->descTxt), static_cast<QWidget *>(ui->txtConfigSpec)})
        paintText(text, QPalette::Text, QColor(0, 0, 128), QPalette::Base, look.color(QPalette::Button));
    // The note keeps its light yellow in every palette, with black text on
    // it (a dark palette's light text, only darkened until it passes, reads
    // pale there).
    paintText(ui->txtMsg, QPalette::Text, Qt::black, QPalette::Base, QColor(255, 255, 128));
    paintText(ui->userNameLbl, QPalette::WindowText, QColor(139, 0, 0), QPalette::Window);
    paintText(ui->cfgFileLbl, QPalette::WindowText, QColor(0, 0, 255), QPalette::Window);
    paintText(m_myViewsPlaceholder, QPalette::WindowText, look.color(QPalette::PlaceholderText),
              QPalette::Base);
    m_myViewsPlaceholder->setForegroundRole(QPalette::WindowText);
    if (auto *note = findChild<QLabel *>(QStringLiteral("ccExplorerNoteLbl")))
        paintText(note, QPalette::WindowText, look.color(QPalette::Disabled, QPalette::WindowText),
                  QPalette::Window);
    // The narrow configuration button: white on a blue dark enough for it.
    const QColor button = colours::readableOn(QColor(0, 128, 192), Qt::white);
    ui->showConfigBut->setStyleSheet(
        QStringLiteral("background-color: %1; color: white;").arg(button.name()));
    paintUnusedMarks();
}

void frmMain::changeEvent(QEvent *event)
{
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) &&
        m_myViewsPlaceholder)
        applyColours();
    QMainWindow::changeEvent(event);
}

void frmMain::showNote(const QString &note)
{
    ui->txtMsg->setPlainText(note);
    // Read out with its name when it appears.
    ui->txtMsg->setAccessibleDescription(note);
    placeNote();
    ui->txtMsg->setVisible(!note.isEmpty());
    if (!note.isEmpty()) {
        // Screen readers read an alert out whatever has the focus.
        QAccessibleEvent shown(ui->txtMsg, QAccessible::Alert);
        QAccessible::updateAccessibility(&shown);
    }
}

void frmMain::setupMyViewsPlaceholder()
{
    // Until the first project choice nothing lists the user's views: the
    // empty list says what to do, greyed, and not as a row of its own.
    auto *hint =
        new QLabel(QStringLiteral("Choose a project to list your views"), ui->myViewsList->viewport());
    hint->setObjectName(QStringLiteral("myViewsPlaceholder"));
    hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint->setContentsMargins(6, 4, 6, 4);
    hint->adjustSize();
    m_myViewsPlaceholder = hint;
    QAbstractItemModel *rows = ui->myViewsList->model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(rows, signal, this, &frmMain::updateMyViewsPlaceholder);
    connect(rows, &QAbstractItemModel::modelReset, this, &frmMain::updateMyViewsPlaceholder);
    updateMyViewsPlaceholder();
}

void frmMain::updateMyViewsPlaceholder()
{
    // Called for every row a listing adds: only a change of state does work.
    const bool shown = !first_click_done && ui->myViewsList->count() == 0;
    if (m_myViewsPlaceholderShown == std::optional<bool>(shown))
        return;
    m_myViewsPlaceholderShown = shown;
    m_myViewsPlaceholder->setVisible(shown);
    // Screen readers read the hint as the empty list's description.
    ui->myViewsList->setAccessibleDescription(shown ? m_myViewsPlaceholder->text()
                                                    : ui->myViewsList->toolTip());
}

void frmMain::setupMenus()
{
    for (QAction *sep : {ui->sep1, ui->sep2, ui->sep4, ui->sep6, ui->sep7, ui->sep10})
        sep->setSeparator(true);
}

void frmMain::setupAccessibility()
{
    // Labels keep their own text as their name; operated controls carry a
    // plain name (set in the form) and their tool tip as description.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (!w->toolTip().isEmpty() && w->accessibleDescription().isEmpty())
            w->setAccessibleDescription(w->toolTip());
    }
    ui->logoImage->setAccessibleName(SUPPLIER_NAME);
    setTip(ui->logoImage, SUPPLIER_SITE);
    ui->Image1->setAccessibleName(QStringLiteral("Quillon"));
}

void frmMain::connectHandlers()
{
    // Every handler runs inside a guard: when the window closes while a
    // handler waits, the wait unwinds the handler (Interrupted) and it ends
    // here, quietly.
    auto guarded = [this](void (frmMain::*handler)()) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (const Interrupted &) {
            }
        };
    };
    auto onClick = [this, guarded](QAbstractButton *b, void (frmMain::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, guarded(handler));
    };
    auto onTrigger = [this, guarded](QAction *a, void (frmMain::*handler)()) {
        connect(a, &QAction::triggered, this, guarded(handler));
    };

    onClick(ui->createViewBut, &frmMain::create_view);
    onClick(ui->detailBut, &frmMain::show_view_detail);
    connect(ui->myViewsList, &QListWidget::itemDoubleClicked, this, guarded(&frmMain::myViewsList_DblClick));
    onClick(ui->viewBut, &frmMain::viewBut_Click);
    connect(ui->viewsList, &QListWidget::itemDoubleClicked, this, guarded(&frmMain::viewsList_DblClick));
    onClick(ui->refreshBut, &frmMain::refreshBut_Click);
    onClick(ui->refreshViewBut, &frmMain::refreshViewBut_Click);
    onClick(ui->removeViewBut, &frmMain::removeViewBut_Click);
    onClick(ui->startViewBut, &frmMain::StartView_Click);
    onTrigger(ui->StartView, &frmMain::StartView_Click);
    onClick(ui->removeViewToolBut, &frmMain::RemoveView_Click);
    onTrigger(ui->RemoveView, &frmMain::RemoveView_Click);
    onClick(ui->findCoBut, &frmMain::FindCO_Click);
    onTrigger(ui->FindCO, &frmMain::FindCO_Click);
    onClick(ui->reloadBut, &frmMain::Reload_Click);
    onTrigger(ui->Reload, &frmMain::Reload_Click);
    onClick(ui->showConfigBut, &frmMain::Configuration_Click);
    onTrigger(ui->Configuration, &frmMain::Configuration_Click);
    onClick(ui->butBack, &frmMain::butBack_Click);
    connect(ui->projectCombo, &QComboBox::activated, this, guarded(&frmMain::projectCombo_Click));
    connect(ui->viewsList, &QListWidget::currentRowChanged, this, guarded(&frmMain::viewsList_Click));
    connect(ui->myViewsList, &QListWidget::currentRowChanged, this, guarded(&frmMain::myViewsList_Click));
    connect(ui->opModeCB, &QCheckBox::toggled, this, guarded(&frmMain::opModeCB_Click));
    onClick(ui->unmaskPwdCB, &frmMain::unmaskPwdCB_Click);
    onClick(ui->usernameMappingCB, &frmMain::usernameMappingCB_Click);
    connect(ui->cancelBut, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Exit, &QAction::triggered, this, &QWidget::close);
    onTrigger(ui->GettingHelp, &frmMain::GettingHelp_Click);
    onTrigger(ui->HelpDesk, &frmMain::HelpDesk_Click);
    onClick(ui->helpDeskBut, &frmMain::HelpDesk_Click);
    onTrigger(ui->content, &frmMain::content_Click);
    onClick(ui->helpBut, &frmMain::content_Click);
    onTrigger(ui->About, &frmMain::About_Click);
    onTrigger(ui->CommandLog, &frmMain::CommandLog_Click);
}

void frmMain::placeNote()
{
    QWidget *host = ui->txtMsg->parentWidget();
    const QWidget *rows = ui->viewsList->viewport();
    const QRect list(rows->mapTo(host, QPoint(0, 0)), rows->size());
    // Never wider or taller than the rows it lies on, so that it covers
    // neither the status markers beside the list nor what lies below.
    const int width =
        qMin(list.width(), qBound(ui->txtMsg->minimumWidth(), list.width() / 2, ui->txtMsg->maximumWidth()));
    const int height = qMin(list.height(), ui->txtMsg->maximumHeight());
    ui->txtMsg->setGeometry(list.right() + 1 - width, list.top(), width, height);
    ui->txtMsg->raise();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    // The note is placed as it is shown, and again when the template list
    // or anything that holds it moves or changes size.
    const bool geometry = event->type() == QEvent::Resize || event->type() == QEvent::Move;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if ((watched == ui->txtMsg && event->type() == QEvent::Show) ||
        (geometry && widget && (widget == ui->viewsList || widget->isAncestorOf(ui->viewsList))))
        placeNote();
    if ((watched == ui->Label1 || watched == ui->logoImage) && event->type() == QEvent::MouseButtonRelease) {
        logoImage_Click();
        return true;
    }
    if (event->type() == QEvent::MouseMove && !ui->txtMsg->isHidden())
        ui->txtMsg->hide();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::myViewsList_Click()
{
    try {
        if (ui->myViewsList->count() >= 1 && ui->myViewsList->currentItem())
            setTip(ui->myViewsList, ui->myViewsList->currentItem()->text());
    } catch (const std::exception &e) {
        standardError(errorDescription(e), 3);
    }
}

void frmMain::unmaskPwdCB_Click()
{
    ui->pwdTxt->setEchoMode(ui->unmaskPwdCB->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void frmMain::usernameMappingCB_Click()
{
    const bool on = ui->usernameMappingCB->isChecked();
    ui->usernameMappingTxt->setEnabled(on);
    ui->usernameMappingTxt->setBackgroundRole(on ? QPalette::Base : QPalette::Button);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Whatever waits ends now and unwinds; the programs it waited for are
    // left to finish on their own. Closing is never refused.
    m_interrupt.set();
    do_unload();
    event->accept();
}

void frmMain::do_unload()
{
    // Every window of the program closes with the main window; closing is
    // never refused.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
}

CCSession &frmMain::session()
{
    if (!m_session) {
        m_session = std::make_unique<CCSession>();
        m_session->setInterrupt(&m_interrupt);
    }
    return *m_session;
}

frmMain::ActivityScope::ActivityScope(frmMain &window, Activity activity)
    : m_window(window), m_started(window.m_states.begin(activity))
{
    if (!m_started)
        return;
    m_window.m_ccAction.emplace(m_window.session());
    m_window.m_clearCaseErrorShown = false;
    m_window.applyCursor();
}

frmMain::ActivityScope::~ActivityScope()
{
    if (!m_started)
        return;
    m_window.m_ccAction.reset();
    m_window.m_states.end();
    m_window.applyCursor();
    if (!m_window.m_pendingAges.isEmpty())
        QTimer::singleShot(0, &m_window, &frmMain::askPendingAges);
}

void frmMain::wantEnabled(QObject *control, bool enabled)
{
    m_states.want(control, enabled);
}

void frmMain::reportClearCaseError(const QString &description)
{
    if (!m_states.idle() && m_clearCaseErrorShown)
        return;
    m_clearCaseErrorShown = true;
    showMessage(QStringLiteral("ClearTool returned error: ") + description + LOG_HINT);
}

ClearCaseApp &frmMain::CC()
{
    if (!m_cc)
        m_cc = std::make_unique<ClearCaseApp>(session());
    return *m_cc;
}

ClearTool &frmMain::CTool()
{
    if (!m_ctool)
        m_ctool = std::make_unique<ClearTool>(session());
    return *m_ctool;
}
