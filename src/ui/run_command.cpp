#include "ui/run_command.h"

#include "ui/messages.h"

RunResult run_command(const CommandLine &command, int window_style, const RunOptions &options)
{
    Q_UNUSED(window_style); // no platform window to pass it to
    RunResult result = runProgram(command, options);
    if (!result.started) {
        showMessage(QStringLiteral("ERROR: ") + result.startError + CRLF +
                        QStringLiteral("Could not execute --> ") + startedLine(command) + LOG_HINT,
                    MsgIcon::None, MsgButtons::Ok);
    }
    return result;
}
