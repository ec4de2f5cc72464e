// The main window's questions about ClearCase views and the "My Existing
// View(s):" list.
#include "forms/frmMain.h"

#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "outside/clearcase.h"
#include "ui_frmMain.h"
#include "utils/errors.h"
#include "utils/messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

namespace {
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
        msg_box(QStringLiteral("Region is not specified or unknown"), MsgIcon::Exclamation);
        return;
    }
    busy(true);
    const AppGlobalsData &g = AppGlobals();
    QString error;
    if (g.tag_user.isEmpty() && g.unix_user.isEmpty()) {
        msg_box(QStringLiteral("First select a project from the project ") + CRLF +
                    QStringLiteral("pull-down menu.  Warning: User is not identified yet.") + CRLF,
                MsgIcon::Exclamation);
    } else {
        QListWidget *list = ui->myViewsList;
        list->clear();
        QCoreApplication::processEvents();
        const QString tag_user = g.tag_user.toLower();
        const QString unix_user = g.unix_user.toLower();
        try {
            // A listing that fails part-way keeps what it listed, and says so.
            const QStringList tags = CC().ViewTags(false, region, &error);
            // What the list holds, lower-cased: the duplicate test without a
            // scan of the list per added view.
            QSet<QString> listed;
            Yielder yield;
            for (const QString &tag : tags) {
                yield();
                const QString lower = tag.toLower();
                const bool mine = lower.contains(tag_user) || lower.contains(unix_user);
                if (mine && !listed.contains(lower)) {
                    listed.insert(lower);
                    list->addItem(new TagItem(tag));
                    AppGlobals().progress().set_msg(QStringLiteral("Found view --> ") + tag);
                    yield();
                }
            }
        } catch (const std::exception &e) {
            error = error_description(e);
        }
        if (list->count() >= 1)
            list->setCurrentRow(0);
    }
    busy(false);
    if (!error.isEmpty())
        report_clearcase_error(error);
}

bool frmMain::view_tag_exists(const QString &vtag)
{
    try {
        CC().View(vtag);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool frmMain::view_active(const QString &vtag)
{
    try {
        return CTool().CmdExec({QStringLiteral("lsview"), vtag}).contains(QLatin1Char('*'));
    } catch (const std::exception &) {
        return false;
    }
}

bool frmMain::is_view_snapshot(const QString &vtag)
{
    try {
        return CC().View(vtag).IsSnapShot();
    } catch (const std::exception &) {
        return false;
    }
}

void frmMain::refreshBut_Click()
{
    const ActivityScope listing(*this, Activity::ListingViews);
    if (listing)
        pass_over([this] { get_myviews(ui->regionCombo->currentText()); });
}

void frmMain::refreshViewBut_Click()
{
    const ActivityScope loading(*this, Activity::LoadingProject);
    if (!loading)
        return;
    pass_over([this] { busy(true); });
    pass_over([this] {
        get_view_templates(AppGlobals().config.KESTREL_CONFIG + QStringLiteral("\\") +
                           ui->projectCombo->currentText());
    });
    pass_over([this] { get_myviews(ui->regionCombo->currentText()); });
    pass_over([this] { busy(false); });
}
