#include "main/appglobals.h"

#include "forms/frmAbout.h"
#include "forms/frmGettingHelp.h"
#include "forms/frmHelp.h"
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "forms/frmViewDetail.h"

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

frmViewDetail &AppGlobalsData::view_detail()
{
    return created(m_view_detail);
}
frmProgress &AppGlobalsData::progress()
{
    return created(m_progress);
}
frmGettingHelp &AppGlobalsData::getting_help()
{
    return created(m_getting_help);
}
frmAbout &AppGlobalsData::about()
{
    return created(m_about);
}
frmHelp &AppGlobalsData::help()
{
    return created(m_help);
}

void AppGlobalsData::unload_all()
{
    unload(m_view_detail);
    unload(m_progress);
    unload(m_getting_help);
    unload(m_about);
    unload(m_help);
    delete main_window.data();
    main_window.clear();
}

int version_major()
{
    return QUILLON_VERSION_MAJOR;
}
int version_minor()
{
    return QUILLON_VERSION_MINOR;
}
int version_revision()
{
    return QUILLON_VERSION_PATCH;
}
