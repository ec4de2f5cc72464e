#pragma once

#include "kestrel/kestrel.h"

#include <QHash>
#include <QString>

class Interrupt;

// What the configured SSH client offers for the password, learnt from the
// client's own usage text the first time it is asked and kept for the rest
// of the run: a client that lists "-pwfile" reads the password from a
// private channel; any other gets it on its command line.
class SshClient {
public:
    kestrel::PasswordPassing passingFor(const QString &client, const Interrupt *interrupt);

    // Whether a usage text offers "-pwfile".
    static bool offersPasswordFile(const QByteArray &usage);

private:
    QHash<QString, kestrel::PasswordPassing> m_known;
};
