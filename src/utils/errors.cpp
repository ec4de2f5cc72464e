#include "utils/errors.h"

QString error_description(const std::exception &e)
{
    if (auto *q = dynamic_cast<const QuillonError *>(&e))
        return q->description();
    return QString::fromLocal8Bit(e.what());
}

void pass_over(const std::function<void()> &statement)
{
    try {
        statement();
    } catch (const std::exception &) {
        // This procedure goes on with its next statement by design.
    }
}
