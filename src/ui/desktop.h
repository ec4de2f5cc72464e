#pragma once

#include <QString>

// Opens an address in the desktop's browser (the shell's "open" action).
void openUrl(const QString &address);
