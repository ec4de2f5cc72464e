// Procedures whose work is not built yet: each does nothing for now.
#include "forms/frmMain.h"

