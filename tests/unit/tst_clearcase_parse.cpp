// The lsview parsers on recorded cleartool output.

#include "outside/clearcase.h"

#include <QTest>

namespace {

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

// An active UCM dynamic view listed with -properties -full.
const char *const kUcmPropertiesBlock = "Tag: ann_int\n"
                                        "  Global path: /u01/ann/ann_int.vws\n"
                                        "  Server host: vobhost1\n"
                                        "  Region: unix_rgn\n"
                                        "  Active: YES\n"
                                        "  View tag uuid:11111111.22222222.3333.44:55:66:77:88:99\n"
                                        "View on host: vobhost1\n"
                                        "View server access path: /u01/ann/ann_int.vws\n"
                                        "View uuid: 11111111.22222222.3333.44:55:66:77:88:99\n"
                                        "View attributes: ucmview\n"
                                        "View owner: ann\n"
                                        "\n"
                                        "Created 2018-04-27T07:58:08Z by ann.ann@vobhost1\n"
                                        "Last modified 2018-05-16T13:27:59Z by ann.ann@vobhost1\n"
                                        "Text mode: unix\n"
                                        "Properties: dynamic ucmview readwrite nshareable_dos\n"
                                        "Owner: ann              : rwx (all)\n"
                                        "Group: ann              : --- (none)\n"
                                        "Other:                  : --- (none)\n"
                                        "Additional groups: ccusrs\n";

} // namespace

class TestClearCaseParse : public QObject {
    Q_OBJECT

private slots:
    void long_unixBaseDynamicView_readsEveryField()
    {
        const QList<ViewInfo> views = ccparse::parse_lsview_long(QString::fromLatin1(kUnixBlock));
        QCOMPARE(views.size(), 1);
        const ViewInfo &v = views[0];
        QCOMPARE(v.tag, QStringLiteral("jdoe_test"));
        QVERIFY(v.comment.isEmpty());
        QCOMPARE(v.global_path, QStringLiteral("/home/ccstg/jdoe/jdoe_test.vws"));
        QCOMPARE(v.server_host, QStringLiteral("vobhost1"));
        QCOMPARE(v.region, QStringLiteral("unix_rgn"));
        QCOMPARE(v.owner, QStringLiteral("jdoe"));
        QVERIFY(!v.active);
        QVERIFY(!v.snapshot);
        QVERIFY(!v.ucm);
    }

    void long_windowsSnapshotWithComment_crlf()
    {
        const QList<ViewInfo> views = ccparse::parse_lsview_long(QString::fromLatin1(kWindowsSnapshotBlock));
        QCOMPARE(views.size(), 1);
        const ViewInfo &v = views[0];
        QCOMPARE(v.tag, QStringLiteral("jdoe_snap"));
        QCOMPARE(v.comment, QStringLiteral("Clone of the jdoe_view view"));
        QCOMPARE(v.global_path, QStringLiteral("\\\\vobhost2\\ccstg_c\\views\\DOM\\jdoe\\jdoe_snap.vws"));
        QCOMPARE(v.server_host, QStringLiteral("vobhost2"));
        QCOMPARE(v.region, QStringLiteral("Windows"));
        QCOMPARE(v.owner, QStringLiteral("DOM\\jdoe"));
        QVERIFY(v.snapshot);
        QVERIFY(!v.ucm);
    }

    void long_attributeCombinations_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("ucm");
        QTest::newRow("snapshot,ucmview") << "snapshot,ucmview" << true << true;
        QTest::newRow("ucmview") << "ucmview" << false << true;
        QTest::newRow("snapshot") << "snapshot" << true << false;
        QTest::newRow("webview") << "webview" << false << false;
    }

    void long_attributeCombinations()
    {
        QFETCH(QString, attributes);
        QFETCH(bool, snapshot);
        QFETCH(bool, ucm);
        QString text = QString::fromLatin1(kUnixBlock);
        text.replace(QStringLiteral("View owner:"),
                     QStringLiteral("View attributes: ") + attributes + QStringLiteral("\nView owner:"));
        const QList<ViewInfo> views = ccparse::parse_lsview_long(text);
        QCOMPARE(views.size(), 1);
        QCOMPARE(views[0].snapshot, snapshot);
        QCOMPARE(views[0].ucm, ucm);
    }

    // Several blocks, blank lines between them, one with its properties part,
    // one whose properties part is missing (view server unreachable).
    void long_severalBlocks_eachKeepsItsOwnFields()
    {
        const QString text = QString::fromLatin1(kUcmPropertiesBlock) + QStringLiteral("\n\n") +
                             QString::fromLatin1(kUnixBlock) + QStringLiteral("\n") +
                             QString::fromLatin1(kWindowsSnapshotBlock);
        const QList<ViewInfo> views = ccparse::parse_lsview_long(text);
        QCOMPARE(views.size(), 3);
        QCOMPARE(views[0].tag, QStringLiteral("ann_int"));
        QVERIFY(views[0].active);
        QVERIFY(views[0].ucm);
        QVERIFY(!views[0].snapshot);
        QCOMPARE(views[0].owner, QStringLiteral("ann"));
        QCOMPARE(views[1].tag, QStringLiteral("jdoe_test"));
        QVERIFY(!views[1].active);
        QVERIFY(!views[1].ucm);
        QCOMPARE(views[2].tag, QStringLiteral("jdoe_snap"));
        QVERIFY(views[2].snapshot);
    }

    void long_emptyOrForeignText_givesNoViews()
    {
        QVERIFY(ccparse::parse_lsview_long(QString()).isEmpty());
        QVERIFY(ccparse::parse_lsview_long(QStringLiteral("  Global path: /x\nView owner: y\n")).isEmpty());
    }

    void active_defaultFormat_marksOnlyStartedLines()
    {
        const QString text = QStringLiteral("  jdoe_test            /home/ccstg/jdoe/jdoe_test.vws\n"
                                            "* jdoe_R6000           /u01/jdoe/jdoe_R6000.vws\n"
                                            "  jdoe_R6000_migration /u01/jdoe/jdoe_R6000_m.vws\n"
                                            "* a_tag_of_more_than_twenty_chars /u01/jdoe/long.vws\n"
                                            "\n"
                                            "* jdoe_local           vobhost1:/local/views/jdoe_local.vws\n"
                                            "  star_in_path         /u01/odd*dir/star.vws\n");
        const QSet<QString> expected = {QStringLiteral("jdoe_R6000"),
                                        QStringLiteral("a_tag_of_more_than_twenty_chars"),
                                        QStringLiteral("jdoe_local"), QStringLiteral("star_in_path")};
        QCOMPARE(ccparse::parse_lsview_active(text), expected);
    }

    void active_windowsCrlf()
    {
        const QString text =
            QStringLiteral("* jdoe_view            \\\\vobhost1\\ccstg\\views\\jdoe_view.vws\r\n"
                           "  jdoe_other           \\\\vobhost1\\ccstg\\views\\jdoe_other.vws\r\n");
        QCOMPARE(ccparse::parse_lsview_active(text), QSet<QString>{QStringLiteral("jdoe_view")});
    }

    void short_bareTags_crlfAndBlankLines()
    {
        const QString text = QStringLiteral("jdoe_test\r\nJDoe_Mixed\r\n\r\njdoe_last");
        const QStringList expected = {QStringLiteral("jdoe_test"), QStringLiteral("JDoe_Mixed"),
                                      QStringLiteral("jdoe_last")};
        QCOMPARE(ccparse::parse_lsview_short(text), expected);
        QVERIFY(ccparse::parse_lsview_short(QString()).isEmpty());
    }

    void short_hundredThousandTags_allReadInOrder()
    {
        QString text;
        for (int i = 0; i < 100000; ++i)
            text += QStringLiteral("view_%1\n").arg(i);
        const QStringList tags = ccparse::parse_lsview_short(text);
        QCOMPARE(tags.size(), 100000);
        QCOMPARE(tags.first(), QStringLiteral("view_0"));
        QCOMPARE(tags[51234], QStringLiteral("view_51234"));
        QCOMPARE(tags.last(), QStringLiteral("view_99999"));
    }
};

QTEST_GUILESS_MAIN(TestClearCaseParse)
#include "tst_clearcase_parse.moc"
