#include "main/required_files.h"

#include "main/appglobals.h"
#include "utils/errors.h"
#include "utils/helpers.h"
#include "utils/messages.h"

bool check_required_files(QString &msg, const ConfigRecord &rec)
{
    try {
        const QString ssh_client = rec.SSH_HOME + QStringLiteral("\\") + AppGlobals().config.SSH_CMD;
        // The file that completes the Kestrel home path is the Kestrel
        // program itself.
        const QString kestrel =
            QStringLiteral("\\\\") + rec.HOST + rec.KESTREL_HOME + QStringLiteral("\\") + rec.KESTREL;
        const QString config_dir = QStringLiteral("\\\\") + rec.HOST + rec.KESTREL_CONFIG;

        if (!file_exists(ssh_client, false)) {
            msg = QStringLiteral("Required file missing --> ") + ssh_client;
            return false;
        }
        if (!file_exists(kestrel, false)) {
            msg = QStringLiteral("Required file MISSING --> ") + kestrel;
            return false;
        }
        if (!file_exists(config_dir, true)) {
            msg = QStringLiteral("Required Directory missing --> ") + config_dir;
            return false;
        }
        return true;
    } catch (const std::exception &e) {
        msg_box(QStringLiteral("Error::") + error_description(e) + CRLF +
                    QStringLiteral("Failed to check required files::check_required_files()") + CRLF,
                MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error"));
        return false;
    }
}
