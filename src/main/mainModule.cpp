#include "main/mainModule.h"

#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "main/required_files.h"
#include "outside/platform.h"
#include "utils/errors.h"
#include "utils/messages.h"

#include <memory>

namespace {
std::unique_ptr<platform::SingleInstance> &instance()
{
    static std::unique_ptr<platform::SingleInstance> i;
    return i;
}
} // namespace

bool Main()
{
    if (!instance())
        instance() = std::make_unique<platform::SingleInstance>();
    if (instance()->another_is_running()) {
        msg_box(QStringLiteral("Quillon is already running"), MsgIcon::Exclamation);
        return false;
    }

    AppGlobalsData &g = AppGlobals();
    QString path;
    try {
        Process_Arguments(g.cfg_file_name);
        path = platform::program_dir() + QStringLiteral("\\") + g.cfg_file_name;
        frmMain *w = load_main_window(g.cfg_file_name);
        w->show();

        QString msg;
        if (!check_required_files(msg, g.config))
            msg_box(msg, MsgIcon::Critical);
    } catch (const std::exception &e) {
        msg_box(QStringLiteral("Error::") + error_description(e) + CRLF +
                    QStringLiteral("Failed to process file --> ") + path + CRLF +
                    QStringLiteral("Aborting Quillon::Main()") + CRLF + QStringLiteral("Status:"),
                MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Quillon:Error Encountered..."));
        g.unload_all();
        return false;
    }
    return true;
}

frmMain *load_main_window(const QString &cfg_name)
{
    AppGlobalsData &g = AppGlobals();
    set_config_keys(g.config);
    g.config.CFG_FILE = cfg_name;
    auto *w = new frmMain;
    g.main_window = w;
    read_config_file(platform::program_dir() + QStringLiteral("\\") + cfg_name, g.config);
    w->load();
    return w;
}

void Process_Arguments(QString &cfg_name)
{
    const QString first = GetParam(1);
    cfg_name = first.isEmpty() ? QStringLiteral("qn.cfg") : first;
}

QString GetParam(int n)
{
    return GetParam(n, platform::command_line_args());
}

QString GetParam(int n, const QString &command_line)
{
    QString result;
    int number = 1;
    bool in_param = false;
    bool in_quotes = false;
    for (const QChar c : command_line) {
        const bool quote = c == QLatin1Char('"');
        const bool space = c == QLatin1Char(' ');
        if (in_param) {
            if ((in_quotes && quote) || (!in_quotes && space)) {
                ++number;
                in_param = false;
                in_quotes = false;
            }
        } else if (!space) {
            if (number > n)
                break;
            in_param = true;
            in_quotes = quote;
        }
        if (number == n && in_param && !quote)
            result += c;
    }
    return result;
}

QString get_login_name()
{
    QString name = platform::login_name();
    name.remove(QLatin1Char(' '));
    return name;
}
