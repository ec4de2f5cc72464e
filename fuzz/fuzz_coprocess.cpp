// The co-process answer framing: whatever a command printed before its
// marker (marker-like lines included), the answer ends exactly where the
// marker begins and carries exactly the status written.

#include "fuzz.h"

#include "clearcase/clearcase.h"

#include <cstring>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 10)
        return 0;
    const int n = 1 + (data[0] | data[1] << 8) % 5000;
    long long status = 0;
    std::memcpy(&status, data + 2, sizeof status);
    if (data[1] & 0x80)
        status %= 300; // mostly ordinary statuses
    const QByteArray output = fuzz_bytes(data + 10, size - 10);
    const QByteArray written = output + "Command " + QByteArray::number(n) + " returned status " +
                               QByteArray::number(status) + (data[0] & 1 ? "\r\n" : "\n");
    const auto answer = ccparse::findAnswer(written, n);
    FUZZ_CHECK(answer.has_value());
    FUZZ_CHECK(answer->outputEnd == output.size());
    const bool fits = status >= std::numeric_limits<int>::min() && status <= std::numeric_limits<int>::max();
    FUZZ_CHECK(answer->inRange == fits);
    if (fits)
        FUZZ_CHECK(answer->status == status);
    // Another command's number never ends this answer.
    FUZZ_CHECK(!ccparse::findAnswer(written, n + 1).has_value());
    return 0;
}
