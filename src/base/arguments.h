#pragma once

#include <QString>

// The n-th parameter (from 1) of the program's command line; empty when
// there are fewer. The second form scans the given text.
QString GetParam(int n);
QString GetParam(int n, const QString &commandLine);

// The login name with every space removed.
QString get_login_name();
