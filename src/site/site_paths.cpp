#include "site/site_paths.h"

namespace {
const QString BACKSLASH = QStringLiteral("\\");
} // namespace

QString SitePaths::onHost(const QString &folder) const
{
    return QStringLiteral("\\\\") + m_config.HOST + folder;
}

QString SitePaths::projectDir(const QString &project) const
{
    return m_config.KESTREL_CONFIG + BACKSLASH + project;
}

QString SitePaths::templateFile(const QString &project, const QString &fileName) const
{
    return onHost(projectDir(project)) + BACKSLASH + fileName;
}

QString SitePaths::kestrelProgram() const
{
    return onHost(m_config.KESTREL_HOME) + BACKSLASH + m_config.KESTREL;
}

QString SitePaths::kestrelConfigDir() const
{
    return onHost(m_config.KESTREL_CONFIG);
}

QString SitePaths::sshClient() const
{
    return m_config.SSH_HOME + BACKSLASH + m_config.SSH_CMD;
}
