// The template list on the main window, driven as a user does: which projects list templates, the
// user behind the tags, the first choice re-reading the configuration, the notes and the read-only
// box, the bounded display, the editor, and the failures a user is told of.

#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QtTest>

class TestTemplatesWindow : public WindowTest {
    Q_OBJECT

    // A project's template folder as messages show it.
    QString shown(const QString &project) const
    {
        return QDir::toNativeSeparators(site->share("ccstorage/utils/kestrel/config/" + project));
    }

    // An interop site starting in interop mode (so the user-name mapping is offered), with extra lines.
    void open(const QStringList &extra = {})
    {
        site->writeConfig(
            "qn.cfg",
            TestSite::configLines(true, QStringList{"NT_ONLY=false", "ADMIN=ann", "PROJECT=alpha",
                                                    "PROJECT=markers", "PROJECT=ghost", "PROJECT=ri2zad"} +
                                            extra));
        site->open();
    }
    // Types a Unix user name into the mapping box (offered once a first project has been chosen).
    void mapUser(const QString &name)
    {
        if (!find("usernameMappingCB")->isEnabled())
            site->pick("alpha");
        if (!find<QCheckBox>("usernameMappingCB")->isChecked())
            gui().click("usernameMappingCB");
        gui().type("usernameMappingTxt", name);
    }

private slots:
    void init()
    {
        msgs.clear();
        site = std::make_unique<TestSite>("ann");
        for (const char *f : {"alpha/dev", "alpha/rel_2", "alpha/kestrel.dft", "ri2zad/dev"})
            site->addTemplate(QString(f).section('/', 0, 0), QString(f).section('/', 1),
                              {"element * /main/LATEST"});
        site->addRawTemplate("markers", "cre", "element * CHECKEDOUT\r\n");
        site->addRawTemplate("markers", "snapa", "#Kestrel_Snapdir:C:\\s\r#Kestrel_Description:snap\r");
        site->addRawTemplate("markers", "snapc", "#Kestrel_Snapdir:C:\\s\r#Kestrel_Description:snap\r");
        site->addRawTemplate("markers", "typedonly", "element * CHECKEDOUT\r\n");
        site->importViews({"Windows|ann__cre|p||dynamic|ann", "Windows|ann__snapc|p||snapshot|ann",
                           "Windows|ann__snapa|p||snapshot|ann", "Windows|Ann__snapa|p||active|ann",
                           "Windows|Ann__typedonly|p||-|ann"});
    }

    void cleanup()
    {
        site.reset();
        QCOMPARE(msgs.shown, QList<Msg>()); // every test clears the messages it expects
    }

    // Reserved and missing projects list nothing; "View" without templates says so.
    void listing_reservedAndMissingProjects()
    {
        open();
        for (const char *project : {"alpha", "ri2zad", "ghost"}) {
            site->pick(project);
            QCOMPARE(gui().items("viewsList").size(), project[0] == 'a' ? 2 : 0);
        }
        gui().click("viewBut");
        QCOMPARE(msgs.shown,
                 (QList<Msg>{{"ERROR: Directory not exist --> " + shown("ghost"), MsgIcon::Critical},
                             {"You must first selecct a project", MsgIcon::Information}}));
        msgs.clear();
    }

    // The typed name only when IS_INTEROP is true (in any case); tags in lower case; an emptied name
    // leaves no user, and the existing views cannot be listed.
    void userName_typedOnlyWhenInterop()
    {
        const std::tuple<const char *, QString, QString> cases[] = {
            {"TRUE", "AnnM", "AnnM"}, {"false", "AnnM", "ann"}, {"true", "", ""}};
        for (const auto &[interop, typed, user] : cases) {
            open({QStringLiteral("IS_INTEROP=") + interop});
            if (QLatin1String(interop) != "false")
                mapUser(typed);
            site->pick("alpha");
            QStringList tags = gui().items("viewsList");
            tags.sort();
            QCOMPARE(tags, (QStringList{user.toLower() + "__dev", user.toLower() + "__rel_2"}));
            QCOMPARE(AppGlobals().tag_user, user);
        }
        QVERIFY(msgs.shown.size() == 1 && msgs.shown[0].text.contains("User is not identified yet"));
        msgs.clear();
    }

    // The first choice re-reads the configuration, later ones load directly; notes, the read-only box
    // and the existing view's row follow the template clicked.
    void display_notesReadOnlyBoxAndExistingViewRow()
    {
        open();
        site->writeConfig(
            "qn.cfg", TestSite::configLines(true, {"NT_ONLY=false", "PROJECT=markers", "PROJECT=later1"}));
        mapUser("Ann"); // the first choice (to offer the mapping) re-reads the file
        site->pick("markers");
        QVERIFY(find<QComboBox>("projectCombo")->findText("later1") >= 0);
        auto *readOnly = find<QCheckBox>("readOnlyConfigCB"); // on the configuration panel
        QVERIFY(gui().trigger("Configuration"));
        gui().click("readOnlyConfigCB");
        gui().click("butBack");
        QVERIFY(readOnly->isChecked());
        const QString note = QStringLiteral("NOTE: View ann__%1 has been created ");
        const std::pair<const char *, QString> rows[] = {
            {"cre", note.arg("cre") + "by is not active"},
            {"snapa", note.arg("snapa") + "and is active"},
            {"typedonly", note.arg("typedonly") + "by is not active"},
            {"snapc", QString()}};
        for (const auto &[name, text] : rows) {
            gui().select("viewsList", QStringLiteral("ann__") + name);
            QCOMPARE(find("txtMsg")->isHidden(), text.isEmpty());
            QCOMPARE(find<QPlainTextEdit>("txtMsg")->toPlainText(), text);
            QCOMPARE(readOnly->isChecked(), QLatin1String(name) == "cre"); // a snapshot clears it
            if (name[0] == 't') // the existing view under the typed tag is selected
                QCOMPARE(find<QListWidget>("myViewsList")->currentItem()->text(),
                         QStringLiteral("Ann__typedonly"));
        }
        site->writeConfig("qn.cfg",
                          TestSite::configLines(true, {"NT_ONLY=false", "PROJECT=alpha", "PROJECT=later2"}));
        site->pick("alpha");
        QCOMPARE(find<QComboBox>("projectCombo")->findText("later2"), -1);
        QCOMPARE(gui().items("viewsList").size(), 2);
    }

    // A template of megabytes shows its start and says the rest is in the file. A double click, like
    // "View", opens the template in the editor named on the configuration panel, given the template's
    // path as one argument; it creates nothing.
    void hugeTemplate_shownBounded_doubleClickOpensEditor()
    {
        site->addRawTemplate("alpha", "huge",
                             "#Kestrel_Description:" + QByteArray(1 << 20, 'd') + "\n" +
                                 QByteArray(2 << 20, 'c') + "\n");
        site->addTemplate("alpha", "with blank", {"element * /main/LATEST"});
        open();
        site->pick("alpha");
        gui().select("viewsList", "ann__huge");
        const QString description = find<QPlainTextEdit>("descTxt")->toPlainText();
        QVERIFY(description.size() < 20 * 1024);
        QVERIFY(description.endsWith(
            "[The rest is not shown here: it is in the template file, which \"View\" opens whole.]"));
        const QString spec = find<QPlainTextEdit>("txtConfigSpec")->toPlainText();
        QVERIFY(spec.size() < 300 * 1024);
        QVERIFY(spec.endsWith(
            "[Only the first 256 KB of this 3.0 MB file are shown here; \"View\" opens it whole.]\n"));

        const QString log = site->root() + "/editor.log";
        gui().type("useEditorTxt", childProgram(site->root(), "editor", {"args=" + log}));
        gui().doubleClick("viewsList", "ann__with blank");
        QTRY_VERIFY(QFile::exists(log));
        QCOMPARE(QDir::fromNativeSeparators(QString::fromLocal8Bit(readFile(log))),
                 "[" + site->share("ccstorage/utils/kestrel/config/alpha/with blank") + "]");
        QVERIFY(!site->tagExists("ann__with blank"));
    }

    // A project folder that cannot be listed is an error, and the previous project's description and
    // note go; a catalogue that ClearCase cannot answer says so once and shows no marker as a fact.
    void failures_unreadableFolder_clearToolMissing()
    {
        open();
        mapUser("Ann");
        site->pick("markers");
        gui().select("viewsList", "ann__cre");
        QVERIFY(!find("txtMsg")->isHidden());
        {
            HeldToFilePermissions held;
            if (!held.active())
                QSKIP("cannot be held to file permissions here");
            QFile::setPermissions(site->share("ccstorage/utils/kestrel/config/alpha"), QFile::WriteOwner);
            site->pick("alpha");
            QFile::setPermissions(site->share("ccstorage/utils/kestrel/config/alpha"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QCOMPARE(msgs.shown, (QList<Msg>{{"Error reading config directory --> " + shown("alpha"),
                                          MsgIcon::Critical}}));
        QVERIFY(find<QPlainTextEdit>("descTxt")->toPlainText().isEmpty() && find("txtMsg")->isHidden());
        QCOMPARE(gui().items("viewsList").size(), 0);
        msgs.clear();

        {
            const StandInPath noCleartool("/usr/bin:/bin");
            open();
            site->pick("markers");
        }
        QCOMPARE(msgs.shown.size(), 1);
        QVERIFY2(msgs.shown[0].text.startsWith("ClearTool returned error: Unable to start cleartool: "),
                 qPrintable(msgs.shown[0].text));
        QCOMPARE(msgs.shown[0].icon, MsgIcon::None);
        QCOMPARE(gui().items("viewStatusList"), QStringList(4, "?"));
        gui().select("viewsList", "ann__cre");
        QVERIFY(find("txtMsg")->isHidden());
        msgs.clear();
    }
};

QTEST_MAIN(TestTemplatesWindow)
#include "tst_templates_window.moc"
