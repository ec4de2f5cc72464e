#pragma once

#include "site/configrecord.h"

#include <QString>

// The paths the site's configuration implies, formed in this one place as
// the site writes them: backslashes, and "\\" + HOST in front of a folder on
// the Unix host, which Windows reaches through the host's share.
class SitePaths {
public:
    explicit SitePaths(const ConfigRecord &config) : m_config(config) {}

    // A folder of HOST ("\..."), as reached through the share.
    QString onHost(const QString &folder) const;
    // A project's template folder as the catalogue is given it:
    // KESTREL_CONFIG + "\" + project.
    QString projectDir(const QString &project) const;
    // A template file of a project, through the share.
    QString templateFile(const QString &project, const QString &fileName) const;
    // The Kestrel program and its configuration folder, through the share.
    QString kestrelProgram() const;
    QString kestrelConfigDir() const;
    // The SSH client: SSH_HOME + "\" + SSH_CMD.
    QString sshClient() const;

private:
    const ConfigRecord &m_config;
};
