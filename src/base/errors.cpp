#include "base/errors.h"

QString errorDescription(const std::exception &e)
{
    if (auto *q = dynamic_cast<const QuillonError *>(&e))
        return q->description();
    return QString::fromLocal8Bit(e.what());
}

void passOver(const std::function<void()> &statement)
{
    try {
        statement();
    } catch (const std::exception &) {
        // This procedure goes on with its next statement by design.
    }
}
