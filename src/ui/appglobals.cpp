#include "ui/appglobals.h"

#include "ui/frmAbout.h"
#include "ui/frmGettingHelp.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"
#include "ui/frmTable.h"
#include "ui/frmViewDetail.h"

#include <QTreeWidget>

AppGlobalsData &AppGlobals()
{
    static AppGlobalsData globals;
    return globals;
}

namespace {
template <typename W> W &created(QPointer<W> &p)
{
    if (!p)
        p = new W;
    return *p;
}

template <typename W> void unload(QPointer<W> &p)
{
    if (p) {
        p->close();
        delete p.data();
    }
}
} // namespace

frmViewDetail &AppGlobalsData::viewDetail()
{
    return created(m_viewDetail);
}
frmProgress &AppGlobalsData::progress()
{
    return created(m_progress);
}
frmGettingHelp &AppGlobalsData::gettingHelp()
{
    return created(m_gettingHelp);
}
frmAbout &AppGlobalsData::about()
{
    return created(m_about);
}
frmHelp &AppGlobalsData::help()
{
    return created(m_help);
}

frmTable &AppGlobalsData::checkouts()
{
    if (!m_checkouts) {
        created(m_checkouts).setObjectName(QStringLiteral("frmCheckouts"));
        m_checkouts->setColumns(
            {QStringLiteral("Path"), QStringLiteral("Kind"), QStringLiteral("Checked out")});
        m_checkouts->rowsList()->setAccessibleName(QStringLiteral("Checkouts"));
    }
    return *m_checkouts;
}
frmTable &AppGlobalsData::commandLog()
{
    if (!m_commandLog) {
        created(m_commandLog).setObjectName(QStringLiteral("frmCommandLog"));
        m_commandLog->setWindowTitle(QStringLiteral("Command Log"));
        m_commandLog->setColumns({QStringLiteral("Time"), QStringLiteral("Exit"), QStringLiteral("Duration"),
                                  QStringLiteral("Command"), QStringLiteral("First error")});
        m_commandLog->rowsList()->setAccessibleName(QStringLiteral("Commands run"));
    }
    return *m_commandLog;
}

void AppGlobalsData::unloadAll()
{
    unload(m_viewDetail);
    unload(m_progress);
    unload(m_gettingHelp);
    unload(m_about);
    unload(m_help);
    unload(m_checkouts);
    unload(m_commandLog);
    delete mainWindow.data();
    mainWindow.clear();
}

int versionMajor()
{
    return QUILLON_VERSION_MAJOR;
}
int versionMinor()
{
    return QUILLON_VERSION_MINOR;
}
int versionRevision()
{
    return QUILLON_VERSION_PATCH;
}
