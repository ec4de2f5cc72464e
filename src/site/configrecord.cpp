#include "site/configrecord.h"

#include "base/platform.h"

const std::array<ConfigKey, 17> &configKeys()
{
    static const std::array<ConfigKey, 17> keys{{
        {"HOST", &ConfigRecord::HOST},
        {"CFG_FILE", &ConfigRecord::CFG_FILE},
        {"KESTREL", &ConfigRecord::KESTREL},
        {"KESTREL_HOME", &ConfigRecord::KESTREL_HOME},
        {"KESTREL_CONFIG", &ConfigRecord::KESTREL_CONFIG},
        {"SSH_CMD", &ConfigRecord::SSH_CMD},
        {"SSH_HOME", &ConfigRecord::SSH_HOME},
        {"VOB_SERVER", &ConfigRecord::VOB_SERVER},
        {"VIEW_STORAGE", &ConfigRecord::VIEW_STORAGE},
        {"HELPDESK", &ConfigRecord::HELPDESK},
        {"PROJECT", &ConfigRecord::PROJECT},
        {"CFG_FILE_ALTERNATE", &ConfigRecord::CFG_FILE_ALTERNATE},
        {"ADMIN", &ConfigRecord::ADMIN},
        {"NT_ONLY", &ConfigRecord::NT_ONLY},
        {"CC_EXPLORER", &ConfigRecord::CC_EXPLORER},
        {"IS_INTEROP", &ConfigRecord::IS_INTEROP},
        {"USE_SSH", &ConfigRecord::USE_SSH},
    }};
    return keys;
}

void set_config_keys(ConfigRecord &rec)
{
    for (const ConfigKey &k : configKeys())
        rec.*k.field = QString::fromLatin1(k.name);
}

namespace {
// Defaults that both routines set.
void setSharedDefaults(ConfigRecord &rec)
{
    rec.ADMIN = QStringLiteral("UNDEF");
    rec.KESTREL_CONFIG = QStringLiteral("\\ccstorage\\utils\\kestrel\\config");
    rec.KESTREL_HOME = QStringLiteral("\\ccstorage\\utils\\kestrel");
    rec.HOST = QStringLiteral("vobhost");
    rec.SSH_CMD = platform::defaultSshCommand();
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
    setSharedDefaults(rec);
}

void set_config_base_defaults(ConfigRecord &rec)
{
    setSharedDefaults(rec);
}

bool isWord(const QString &value, const char *word)
{
    return value.toLower() == QLatin1String(word);
}

bool isExactlyTrue(const QString &value)
{
    return value == QLatin1String("true");
}
