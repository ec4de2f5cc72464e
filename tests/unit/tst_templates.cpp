// A project's template catalogue without a window: the files listed and skipped, the user behind the
// tags, the markers from two batched questions (equal to the single questions), the descriptions.
// What the window shows of a huge template and the failures are tried through the window.

#include "clearcase/clearcase.h"
#include "site/templates.h"
#include "support/site.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString UNC_DIR = u"\\\\vobhost\\ccstorage\\utils\\kestrel\\config"_s;
// Each "markers" template with its marker for the typed user "Ann" (login "ann").
const QStringList MARKERS{u"act A"_s, u"cre C"_s, u"snapc CS"_s, u"snapa AS"_s, u"typedonly C"_s, u"dev U"_s};
} // namespace

class TestTemplates : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    std::unique_ptr<CCSession> session;
    std::unique_ptr<ClearCaseApp> cc;
    std::unique_ptr<ClearTool> tool;

    Catalogue load(const QString &project, const QString &user)
    {
        int yields = 0;
        Catalogue c = loadCatalogue(UNC_DIR + u"\\"_s + project, user, *cc, *tool, [&yields] { ++yields; });
        if (c.listingError.isEmpty())
            [&] { QVERIFY(yields >= int(c.templates.size())); }();
        return c;
    }

private slots:
    void init()
    {
        site = std::make_unique<TestSite>(u"ann"_s);
        session = std::make_unique<CCSession>();
        cc = std::make_unique<ClearCaseApp>(*session);
        tool = std::make_unique<ClearTool>(*session);
        for (const QString &f : {u"alpha/dev"_s, u"alpha/rel_2"_s, u"alpha/kestrel.dft"_s,
                                 u"alpha/.defaults"_s, u"alpha/Kestrel.dft"_s})
            site->addTemplate(f.section('/', 0, 0), f.section('/', 1), {u"element * /main/LATEST"_s});
        for (const QString &m : MARKERS)
            site->addRawTemplate(u"markers"_s, m.section(' ', 0, 0),
                                 m.startsWith(u"snap"_s)
                                     ? "#Kestrel_Snapdir:C:\\s\r#Kestrel_Description:snap\r"
                                     : "element * CHECKEDOUT\r\n");
        site->importViews({u"Windows|ann__act|p||active|ann"_s, u"Windows|ann__cre|p||dynamic|ann"_s,
                           u"Windows|ann__snapc|p||snapshot|ann"_s, u"Windows|ann__snapa|p||snapshot|ann"_s,
                           u"Windows|Ann__snapa|p||active|ann"_s, u"Windows|Ann__typedonly|p||-|ann"_s});
    }
    void cleanup()
    {
        tool.reset();
        cc.reset();
        session.reset();
        site.reset();
    }

    // Ordinary files only, the two names skipped exactly; tags in lower case whatever the user's case.
    void listing_skipsAndTags()
    {
        if (QFile::exists(site->share(u"ccstorage/utils/kestrel/config/alpha/KESTREL.DFT"_s)))
            QSKIP("this file system ignores the case of names: kestrel.dft and Kestrel.dft are one file");
        const Catalogue c = load(u"alpha"_s, u"AnnM"_s);
        QStringList tags;
        for (const TemplateRecord &r : c.templates) {
            tags << r.tag;
            QCOMPARE(r.path, UNC_DIR + u"\\alpha\\"_s + r.file_name);
            QCOMPARE(r.status, u"U"_s);
        }
        tags.sort();
        QCOMPARE(tags, (QStringList{u"annm__Kestrel.dft"_s, u"annm__dev"_s, u"annm__rel_2"_s}));
    }

    // The markers of the batched questions, from the lower-case and the typed tag. (That a batch
    // answers as the single questions do: tst_clearcase_layer.)
    void markers_fromLowerAndTypedTag()
    {
        const Catalogue c = load(u"markers"_s, u"Ann"_s);
        QCOMPARE(qsizetype(c.templates.size()), MARKERS.size());
        for (const TemplateRecord &r : c.templates)
            QCOMPARE(r.file_name + u' ' + r.status, MARKERS.filter(r.file_name + u' ').value(0));
    }

    void description_rulesOnCrLfCrAndLfFiles()
    {
        const std::tuple<QStringList, const char *, bool> cases[] = {
            {{u"element * /main/LATEST"_s, u"# note: none"_s}, "", false},
            {{u"#Kestrel_Snapdir:C:\\v"_s, u"#kestrel_description: a:b"_s}, " a:b", true},
            {{u"#Kestrel_Description:d"_s, u"#Kestrel_UCMVob:\\vobs\\pvob"_s,
              u"#kestrel_ucmnewstream:dev_stream"_s},
             "[Description]: d  This View is a UCM View.\r\n[UCM Project VOB]: \\vobs\\pvob\r\n"
             "[Tied to UCM Stream]: dev_stream",
             false},
            {{u"#Kestrel_UCMVob:v"_s, u"#Kestrel_Description:plain"_s, u"#Kestrel_UCMStream:s"_s},
             "plain\r\n[Tied to UCM Stream]: s",
             false},
            {{u"#Kestrel_Description :no"_s}, "", false},
        };
        for (const auto &[lines, description, snapshot] : cases) {
            for (const char *eol : {"\r\n", "\r", "\n"}) {
                site->addRawTemplate(u"desc"_s, u"t"_s, (lines.join(QLatin1String(eol)) + eol).toLatin1());
                bool is_snapshot = !snapshot;
                QString error;
                QCOMPARE(get_view_description(UNC_DIR + u"\\desc\\t"_s, is_snapshot, &error),
                         QString::fromLatin1(description));
                QCOMPARE(is_snapshot, snapshot);
                QVERIFY(error.isEmpty());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
