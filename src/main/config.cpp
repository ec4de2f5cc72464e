#include "main/config.h"

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/mainModule.h"
#include "outside/platform.h"
#include "ui_frmMain.h"
#include "utils/errors.h"
#include "utils/helpers.h"
#include "utils/messages.h"
#include "utils/textfile.h"

void set_config_keys(ConfigRecord &rec)
{
    for (const ConfigKey &k : config_keys())
        rec.*k.field = QString::fromLatin1(k.name);
}

namespace {
// Defaults that both routines set.
void set_shared_defaults(ConfigRecord &rec)
{
    rec.ADMIN = QStringLiteral("UNDEF");
    rec.KESTREL_CONFIG = QStringLiteral("\\ccstorage\\utils\\kestrel\\config");
    rec.KESTREL_HOME = QStringLiteral("\\ccstorage\\utils\\kestrel");
    rec.HOST = QStringLiteral("vobhost");
    rec.SSH_CMD = QStringLiteral("plink-x86.exe");
    rec.SSH_HOME = QStringLiteral("\\\\vobhost\\tools\\ssh");
    rec.VOB_SERVER = QStringLiteral("vobhost");
    rec.HELPDESK = QStringLiteral("https://helpdesk.example.com/logon");
    rec.CC_EXPLORER = QStringLiteral("false");
    rec.IS_INTEROP = QStringLiteral("true");
    rec.USE_SSH = QStringLiteral("false");
    rec.NT_ONLY = QStringLiteral("true");
}
} // namespace

void set_config_defaults(ConfigRecord &rec)
{
    rec.KESTREL = QStringLiteral("kestrel");
    rec.CFG_FILE = QStringLiteral("qn.cfg");
    rec.CFG_FILE_ALTERNATE = QStringLiteral("UNDEF");
    set_shared_defaults(rec);
}

void set_config_base_defaults(ConfigRecord &rec)
{
    set_shared_defaults(rec);
}

namespace {
// Adds a project to the main window's list, which keeps its items sorted.
void add_project(frmMain *w, const QString &project)
{
    QComboBox *combo = w->ui->projectCombo;
    if (is_dup_list(project, combo))
        return;
    int at = 0;
    while (at < combo->count() && QString::compare(combo->itemText(at), project, Qt::CaseInsensitive) <= 0)
        ++at;
    // Inserting into an editable combo must not change the text it shows.
    const QString shown = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->insertItem(at, project);
    combo->setEditText(shown);
}
} // namespace

void read_config_file(const QString &path, ConfigRecord &rec)
{
    if (!file_exists(path, false)) {
        msg_box(QStringLiteral("File does not exist --> ") + path, MsgIcon::Critical);
        set_config_defaults(rec);
        return;
    }
    frmMain *w = AppGlobals().main_window;
    try {
        set_config_base_defaults(rec);
        const QStringList lines = read_text_lines(path);
        for (const QString &line : lines) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            const QString key = line.left(eq);
            if (key == QLatin1String("CFG_FILE"))
                continue;
            for (const ConfigKey &k : config_keys()) {
                if (key == QLatin1String(k.name)) {
                    rec.*k.field = line.mid(eq + 1);
                    if (k.field == &ConfigRecord::PROJECT && w)
                        add_project(w, rec.PROJECT);
                    break;
                }
            }
        }
        if (!w)
            return;
        w->set_nt_only(rec.IS_INTEROP.toLower() == QLatin1String("false"));
        if (rec.CFG_FILE_ALTERNATE == QLatin1String("CFG_FILE_ALTERNATE") ||
            !file_exists(platform::program_dir() + QStringLiteral("\\") + rec.CFG_FILE_ALTERNATE, false))
            w->ui->opModeCB->setEnabled(false);
        const QString login = strip_non_ansi(get_login_name()).toLower();
        if (!rec.ADMIN.toLower().contains(login)) {
            w->ui->showConfigBut->setEnabled(false);
            w->ui->viewBut->setEnabled(false);
        }
    } catch (const std::exception &e) {
        msg_box(QStringLiteral("Error processing config file --> ") + path + QStringLiteral(":: ") +
                    error_description(e),
                MsgIcon::Critical);
    }
}
