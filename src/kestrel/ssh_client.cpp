#include "kestrel/ssh_client.h"

#include "base/process.h"

#include <QRegularExpression>

namespace {
// A usage text that takes longer than this is not waited for.
constexpr int kUsageTimeoutMs = 10'000;
} // namespace

bool SshClient::offersPasswordFile(const QByteArray &usage)
{
    static const QRegularExpression option(QStringLiteral("(^|\\s)-pwfile(\\s|$)"));
    return option.match(QString::fromLocal8Bit(usage)).hasMatch();
}

kestrel::PasswordPassing SshClient::passingFor(const QString &client, const Interrupt *interrupt)
{
    const auto known = m_known.constFind(client);
    if (known != m_known.cend())
        return *known;
    // The client without arguments prints its usage and ends.
    RunOptions options;
    options.interrupt = interrupt;
    options.captureOutput = true;
    options.timeoutMs = kUsageTimeoutMs;
    const RunResult usage = runProgram(CommandLine(client), options);
    const auto how = usage.started && offersPasswordFile(usage.errors)
                         ? kestrel::PasswordPassing::PrivateChannel
                         : kestrel::PasswordPassing::CommandLine;
    // A client that could not be started is asked again next time.
    if (usage.started)
        m_known.insert(client, how);
    return how;
}
