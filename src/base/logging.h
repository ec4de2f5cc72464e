#pragma once

// The program's logging categories. Off unless switched on, e.g. with
// QT_LOGGING_RULES="quillon.*=true" (or "quillon.*.warning=true" for the
// failures only); written to standard error, never to a file:
//   quillon.process    every program started: its arguments (passwords
//                      masked), exit status and duration; failures as warnings
//   quillon.clearcase  every cleartool command, the same way
//   quillon.config     where the configuration was looked for, which file
//                      was read; a missing or unreadable file as a warning

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcProcess)
Q_DECLARE_LOGGING_CATEGORY(lcClearCase)
Q_DECLARE_LOGGING_CATEGORY(lcConfig)
