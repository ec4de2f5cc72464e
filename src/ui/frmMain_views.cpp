// The main window's questions about ClearCase views and the "My Existing
// View(s):" list.
#include "ui/frmMain.h"

#include "base/errors.h"
#include "clearcase/clearcase.h"
#include "clearcase/views.h"
#include "ui/appglobals.h"
#include "ui/artwork.h"
#include "ui/colours.h"
#include "ui/frmProgress.h"
#include "ui/helpers.h"
#include "ui/messages.h"
#include "ui_frmMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <utility>

namespace {
// Whether a listed view has been unused for long; not set before its age is known.
constexpr int kUnusedRole = Qt::UserRole + 1;

// Lets the window repaint and react during a long loop without paying for
// an event-loop pass on every step: yields when a frame's time has gone by.
class Yielder {
public:
    Yielder() { m_clock.start(); }
    void operator()()
    {
        if (m_clock.elapsed() >= 15) {
            QCoreApplication::processEvents();
            m_clock.restart();
        }
    }

private:
    QElapsedTimer m_clock;
};

// An entry of the existing-views list, which keeps its tags in alphabetical
// order without regard to letter case (the list's own order is by code).
class TagItem : public QListWidgetItem {
public:
    explicit TagItem(const QString &tag) : QListWidgetItem(tag) {}
    bool operator<(const QListWidgetItem &other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};
} // namespace

void frmMain::get_myviews(const QString &region)
{
    if (region.isEmpty()) {
        showMessage(QStringLiteral("Region is not specified or unknown"), MsgIcon::Exclamation);
        return;
    }
    busy(true);
    // The ages asked for an earlier listing are not this one's.
    ++m_listingGeneration;
    m_pendingAges.clear();
    const AppGlobalsData &g = AppGlobals();
    QString error;
    if (g.tag_user.isEmpty() && g.unix_user.isEmpty()) {
        showMessage(QStringLiteral("First select a project from the project ") + CRLF +
                        QStringLiteral("pull-down menu.  Warning: User is not identified yet.") + CRLF,
                    MsgIcon::Exclamation);
    } else {
        QListWidget *list = ui->myViewsList;
        list->clear();
        QCoreApplication::processEvents();
        Yielder yield;
        const MyViews mine = listMyViews(CC(), region, g.tag_user, g.unix_user, [&](const QString &tag) {
            list->addItem(new TagItem(tag));
            AppGlobals().progress().set_msg(QStringLiteral("Found view --> ") + tag);
            yield();
        });
        // A listing that fails part-way keeps what it listed, and says so.
        error = mine.error;
        if (list->count() >= 1)
            list->setCurrentRow(0);
        // When ClearCase is in trouble, nothing more is asked of it.
        if (mine.error.isEmpty())
            askViewAges(mine.tags);
    }
    busy(false);
    if (!error.isEmpty())
        reportClearCaseError(error);
}

void frmMain::askViewAges(const QStringList &tags)
{
    // Asked once the list is shown and the window is idle again: the ages
    // need each view's server, which can take long, and they only decorate
    // the entries. A listing made meanwhile makes the answer out of date.
    m_pendingAges = tags;
    if (m_states.idle())
        QTimer::singleShot(0, this, &frmMain::askPendingAges);
    // Otherwise the running activity's end asks them.
}

void frmMain::askPendingAges()
{
    if (m_pendingAges.isEmpty() || !m_states.idle())
        return;
    const QStringList tags = std::exchange(m_pendingAges, {});
    const int generation = m_listingGeneration;
    try {
        QHash<QString, ViewInfo> dated;
        QString why;
        try {
            dated = CC().lookupViews(tags, true);
        } catch (const ClearCaseError &e) {
            why = e.description();
        }
        if (generation == m_listingGeneration)
            markViewAges(dated, why);
    } catch (const Interrupted &) {
    }
}

void frmMain::markViewAges(const QHash<QString, ViewInfo> &dated, const QString &why)
{
    const QDateTime now = QDateTime::currentDateTime();
    QListWidget *list = ui->myViewsList;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        const QDateTime accessed = dated.value(item->text()).accessed;
        QString tip;
        if (accessed.isValid())
            tip = QStringLiteral("Last accessed ") + shownDate(accessed) + QStringLiteral(" (") +
                  daysAgo(accessed, now) + QLatin1Char(')');
        else
            tip = QStringLiteral("Last access not known") +
                  (why.isEmpty() ? QString() : QStringLiteral(": ") + why);
        // The entry's text stays the tag, in the list's own colour: the mark
        // is its icon and its words.
        const bool unused = accessed.isValid() && accessed.daysTo(now) >= kUnusedDays;
        if (unused)
            tip += QStringLiteral(", not used for %1 days or more").arg(kUnusedDays);
        item->setData(kUnusedRole, unused);
        item->setToolTip(item->text() + QLatin1Char('\n') + tip);
        item->setData(Qt::AccessibleDescriptionRole, tip);
    }
    paintUnusedMarks();
}

void frmMain::paintUnusedMarks()
{
    QListWidget *list = ui->myViewsList;
    const QPalette look = list->palette();
    const QIcon mark =
        artwork::unusedMark(colours::readableOn(look.color(QPalette::Text), look.color(QPalette::Base)));
    const QIcon blank = artwork::unusedMark(QColor());
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        const QVariant unused = item->data(kUnusedRole);
        if (unused.isValid())
            item->setIcon(unused.toBool() ? mark : blank);
    }
}

void frmMain::refreshBut_Click()
{
    const ActivityScope listing(*this, Activity::ListingViews);
    if (listing)
        passOver([this] { get_myviews(ui->regionCombo->currentText()); });
}

void frmMain::refreshViewBut_Click()
{
    const ActivityScope loading(*this, Activity::LoadingProject);
    if (!loading)
        return;
    passOver([this] { busy(true); });
    passOver([this] { reloadTemplates(); });
    passOver([this] { get_myviews(ui->regionCombo->currentText()); });
    passOver([this] { busy(false); });
}
