// The lsview parsers on recorded cleartool output.

#include "outside/clearcase.h"

#include <QTest>

namespace {

// A base dynamic view: no "View attributes:" line.
const char *const kUnixBlock = "Tag: jdoe_test\n"
                               "  Global path: /home/ccstg/jdoe/jdoe_test.vws\n"
                               "  Server host: vobhost1\n"
                               "  Region: unix_rgn\n"
                               "  Active: NO\n"
                               "  View tag uuid:7b065a0e.43d711e8.8aff.00:50:56:a5:0b:8e\n"
                               "View on host: vobhost1\n"
                               "View server access path: /home/ccstg/jdoe/jdoe_test.vws\n"
                               "View uuid: 7b065a0e.43d711e8.8aff.00:50:56:a5:0b:8e\n"
                               "View owner: jdoe\n";

const char *const kWindowsSnapshotBlock =
    "Tag: jdoe_snap \"Clone of the jdoe_view view\"\r\n"
    "  Global path: \\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws\r\n"
    "  Server host: vobhost2\r\n"
    "  Region: Windows\r\n"
    "  Active: NO\r\n"
    "  View tag uuid:d0f2f25d.eeba4c53.82fb.b5:d9:f5:54:88:8d\r\n"
    "View on host: vobhost2\r\n"
    "View server access path: c:\\ClearCase_Storage\\views\\DOM\\jdoe\\jdoe_snap.vws\r\n"
    "View uuid: d0f2f25d.eeba4c53.82fb.b5:d9:f5:54:88:8d\r\n"
    "View attributes: snapshot\r\n"
    "View owner: DOM\\jdoe\r\n";

// An active UCM dynamic view listed with -properties -full (shortened).
const char *const kUcmPropertiesBlock = "Tag: ann_int\n"
                                        "  Global path: /u01/ann/ann_int.vws\n"
                                        "  Server host: vobhost1\n"
                                        "  Region: unix_rgn\n"
                                        "  Active: YES\n"
                                        "View server access path: /u01/ann/ann_int.vws\n"
                                        "View attributes: ucmview\n"
                                        "View owner: ann\n"
                                        "\n"
                                        "Properties: dynamic ucmview readwrite nshareable_dos\n"
                                        "Owner: ann              : rwx (all)\n"
                                        "Additional groups: ccusrs\n";

QString fields(const ViewInfo &v)
{
    return QStringList{v.tag,
                       v.comment,
                       v.global_path,
                       v.server_host,
                       v.region,
                       v.owner,
                       QStringLiteral("%1%2%3").arg(v.active).arg(v.snapshot).arg(v.ucm)}
        .join(QLatin1Char('|'));
}

} // namespace

class TestClearCaseParse : public QObject {
    Q_OBJECT

private slots:
    // Blank lines between blocks; the second block lacks its properties part
    // (view server unreachable); the third has a tag comment and CR LF.
    void long_recordedBlocks_eachKeepsItsOwnFields()
    {
        const QList<ViewInfo> views =
            ccparse::parse_lsview_long(QString::fromLatin1(kUcmPropertiesBlock) + QStringLiteral("\n\n") +
                                       QString::fromLatin1(kUnixBlock) + QStringLiteral("\n") +
                                       QString::fromLatin1(kWindowsSnapshotBlock));
        QCOMPARE(views.size(), 3);
        QCOMPARE(fields(views[0]), QStringLiteral("ann_int||/u01/ann/ann_int.vws|vobhost1|unix_rgn|ann|101"));
        QCOMPARE(fields(views[1]),
                 QStringLiteral("jdoe_test||/home/ccstg/jdoe/jdoe_test.vws|vobhost1|unix_rgn|jdoe|000"));
        QCOMPARE(fields(views[2]), QStringLiteral("jdoe_snap|Clone of the jdoe_view view|"
                                                  "\\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws|"
                                                  "vobhost2|Windows|DOM\\jdoe|010"));

        QVERIFY(ccparse::parse_lsview_long(QString()).isEmpty());
        QVERIFY(ccparse::parse_lsview_long(QStringLiteral("  Global path: /x\nView owner: y\n")).isEmpty());
    }

    void long_attributeCombinations()
    {
        for (const auto &[attributes, flags] :
             {std::pair{"snapshot,ucmview", "011"}, {"ucmview", "001"}, {"webview", "000"}}) {
            QString text = QString::fromLatin1(kUnixBlock);
            text.replace(QStringLiteral("View owner:"),
                         QStringLiteral("View attributes: %1\nView owner:").arg(QLatin1String(attributes)));
            const QList<ViewInfo> views = ccparse::parse_lsview_long(text);
            QCOMPARE(views.size(), 1);
            QVERIFY2(fields(views[0]).endsWith(QLatin1String(flags)), attributes);
        }
    }

    // A line holding "*" anywhere (even in its path) is active, as the
    // one-tag question has it; tags of 20+ characters; CR LF.
    void active_marksOnlyStartedLines()
    {
        const QString text =
            QStringLiteral("  jdoe_test            /home/ccstg/jdoe/jdoe_test.vws\n"
                           "* a_tag_of_more_than_twenty_chars /u01/jdoe/long.vws\n"
                           "\n"
                           "* jdoe_local           vobhost1:/local/views/jdoe_local.vws\n"
                           "  star_in_path         /u01/odd*dir/star.vws\r\n"
                           "* jdoe_view            \\\\vobhost1\\ccstg\\views\\jdoe_view.vws\r\n");
        QCOMPARE(
            ccparse::parse_lsview_active(text),
            (QSet<QString>{QStringLiteral("a_tag_of_more_than_twenty_chars"), QStringLiteral("jdoe_local"),
                           QStringLiteral("star_in_path"), QStringLiteral("jdoe_view")}));
    }

    void short_bareTags_crlfAndBlankLines()
    {
        QCOMPARE(ccparse::parse_lsview_short(QStringLiteral("jdoe_test\r\nJDoe_Mixed\r\n\r\njdoe_last")),
                 (QStringList{QStringLiteral("jdoe_test"), QStringLiteral("JDoe_Mixed"),
                              QStringLiteral("jdoe_last")}));
        QVERIFY(ccparse::parse_lsview_short(QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClearCaseParse)
#include "tst_clearcase_parse.moc"
