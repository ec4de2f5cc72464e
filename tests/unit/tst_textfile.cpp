// The one line reader: line ends anywhere, also across its reading blocks; long lines cut; lines
// skipped unread; a failure part-way; the last line read from the end.

#include "base/errors.h"
#include "base/textfile.h"
#include "support/failing_device.h"
#include "support/site.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
QList<QByteArray> lines_of(const QByteArray &bytes, qsizetype limit = LineReader::kNoLimit, char only = '\0')
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer, limit);
    QList<QByteArray> out;
    QByteArray line;
    while (reader.next(line, only))
        out << line + (reader.truncated() ? "~" : "");
    return out;
}
} // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void lineEnds_everyKind_acrossBlocks()
    {
        QCOMPARE(lines_of("a\r\nb\rc\nd"), (QList<QByteArray>{"a", "b", "c", "d"}));
        QCOMPARE(lines_of("\n\r\n\r"), (QList<QByteArray>{"", "", ""}));
        QCOMPARE(lines_of(""), QList<QByteArray>());
        // A CR that ends one block and an LF that starts the next are one line end.
        for (const qsizetype at : {64 * 1024 - 1, 64 * 1024, 64 * 1024 + 1}) {
            QByteArray big(at, 'x');
            big += "\r\nnext\r\n";
            const QList<QByteArray> got = lines_of(big);
            QCOMPARE(got.size(), 2);
            QCOMPARE(got[0].size(), at);
            QCOMPARE(got[1], QByteArray("next"));
        }
    }

    void longLinesCut_otherLinesSkipped()
    {
        const QByteArray text = QByteArray(200000, 'y') + "\n#key:v\nplain\n#" + QByteArray(100, 'z');
        QCOMPARE(lines_of(text, 10), (QList<QByteArray>{"yyyyyyyyyy~", "#key:v", "plain", "#zzzzzzzzz~"}));
        QCOMPARE(lines_of(text, 10, '#'), (QList<QByteArray>{"#key:v", "#zzzzzzzzz~"}));
    }

    void failurePartWay_keepsLinesBefore()
    {
        FailingDevice device("one\r\ntwo\r\n");
        LineReader reader(device);
        QByteArray line;
        QVERIFY(reader.next(line) && line == "one");
        QVERIFY(reader.next(line) && line == "two");
        QVERIFY(!reader.next(line));
        QVERIFY(!reader.error().isEmpty());
    }

    void lastLine_fromTheEnd()
    {
        QTemporaryDir dir;
        const struct {
            QByteArray bytes;
            QString last;
        } rows[] = {{"", ""},
                    {"a", "a"},
                    {"a\r\n", "a"},
                    {"a\n\n", ""},
                    {"a\r\r\n", ""},
                    {"log\rlog\ntag", "tag"},
                    {QByteArray(100000, 'x') + "\r\nend\r\n", "end"}};
        for (const auto &r : rows) {
            writeFile(dir.filePath(u"out"_s), r.bytes);
            QCOMPARE(readLastLine(dir.filePath(u"out"_s)), r.last);
            const QStringList all = splitTextLines(QString::fromLatin1(r.bytes));
            QCOMPARE(all.isEmpty() ? QString() : all.last(), r.last); // the same as reading it all
        }
        QVERIFY_THROWS_EXCEPTION(QuillonError, readLastLine(dir.filePath(u"missing"_s)));
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
