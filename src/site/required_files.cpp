#include "site/required_files.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/platform.h"
#include "site/site_paths.h"

bool check_required_files(QString &msg, const ConfigRecord &rec, const QString &activeSshCmd,
                          RequiredFilesProblems &problems)
{
    const auto exists = [&problems](const QString &path, bool want_dir) {
        QString why;
        const bool found = fileExists(path, want_dir, &why);
        if (!why.isEmpty())
            problems.unreadable.append({path, why});
        return found;
    };
    try {
        const SitePaths site(rec);
        const QString ssh_client = rec.SSH_HOME + QStringLiteral("\\") + activeSshCmd;
        // The file that completes the Kestrel home path is the Kestrel
        // program itself.
        const QString kestrel = site.kestrelProgram();
        const QString configDir = site.kestrelConfigDir();

        if (!exists(ssh_client, false)) {
            msg = QStringLiteral("Required file missing --> ") + platform::toLocalPath(ssh_client);
            return false;
        }
        if (!exists(kestrel, false)) {
            msg = QStringLiteral("Required file MISSING --> ") + platform::toLocalPath(kestrel);
            return false;
        }
        if (!exists(configDir, true)) {
            msg = QStringLiteral("Required Directory missing --> ") + platform::toLocalPath(configDir);
            return false;
        }
        return true;
    } catch (const std::exception &e) {
        problems.failure = errorDescription(e);
        return false;
    }
}
