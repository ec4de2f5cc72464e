#include "types/configrecord.h"

const std::array<ConfigKey, 17> &config_keys()
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
