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

#include <QSet>

#include <algorithm>

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
// Adds the projects read to the main window's list, which keeps its items
// sorted without regard to letter case and holds no two that are equal
// ignoring case: all at once, so that a file of many projects costs one
// sort, not a scan of the list per project.
void add_projects(frmMain *w, const QStringList &read)
{
    if (!w || read.isEmpty())
        return;
    QComboBox *combo = w->ui->projectCombo;
    QStringList items;
    QSet<QString> listed;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
        listed.insert(combo->itemText(i).toCaseFolded());
    }
    bool added = false;
    for (const QString &project : read) {
        const QString folded = project.toCaseFolded();
        if (listed.contains(folded))
            continue;
        listed.insert(folded);
        items << project;
        added = true;
    }
    if (!added)
        return;
    std::stable_sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    // Filling the list must not change the text the combo box shows.
    const QString shown = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(items);
    combo->setEditText(shown);
}
} // namespace

void read_config_lines(QIODevice &device, ConfigRecord &rec, QStringList &projects)
{
    // Line by line as it is read: a failure part-way keeps what was read
    // before it.
    LineReader reader(device);
    QByteArray bytes;
    while (reader.next(bytes)) {
        const QString line = decode_text(bytes);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        if (key == QLatin1String("CFG_FILE"))
            continue;
        for (const ConfigKey &k : config_keys()) {
            if (key == QLatin1String(k.name)) {
                rec.*k.field = line.mid(eq + 1);
                if (k.field == &ConfigRecord::PROJECT)
                    projects << rec.PROJECT;
                break;
            }
        }
    }
    if (!reader.error().isEmpty())
        throw QuillonError(reader.error());
}

void read_config_file(const QString &path, ConfigRecord &rec)
{
    if (!file_exists(path, false)) {
        msg_box(QStringLiteral("File does not exist --> ") + path, MsgIcon::Critical);
        set_config_defaults(rec);
        return;
    }
    frmMain *w = AppGlobals().main_window;
    QStringList projects; // every PROJECT value, in file order
    try {
        set_config_base_defaults(rec);
        const auto file = open_text_file(path);
        read_config_lines(*file, rec, projects);
        add_projects(w, projects);
        if (!w)
            return;
        w->set_nt_only(rec.IS_INTEROP.toLower() == QLatin1String("false"));
        if (rec.CFG_FILE_ALTERNATE == QLatin1String("CFG_FILE_ALTERNATE") ||
            !file_exists(platform::program_dir() + QStringLiteral("\\") + rec.CFG_FILE_ALTERNATE, false))
            w->want(w->ui->opModeCB, false);
        const QString login = strip_non_ansi(get_login_name()).toLower();
        if (!rec.ADMIN.toLower().contains(login)) {
            w->ui->showConfigBut->setEnabled(false);
            w->want(w->ui->viewBut, false);
        }
    } catch (const std::exception &e) {
        add_projects(w, projects);
        msg_box(QStringLiteral("Error processing config file --> ") + path + QStringLiteral(":: ") +
                    error_description(e),
                MsgIcon::Critical);
    }
}
