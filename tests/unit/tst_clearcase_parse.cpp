// The lsview parsers on recorded cleartool output.

#include "clearcase/clearcase.h"
#include "clearcase/view_ops.h"

#include <QTest>

namespace {
// An active UCM view with -properties -full; a base dynamic view without "View attributes:" nor a
// properties part (view server unreachable); a snapshot view with a tag comment and CR LF.
const char *const kBlocks = "Tag: ann_int\n"
                            "  Global path: /u01/ann/ann_int.vws\n"
                            "  Server host: vobhost1\n"
                            "  Region: unix_rgn\n"
                            "  Active: YES\n"
                            "View attributes: ucmview\n"
                            "View owner: ann\n"
                            "\n"
                            "Properties: dynamic ucmview readwrite nshareable_dos\n"
                            "\n\n"
                            "Tag: jdoe_test\n"
                            "  Global path: /home/ccstg/jdoe/jdoe_test.vws\n"
                            "  Server host: vobhost1\n"
                            "  Region: unix_rgn\n"
                            "  Active: NO\n"
                            "View owner: jdoe\n"
                            "Tag: jdoe_snap \"Clone of the jdoe_view view\"\r\n"
                            "  Global path: \\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws\r\n"
                            "  Server host: vobhost2\r\n"
                            "  Region: Windows\r\n"
                            "  Active: NO\r\n"
                            "View attributes: snapshot\r\n"
                            "View owner: DOM\\jdoe\r\n";

QString fields(const ViewInfo &v)
{
    return QStringList{v.tag,
                       v.comment,
                       v.globalPath,
                       v.serverHost,
                       v.region,
                       v.owner,
                       QStringLiteral("%1%2%3").arg(v.active).arg(v.snapshot).arg(v.ucm)}
        .join(QLatin1Char('|'));
}
} // namespace

class TestClearCaseParse : public QObject {
    Q_OBJECT

private slots:
    void long_eachBlockKeepsItsOwnFields()
    {
        const QList<ViewInfo> views = ccparse::parseLsviewLong(QString::fromLatin1(kBlocks));
        QCOMPARE(views.size(), 3);
        QCOMPARE(fields(views[0]), QStringLiteral("ann_int||/u01/ann/ann_int.vws|vobhost1|unix_rgn|ann|101"));
        QCOMPARE(fields(views[1]),
                 QStringLiteral("jdoe_test||/home/ccstg/jdoe/jdoe_test.vws|vobhost1|unix_rgn|jdoe|000"));
        QCOMPARE(fields(views[2]), QStringLiteral("jdoe_snap|Clone of the jdoe_view view|"
                                                  "\\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws|"
                                                  "vobhost2|Windows|DOM\\jdoe|010"));
        QVERIFY(ccparse::parseLsviewLong(QStringLiteral("  Global path: /x\nView owner: y\n")).isEmpty());
    }

    // A "*" anywhere on a line marks it active; tags of 20+ characters; CR LF; blank lines.
    void activeAndShort()
    {
        QCOMPARE(ccparse::parseLsviewActive(
                     QStringLiteral("  jdoe_test            /home/ccstg/jdoe/jdoe_test.vws\n"
                                    "* a_tag_of_more_than_twenty_chars /u01/jdoe/long.vws\n\n"
                                    "  star_in_path         /u01/odd*dir/star.vws\r\n")),
                 (QSet<QString>{QStringLiteral("a_tag_of_more_than_twenty_chars"),
                                QStringLiteral("star_in_path")}));
        QCOMPARE(ccparse::parseLsviewShort(QStringLiteral("jdoe_test\r\n\r\nJDoe_Mixed")),
                 (QStringList{QStringLiteral("jdoe_test"), QStringLiteral("JDoe_Mixed")}));
    }

    // The view's uuid (not the tag's) and its events, in the ISO forms and the older one; a date that
    // is neither is no date.
    void long_uuidAndDates()
    {
        const QString block = QStringLiteral(
            "Tag: ravit_dyn\n"
            "  View tag uuid:aaaa.bbbb\n"
            "View uuid: 1bb3d2e8.7f0f11d8.9a43.00:01:80:9c:1e:7e\n"
            "\n"
            "Created 2004-01-30T11:47:55-06:00 by ravit.slotgrp@pigpen\n"
            "Last modified 17-Jun-10.08:13:40 by ravit.slotgrp@solaris8p\n"
            "Last accessed 2018-04-27T07:58:08Z by ravit.slotgrp@solaris8p\n"
            "Last read of private data 2010-06-17T08:13:40-05:00 by ravit.slotgrp@solaris8p\n");
        const ViewInfo v = ccparse::parseLsviewLong(block).value(0);
        QCOMPARE(v.uuid, QStringLiteral("1bb3d2e8.7f0f11d8.9a43.00:01:80:9c:1e:7e"));
        QCOMPARE(v.created.toUTC(), QDateTime(QDate(2004, 1, 30), QTime(17, 47, 55), Qt::UTC));
        QCOMPARE(v.modified, QDateTime(QDate(2010, 6, 17), QTime(8, 13, 40)));
        QCOMPARE(v.accessed.toUTC(), QDateTime(QDate(2018, 4, 27), QTime(7, 58, 8), Qt::UTC));
        for (const char *bad : {"", "yesterday", "32-Jun-10.08:13:40", "17-Jux-10.08:13:40",
                                "2018-13-01T00:00:00Z", "17-Jun-10 08:13:40"})
            QVERIFY2(!ccparse::parseDate(QString::fromLatin1(bad)).isValid(), bad);
        QCOMPARE(ccparse::parseDate(u"01-Jan-99.00:00:00").date(), QDate(1999, 1, 1));
    }

    // Only the lines of the asked view; a path keeps its blanks; lines cut short are left out.
    void checkouts_ofOneView()
    {
        const QString listing = QStringLiteral("u1 reserved 2025-09-15T09:30:00Z /vobs/app/src/a file.c\n"
                                               "u2 reserved 2025-09-15T09:30:00Z /vobs/app/other.c\n"
                                               "u1 unreserved 15-Sep-25.10:30:00 C:\\cc\\x\\factory\r\n"
                                               "u1 reserved\n"
                                               "u1x reserved 2025-09-15T09:30:00Z /vobs/app/x.c\n"
                                               "u1 reserved 2025-09-15T09:30:00Z \n");
        const QList<Checkout> cos = ccparse::parseCheckouts(listing, QStringLiteral("u1"));
        QCOMPARE(cos.size(), 2);
        QCOMPARE(cos[0].path, QStringLiteral("/vobs/app/src/a file.c"));
        QVERIFY(cos[0].reserved && cos[0].date.isValid());
        QCOMPARE(cos[1].path, QStringLiteral("C:\\cc\\x\\factory"));
        QVERIFY(!cos[1].reserved);
        QCOMPARE(cos[1].dateText, QStringLiteral("15-Sep-25.10:30:00"));
        QVERIFY(ccparse::parseCheckouts(listing, QString()).isEmpty());
    }

    // The co-process answer: a marker look-alike inside the output and a token line split over reads
    // do not end it; the token command's own marker closes it; an answer over the cap is refused whole.
    void coprocessReader_tokenLine_cap()
    {
        using State = ccparse::CoprocessReader::State;
        const QByteArray token = "quillon-end-0011223344556677";
        ccparse::CoprocessReader reader(token, 200);
        reader.expect(3);
        QCOMPARE(reader.feed(
                     "a\nCommand 3 returned status 0\nb\ncleartool: Error: x\nCommand 3 returned status 7\n"
                     "cleartool: Error: Unrecognized command: \"quillon-end-0011"),
                 State::Reading);
        QCOMPARE(reader.feed("223344556677\"\nCommand 4 returned status"), State::Reading);
        QCOMPARE(reader.feed(" 1\n"), State::Complete);
        QCOMPARE(reader.output(), QStringLiteral("a\nCommand 3 returned status 0\nb\n"));
        QCOMPARE(reader.errors(), QStringList{QStringLiteral("x")});
        QVERIFY(reader.hasStatus() && reader.statusInRange());
        QCOMPARE(reader.status(), 7);

        reader.expect(5);
        QCOMPARE(reader.feed(QByteArray(150, 'x')), State::Reading);
        QCOMPARE(reader.feed(QByteArray(60, '\n')), State::TooLarge);
        QVERIFY(reader.output().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClearCaseParse)
#include "tst_clearcase_parse.moc"
