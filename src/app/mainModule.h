#pragma once

#include <QString>

// Brings the program up: refuses a second instance, reads the configuration
// named on the command line, loads and shows the main window and warns about
// missing required files. False when the program should end at once.
bool Main();

class frmMain;

// Brings the main window up on the named configuration file in the
// program's folder: key names first, then the file read with the window in
// place (the reader fills its project list and sets its look), then the
// window's load. The window is not shown yet.
frmMain *loadMainWindow(const QString &cfg_name);

// The configuration file name: the first parameter, or "qn.cfg".
void Process_Arguments(QString &cfg_name);
