#include "support/site.h"

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "main/mainModule.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
void write_bytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray crlf(const QStringList &lines)
{
    return lines.isEmpty() ? QByteArray() : (lines.join("\r\n") + "\r\n").toLocal8Bit();
}
} // namespace

TestSite::TestSite(const QString &user)
{
    for (const char *dir : {"program", "unc/vobhost/ccstorage/utils/kestrel/config", "unc/vobhost/tools/ssh",
                            "unc/vobhost/ccstg/views", "ccsim"})
        QDir(root()).mkpath(QLatin1String(dir));
    qputenv("QUILLON_PROGRAM_DIR", program_dir().toLocal8Bit());
    qputenv("QUILLON_UNC_ROOT", (root() + "/unc").toLocal8Bit());
    qputenv("CCSIM_HOME", (root() + "/ccsim").toLocal8Bit());
    qputenv("USER", user.toLocal8Bit());
    qunsetenv("CCSIM_REGION");
    qunsetenv("CLEARCASE_PRIMARY_GROUP");
}

TestSite::~TestSite()
{
    AppGlobalsData &g = AppGlobals();
    g.unload_all(); // the main window too
    m_window = nullptr;
    g.config = ConfigRecord{};
    g.cfg_file_name.clear();
    g.unix_user = g.tag_user = QString();
    g.view_templates.clear();
}

QStringList TestSite::config_lines(bool interop, const QStringList &extra)
{
    const QString yes = interop ? "true" : "false", no = interop ? "false" : "true";
    return QStringLiteral(
               "HOST=vobhost|VOB_SERVER=vobhost|KESTREL=kestrel|KESTREL_HOME=\\ccstorage\\utils\\kestrel|"
               "KESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config|SSH_CMD=plink|"
               "SSH_HOME=\\\\vobhost\\tools\\ssh|VIEW_STORAGE=\\\\vobhost\\ccstg\\views|"
               "PROJECT=r6000|PROJECT=mainline|ADMIN=jdoe|CC_EXPLORER=false|USE_SSH=false")
               .split('|') +
           QStringList{"NT_ONLY=" + no, "IS_INTEROP=" + yes} + extra;
}

void TestSite::write_config(const QString &name, const QStringList &lines) const
{
    write_bytes(program_dir() + '/' + name, crlf(lines));
}

void TestSite::add_template(const QString &project, const QString &name, const QStringList &lines) const
{
    add_raw_template(project, name, crlf(lines));
}

void TestSite::add_raw_template(const QString &project, const QString &name, const QByteArray &bytes) const
{
    write_bytes(share("ccstorage/utils/kestrel/config/" + project + '/' + name), bytes);
}

void TestSite::import_views(const QStringList &lines) const
{
    const QString file = root() + "/views.txt";
    write_bytes(file, crlf(lines));
    cleartool({"-sim-import", file});
}

QString TestSite::cleartool(const QStringList &args) const
{
    QProcess p;
    p.start(QUILLON_SIM_BIN_DIR "/cleartool", args);
    if (!p.waitForFinished(60000))
        qFatal("cleartool did not finish");
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

frmMain *TestSite::open(const QString &cfg_name)
{
    AppGlobals().cfg_file_name = cfg_name;
    delete AppGlobals().main_window.data(); // the window opened before, if still there
    m_window = load_main_window(cfg_name);
    return m_window;
}

void TestSite::pick(const QString &project)
{
    QComboBox *combo = m_window->ui->projectCombo;
    combo->setCurrentIndex(combo->findText(project));
    m_window->projectCombo_Click();
}

QStringList TestSite::items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void TestSite::select(QListWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

namespace {
bool set_override_caps(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        const auto bit = 1u << (cap % 32);
        if (on)
            data[cap / 32].effective |= bit & data[cap / 32].permitted;
        else
            data[cap / 32].effective &= ~bit;
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}
} // namespace

HeldToFilePermissions::HeldToFilePermissions() : m_active(set_override_caps(false)) {}

HeldToFilePermissions::~HeldToFilePermissions()
{
    if (m_active)
        set_override_caps(true);
}
