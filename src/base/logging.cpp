#include "base/logging.h"

// Off unless asked for: the windows report what matters to the user.
Q_LOGGING_CATEGORY(lcProcess, "quillon.process", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcClearCase, "quillon.clearcase", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcConfig, "quillon.config", QtCriticalMsg)
