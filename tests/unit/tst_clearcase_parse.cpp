// The lsview parsers on recorded cleartool output.

#include "clearcase/clearcase.h"

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
};

QTEST_GUILESS_MAIN(TestClearCaseParse)
#include "tst_clearcase_parse.moc"
