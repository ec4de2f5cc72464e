#include "support/site.h"

#include "app/mainModule.h"
#include "site/config_reader.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

void writeFile(const QString &path, const QByteArray &bytes, bool executable)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    if (executable)
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

StandInPath::StandInPath(const QByteArray &rest)
{
    qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(m_dir.path()) + QDir::listSeparator()) + rest);
}

StandInPath::~StandInPath()
{
    qputenv("PATH", m_saved);
}

namespace {
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
    qputenv("QUILLON_PROGRAM_DIR", programDir().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", (root() + "/xdg").toLocal8Bit()); // no system configuration but the site's
    qputenv("QUILLON_UNC_ROOT", (root() + "/unc").toLocal8Bit());
    qputenv("CCSIM_HOME", (root() + "/ccsim").toLocal8Bit());
    qputenv("USER", user.toLocal8Bit());
    qputenv("USERNAME", user.toLocal8Bit()); // the login name on Windows
    qunsetenv("CCSIM_REGION");
    qunsetenv("CLEARCASE_PRIMARY_GROUP");
}

TestSite::~TestSite()
{
    if (QFileInfo(root() + "/unc/vobhost").isSymLink()) // the link to "/" goes before the tree is removed
        QFile::remove(root() + "/unc/vobhost");
    AppGlobalsData &g = AppGlobals();
    g.unloadAll(); // the main window too
    m_window = nullptr;
    m_gui.reset();
    g.config = ConfigRecord{};
    g.cfg_file_name.clear();
    g.unix_user = g.tag_user = QString();
    g.view_templates.clear();
}

QStringList TestSite::configLines(bool interop, const QStringList &extra)
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

void TestSite::writeConfig(const QString &name, const QStringList &lines) const
{
    writeFile(programDir() + '/' + name, crlf(lines));
}

void TestSite::addTemplate(const QString &project, const QString &name, const QStringList &lines) const
{
    addRawTemplate(project, name, crlf(lines));
}

void TestSite::addRawTemplate(const QString &project, const QString &name, const QByteArray &bytes) const
{
    writeFile(share("ccstorage/utils/kestrel/config/" + project + '/' + name), bytes);
}

void TestSite::importViews(const QStringList &lines) const
{
    const QString file = root() + "/views.txt";
    writeFile(file, crlf(lines));
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

frmMain *TestSite::open(const QString &cfgName)
{
    AppGlobals().cfg_file_name = cfgName;
    m_gui.reset();
    delete AppGlobals().mainWindow.data(); // the window opened before, if still there
    m_window = loadMainWindow(cfgName);
    m_gui.emplace(m_window);
    return m_window;
}

QString TestSite::addUnixKestrel() const
{
    const QString home = root() + "/unix/kestrel";
    const QByteArray here = root().toLocal8Bit();
    QDir().mkpath(root() + "/unix/views");
    writeFile(home + "/config/r6000/dev", "element * /main/LATEST\n");
    if (!QFile::copy(QUILLON_SIM_BIN_DIR "/kestrel", home + "/kestrel"))
        qFatal("cannot copy the Kestrel stand-in");
    writeFile(home + "/kestrel.conf", "KESTREL_CLEARTOOL=" QUILLON_SIM_BIN_DIR "/cleartool\nCCSIM_HOME=" +
                                          here + "/ccsim\nCCSIM_REGION=ccase_unix\nKESTREL_STORAGE=" + here +
                                          "/unix/views\nKESTREL_VIEW_HOST=vobhost\n");
    cleartool({"-sim-mkregion", "ccase_unix"});
    if (!QDir(root() + "/unc/vobhost").removeRecursively() || !QFile::link("/", root() + "/unc/vobhost"))
        qFatal("cannot make the vobhost share the whole disk");
    return home;
}

void TestSite::setKnobs(const QByteArray &lines) const
{
    writeFile(root() + "/ccsim/knobs", lines);
}

namespace {
#ifdef Q_OS_LINUX
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
#else
bool set_override_caps(bool)
{
    return false; // only Linux has capabilities to drop
}
#endif
} // namespace

HeldToFilePermissions::HeldToFilePermissions() : m_active(set_override_caps(false)) {}

HeldToFilePermissions::~HeldToFilePermissions()
{
    if (m_active)
        set_override_caps(true);
}

void writeSshStandIn(const QString &path, bool offersPasswordFile, const QString &logPrefix)
{
    const QByteArray log = logPrefix.toLocal8Bit();
    writeFile(path,
              "#!/bin/sh\n"
              "if [ $# -eq 0 ]; then echo 'Usage: client [options] [user@]host [command]';\n" +
                  QByteArray(offersPasswordFile
                                 ? "echo '  -pwfile file   login with password read from file';\n"
                                 : "") +
                  "exit 0; fi\n"
                  "echo $$ >'" +
                  log +
                  ".pid'\n"
                  "pw=\n"
                  "while :; do case $1 in -ssh) shift ;; -pw) pw=$2; shift 2 ;; "
                  "-pwfile) pw=$(cat \"$2\"); shift 2 ;; *) break ;; esac; done\n"
                  "printf '%s' \"$pw\" >'" +
                  log +
                  ".password'\n"
                  "shift\n"
                  "sleep 0.4\n"
                  "exec env -i PATH=/usr/bin:/bin sh -c \"$*\"\n",
              true);
}

bool shellScriptsRun()
{
    return QSysInfo::kernelType() != QLatin1String("winnt");
}

QString childProgram(const QString &dir, const QString &name, const QStringList &steps)
{
    const QString child = QStringLiteral(QUILLON_TEST_CHILD);
    const QString path = dir + QLatin1Char('/') + name + (child.endsWith(QLatin1String(".exe")) ? ".exe" : "");
    QFile::remove(path);
    QFile::copy(child, path);
    QFile stepsFile(path + QStringLiteral(".steps"));
    if (stepsFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        stepsFile.write(steps.join(QLatin1Char('\n')).toUtf8());
    return path;
}
