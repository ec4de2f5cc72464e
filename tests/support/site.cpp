#include "support/site.h"

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {
void write_lines(const QString &path, const QStringList &lines)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (const QString &l : lines)
        f.write(l.toLocal8Bit() + "\r\n");
}
} // namespace

TestSite::TestSite(const QString &user)
{
    QDir(root()).mkpath(QStringLiteral("program"));
    QDir(root()).mkpath(QStringLiteral("unc/vobhost/ccstorage/utils/kestrel/config"));
    QDir(root()).mkpath(QStringLiteral("unc/vobhost/tools/ssh"));
    QDir(root()).mkpath(QStringLiteral("unc/vobhost/ccstg/views"));
    QDir(root()).mkpath(QStringLiteral("ccsim"));
    qputenv("QUILLON_PROGRAM_DIR", program_dir().toLocal8Bit());
    qputenv("QUILLON_UNC_ROOT", (root() + QStringLiteral("/unc")).toLocal8Bit());
    qputenv("CCSIM_HOME", (root() + QStringLiteral("/ccsim")).toLocal8Bit());
    qputenv("USER", user.toLocal8Bit());
    qunsetenv("CCSIM_REGION");
    qunsetenv("CLEARCASE_PRIMARY_GROUP");
}

TestSite::~TestSite()
{
    AppGlobalsData &g = AppGlobals();
    g.unload_all();
    delete m_window;
    g.config = ConfigRecord{};
    g.cfg_file_name.clear();
    g.unix_user.clear();
    g.tag_user.clear();
    g.view_templates.clear();
}

QString TestSite::share(const QString &relative) const
{
    return root() + QStringLiteral("/unc/vobhost/") + relative;
}

QString TestSite::program_dir() const
{
    return root() + QStringLiteral("/program");
}

QStringList TestSite::config_lines(bool interop, const QStringList &extra)
{
    return QStringList{
               QStringLiteral("HOST=vobhost"),
               QStringLiteral("VOB_SERVER=vobhost"),
               QStringLiteral("KESTREL=kestrel"),
               QStringLiteral("KESTREL_HOME=\\ccstorage\\utils\\kestrel"),
               QStringLiteral("KESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config"),
               QStringLiteral("SSH_CMD=plink"),
               QStringLiteral("SSH_HOME=\\\\vobhost\\tools\\ssh"),
               QStringLiteral("VIEW_STORAGE=\\\\vobhost\\ccstg\\views"),
               QStringLiteral("PROJECT=r6000"),
               QStringLiteral("PROJECT=mainline"),
               QStringLiteral("ADMIN=jdoe"),
               QStringLiteral("NT_ONLY=") + (interop ? QStringLiteral("false") : QStringLiteral("true")),
               QStringLiteral("IS_INTEROP=") + (interop ? QStringLiteral("true") : QStringLiteral("false")),
               QStringLiteral("CC_EXPLORER=false"),
               QStringLiteral("USE_SSH=false"),
           } +
           extra;
}

void TestSite::write_config(const QString &name, const QStringList &lines) const
{
    write_lines(program_dir() + QLatin1Char('/') + name, lines);
}

void TestSite::add_template(const QString &project, const QString &name, const QStringList &lines) const
{
    write_lines(share(QStringLiteral("ccstorage/utils/kestrel/config/") + project + QLatin1Char('/') + name), lines);
}

void TestSite::install_kestrel() const
{
    const QString home = share(QStringLiteral("ccstorage/utils/kestrel"));
    const QString kestrel = home + QStringLiteral("/kestrel");
    QFile::remove(kestrel);
    QVERIFY(QFile::copy(QStringLiteral(QUILLON_SIM_BIN_DIR "/kestrel"), kestrel));
    QFile(kestrel).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                  QFileDevice::ReadOther | QFileDevice::ExeOther);
    write_lines(home + QStringLiteral("/kestrel.conf"),
                {QStringLiteral("KESTREL_CLEARTOOL=" QUILLON_SIM_BIN_DIR "/cleartool"),
                 QStringLiteral("CCSIM_HOME=") + root() + QStringLiteral("/ccsim"),
                 QStringLiteral("CCSIM_REGION=Windows"),
                 QStringLiteral("KESTREL_STORAGE=") + share(QStringLiteral("ccstg/views")),
                 QStringLiteral("KESTREL_VIEW_HOST=vobhost")});
}

void TestSite::import_views(const QStringList &lines) const
{
    const QString file = root() + QStringLiteral("/views.txt");
    write_lines(file, lines);
    cleartool({QStringLiteral("-sim-import"), file});
}

QString TestSite::cleartool(const QStringList &args) const
{
    QProcess p;
    p.start(QStringLiteral(QUILLON_SIM_BIN_DIR "/cleartool"), args);
    if (!p.waitForFinished(60000))
        qFatal("cleartool did not finish");
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

bool TestSite::tag_exists(const QString &tag, const QString &region) const
{
    return cleartool({QStringLiteral("lsview"), QStringLiteral("-short"), QStringLiteral("-region"), region})
        .split(QLatin1Char('\n'))
        .contains(tag);
}

frmMain *TestSite::open(const QString &cfg_name)
{
    AppGlobalsData &g = AppGlobals();
    set_config_keys(g.config);
    g.cfg_file_name = cfg_name;
    g.config.CFG_FILE = cfg_name;
    m_window = new frmMain;
    g.main_window = m_window;
    read_config_file(program_dir() + QStringLiteral("\\") + cfg_name, g.config);
    m_window->load();
    return m_window;
}

void TestSite::pick(const QString &project)
{
    QComboBox *combo = m_window->ui->projectCombo;
    combo->setCurrentIndex(combo->findText(project));
    m_window->projectCombo_Click();
}
