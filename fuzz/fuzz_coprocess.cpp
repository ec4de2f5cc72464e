// The co-process answer framing: whatever a command printed (marker-like
// lines, parts of markers and line ends included), the answer ends exactly
// at the session's token line, carries exactly the status written and the
// output and errors the command wrote; and it is the same answer whichever
// way the bytes are split into reads.

#include "fuzz.h"

#include "clearcase/clearcase.h"

#include <cstring>
#include <limits>

namespace {
const QByteArray kToken = "quillon-end-5f0c2a9e4b7d13c86a2e9f0b4c7d1e3a";
constexpr size_t kMaxOutput = 1500; // every split is tried: keep it quadratic but small

struct Answer {
    ccparse::CoprocessReader::State state;
    QString output;
    QStringList errors;
    bool hasStatus;
    bool inRange;
    long long status;
    bool operator==(const Answer &) const = default;
};

Answer answerOf(const QList<QByteArrayView> &reads, int n)
{
    ccparse::CoprocessReader reader(kToken, 1 << 20);
    reader.expect(n);
    for (QByteArrayView r : reads)
        reader.feed(r);
    return {reader.state(),     reader.output(),        reader.errors(),
            reader.hasStatus(), reader.statusInRange(), reader.status()};
}

bool isDiagnostic(const QByteArray &line)
{
    return line.startsWith("cleartool: Error:") || line.startsWith("cleartool: Warning:");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 10 || size - 10 > kMaxOutput)
        return 0;
    const int n = 1 + (data[0] | data[1] << 8) % 5000;
    long long status = 0;
    std::memcpy(&status, data + 2, sizeof status);
    if (data[1] & 0x80)
        status %= 300; // mostly ordinary statuses
    const QByteArray output = fuzz_bytes(data + 10, size - 10);
    if (output.contains(kToken))
        return 0; // a fresh random word: no output holds it
    const QByteArray end = data[0] & 1 ? "\r\n" : "\n";
    const QByteArray written = output + "Command " + QByteArray::number(n) + " returned status " +
                               QByteArray::number(status) + end +
                               "cleartool: Error: Unrecognized command: \"" + kToken + "\"" + end +
                               (data[0] & 2 ? "Usage: none" + end : QByteArray()) + "Command " +
                               QByteArray::number(n + 1) + " returned status 1" + end;

    // The model: the output's lines (the last one, without its end, carries
    // the marker), diagnostics told by their prefix.
    QByteArray expectedOut;
    QStringList expectedErrors;
    qsizetype start = 0;
    while (start < output.size()) {
        qsizetype nl = output.indexOf('\n', start);
        const QByteArray piece = output.mid(start, nl < 0 ? -1 : nl + 1 - start);
        start = nl < 0 ? output.size() : nl + 1;
        if (!isDiagnostic(piece)) {
            expectedOut += piece;
            continue;
        }
        QByteArray text = piece;
        while (text.endsWith('\n') || text.endsWith('\r'))
            text.chop(1);
        if (text.startsWith("cleartool: Error:")) {
            const QString rest = QString::fromLocal8Bit(text.mid(17)).trimmed();
            expectedErrors << (rest.isEmpty() ? QString::fromLocal8Bit(text) : rest);
        }
    }

    const Answer whole = answerOf({written}, n);
    FUZZ_CHECK(whole.state == ccparse::CoprocessReader::State::Complete);
    FUZZ_CHECK(whole.hasStatus);
    const bool fits = status >= std::numeric_limits<int>::min() && status <= std::numeric_limits<int>::max();
    FUZZ_CHECK(whole.inRange == fits);
    FUZZ_CHECK(whole.status == status);
    FUZZ_CHECK(whole.output == QString::fromLocal8Bit(expectedOut));
    FUZZ_CHECK(whole.errors == expectedErrors);

    // Every split into two reads, and one byte a read, give the same answer.
    for (qsizetype i = 0; i <= written.size(); ++i) {
        const QByteArrayView w(written);
        FUZZ_CHECK(answerOf({w.first(i), w.sliced(i)}, n) == whole);
    }
    QList<QByteArrayView> bytes;
    for (qsizetype i = 0; i < written.size(); ++i)
        bytes << QByteArrayView(written).sliced(i, 1);
    FUZZ_CHECK(answerOf(bytes, n) == whole);

    // Another command's number never ends this answer.
    FUZZ_CHECK(answerOf({written}, n + 2).state == ccparse::CoprocessReader::State::Reading);
    // An answer cut before the token line is not complete.
    FUZZ_CHECK(answerOf({QByteArrayView(written).first(output.size() + 8)}, n).state ==
               ccparse::CoprocessReader::State::Reading);
    return 0;
}
