#pragma once

#include "types/configrecord.h"

#include <QString>

// True when the SSH client, the Kestrel program on HOST and the Kestrel
// configuration directory on HOST all exist; otherwise false with msg set
// to the message of the first one missing.
bool check_required_files(QString &msg, const ConfigRecord &rec);
