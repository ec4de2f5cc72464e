// The configuration reader of the site layer (format, line ends, defaults, the checks after reading,
// failures) and the one line reader under it (line ends anywhere, also across its reading blocks; long
// lines cut; lines skipped unread; a failure part-way; the last line read from the end). No window.

#include "base/errors.h"
#include "base/textfile.h"
#include "site/config_reader.h"
#include "support/failing_device.h"
#include "support/site.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
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

class TestConfigAndLines : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const { writeFile(path(name), bytes); }
    // Reads a file into a record as Main holds it before the first read.
    ConfigReadResult read(const QString &name, ConfigRecord &rec, const QString &login = u"jdoe"_s)
    {
        set_config_keys(rec);
        rec.CFG_FILE = u"mine.cfg"_s;
        return read_config_file(path(name), rec, m_dir.path(), login);
    }

private slots:
    void format_sameForEveryLineEnd()
    {
        for (const char *eol : {"\r\n", "\r", "\n"}) {
            write(u"qn.cfg"_s, QList<QByteArray>{"HOST=a=b", "VOB_SERVER=", "kestrelConfig=lower",
                                                 "a comment", "", "CFG_FILE=other.cfg", "PROJECT=zeta",
                                                 "PROJECT=alpha", "PROJECT=Alpha", "HOST =x", "ADMIN=jdoe"}
                                   .join(eol));
            ConfigRecord rec;
            const ConfigReadResult r = read(u"qn.cfg"_s, rec);
            QVERIFY(!r.missing && r.error.isEmpty() && r.checked);
            QCOMPARE(rec.HOST, u"a=b"_s);
            QCOMPARE(rec.VOB_SERVER, QString());
            QCOMPARE(rec.KESTREL_CONFIG, u"\\ccstorage\\utils\\kestrel\\config"_s);
            QCOMPARE(rec.CFG_FILE, u"mine.cfg"_s);
            QCOMPARE(rec.KESTREL, u"KESTREL"_s); // not set: still its key name
            QCOMPARE(rec.ADMIN, u"jdoe"_s);      // the last line has no end
            QCOMPARE(rec.PROJECT, u"Alpha"_s);
            QCOMPARE(r.projects, (QStringList{u"zeta"_s, u"alpha"_s, u"Alpha"_s}));
        }
    }

    void missingFile_fullDefaults()
    {
        ConfigRecord rec;
        const ConfigReadResult r = read(u"other.cfg"_s, rec);
        QVERIFY(r.missing && !r.checked);
        QCOMPARE(rec.CFG_FILE, u"qn.cfg"_s);
        QCOMPARE(rec.CFG_FILE_ALTERNATE, u"UNDEF"_s);
        QCOMPARE(rec.KESTREL, u"kestrel"_s);
        QVERIFY(rec.IS_INTEROP == u"true"_s && rec.NT_ONLY == u"true"_s && rec.VOB_SERVER == rec.HOST);
    }

    // The mode box needs an existing alternate file; the administrator controls need the login inside
    // the ADMIN text, case ignored; NT-only follows IS_INTEROP in any case.
    void checksAfterReading()
    {
        const struct {
            const char *lines, *login;
            bool alternate, admin, ntOnly;
        } rows[] = {
            {"CFG_FILE_ALTERNATE=nt.cfg\r\nADMIN=JDoe,asmith\r\nIS_INTEROP=FALSE", "doe", false, true, true},
            {"CFG_FILE_ALTERNATE=alt.cfg\r\nADMIN=jdoe\r\nIS_INTEROP=true", "bob", true, false, false},
            {"ADMIN=UNDEF", "Nde", false, true, false}};
        write(u"alt.cfg"_s, "HOST=x\r\n");
        for (const auto &row : rows) {
            write(u"qn.cfg"_s, QByteArray("HOST=h\r\n") + row.lines);
            ConfigRecord rec;
            const ConfigReadResult r = read(u"qn.cfg"_s, rec, QString::fromLatin1(row.login));
            QVERIFY2(r.alternateUsable == row.alternate, row.login);
            QVERIFY2(r.admin == row.admin, row.login);
            QVERIFY2(r.ntOnly == row.ntOnly, row.login);
        }
    }

    // A file that cannot be read to its end keeps what was read before the failure (the line reader's
    // lines up to it, then its error).
    void failurePartWay_keepsValuesReadBefore()
    {
        FailingDevice device("HOST=early\r\nPROJECT=p1\r\n");
        ConfigRecord rec;
        set_config_keys(rec);
        QStringList projects;
        QVERIFY_THROWS_EXCEPTION(QuillonError, readConfigLines(device, rec, projects));
        QCOMPARE(rec.HOST, u"early"_s);
        QCOMPARE(projects, QStringList{u"p1"_s});
        QCOMPARE(rec.KESTREL, u"KESTREL"_s);
    }

    void unreadableFile_errorNoChecks()
    {
        const QString target = u"/proc/sys/vm/drop_caches"_s; // refused even to root
        QFile probe(target);
        if (QDir::listSeparator() == u';')
            QSKIP("links are shortcut files on Windows: no link here names a file that refuses reading");
        if (!QFileInfo(target).isFile() || probe.open(QIODevice::ReadOnly))
            QSKIP("no readable-refused file on this system");
        QFile::remove(path(u"qn.cfg"_s));
        QVERIFY(QFile::link(target, path(u"qn.cfg"_s)));
        ConfigRecord rec;
        const ConfigReadResult r = read(u"qn.cfg"_s, rec);
        QCOMPARE(r.error, probe.errorString());
        QVERIFY(!r.checked && r.alternateUsable && r.admin);
    }

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

    void lastLine_fromTheEnd()
    {
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
            write(u"out"_s, r.bytes);
            QCOMPARE(readLastLine(path(u"out"_s)), r.last);
            const QStringList all = splitTextLines(QString::fromLatin1(r.bytes));
            QCOMPARE(all.isEmpty() ? QString() : all.last(), r.last); // the same as reading it all
        }
        QVERIFY_THROWS_EXCEPTION(QuillonError, readLastLine(path(u"missing"_s)));
    }
};

QTEST_GUILESS_MAIN(TestConfigAndLines)
#include "tst_config.moc"
