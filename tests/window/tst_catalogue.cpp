// The project catalogue on the main window: template files, the user behind the tags, the markers,
// descriptions, the template display and the last-line reader.
#include "forms/frmMain.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QtTest>

namespace {
const QString CFG_DIR = QStringLiteral("\\ccstorage\\utils\\kestrel\\config");
const QString UNC_DIR = QStringLiteral("\\\\vobhost") + CFG_DIR;
// Each "markers" template with its marker for the typed user "Ann" (login "ann").
const QStringList MARKERS{"act A", "cre C", "snapc CS", "snapa AS", "typedonly C", "dev U"};
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    MessageRecorder m_msgs;
    frmMain *m_w = nullptr;
    Ui::frmMain *ui = nullptr;

    void write_config(const QStringList &extra = {}) const
    {
        site->write_config(
            "qn.cfg", TestSite::config_lines(true, QStringList{"PROJECT=alpha", "PROJECT=markers"} + extra));
    }

    // Loads a project directly, with this name typed into the mapping box.
    void load_as(const QString &project, const QString &typed)
    {
        ui->usernameMappingCB->setChecked(true);
        ui->usernameMappingTxt->setText(typed);
        ui->projectCombo->setEditText(project);
        m_w->get_view_templates(CFG_DIR + "\\" + project);
    }

private slots:
    void init()
    {
        m_msgs.clear();
        site = std::make_unique<TestSite>("ann");
        write_config();
        for (const QString f :
             {"alpha/dev", "alpha/rel_2", "alpha/kestrel.dft", "alpha/.defaults", "ri2zad/dev"})
            site->add_template(f.section('/', 0, 0), f.section('/', 1), {"element * /main/LATEST"});
        for (const QString &m : MARKERS)
            site->add_raw_template("markers", m.section(' ', 0, 0),
                                   m.startsWith("snap")
                                       ? "#Kestrel_Snapdir:C:\\s\r#Kestrel_Description:snap\r"
                                       : "element * CHECKEDOUT\r\n");
        site->import_views({"Windows|ann__act|p||active|ann", "Windows|ann__cre|p||dynamic|ann",
                            "Windows|ann__snapc|p||snapshot|ann", "Windows|ann__snapa|p||snapshot|ann",
                            "Windows|Ann__snapa|p||active|ann", "Windows|Ann__typedonly|p||-|ann"});
        m_w = site->open();
        ui = m_w->ui;
    }

    void cleanup()
    {
        site.reset();
        QCOMPARE(m_msgs.texts(), QStringList()); // every test clears the messages it expects
    }

    void listing_reservedMissingAndNonTemplateNames()
    {
        for (const char *project : {"alpha", "<choose project>", "ri2zad", "ghost"}) {
            load_as(project, "Bob");
            QCOMPARE(TestSite::items(ui->viewsList).size(), project[0] == 'a' ? 2 : 0);
        }
        ui->viewBut->setEnabled(true);
        ui->viewBut->click();
        QCOMPARE(m_msgs.shown,
                 (QList<Msg>{{"ERROR: Directory not exist --> " + UNC_DIR + "\\ghost", MsgIcon::Critical},
                             {"You must first selecct a project", MsgIcon::Information}}));
        m_msgs.clear();
    }

    // The typed name only when IS_INTEROP is true (in any case); tags in lower case.
    void userName_typedOnlyWhenInterop()
    {
        const std::tuple<const char *, QString, QString> cases[] = {
            {"TRUE", "AnnM", "AnnM"}, {"false", "AnnM", "ann"}, {"true", "", ""}};
        for (const auto &[interop, typed, user] : cases) {
            AppGlobals().config.IS_INTEROP = interop;
            load_as("alpha", typed);
            QStringList tags = TestSite::items(ui->viewsList);
            tags.sort();
            QCOMPARE(tags, (QStringList{user.toLower() + "__dev", user.toLower() + "__rel_2"}));
            QCOMPARE(AppGlobals().tag_user, user);
        }
        m_w->get_myviews("Windows");
        QCOMPARE(m_msgs.shown, (QList<Msg>{{"First select a project from the project \r\npull-down menu.  "
                                            "Warning: User is not identified yet.\r\n",
                                            MsgIcon::Exclamation}}));
        m_msgs.clear();
    }

    // The batched questions give what the single ones about the lower-case and the typed tag give.
    void markers_batchedEqualSingleQuestions()
    {
        load_as("markers", "Ann");
        const auto &records = AppGlobals().view_templates;
        QCOMPARE(qsizetype(records.size()), MARKERS.size());
        for (int i = 0; i < MARKERS.size(); ++i) {
            const TemplateRecord &r = records[size_t(i)];
            QCOMPARE(ui->viewStatusList->item(i)->text(), r.status);
            const QString lower = r.tag, typed = "Ann__" + r.file_name;
            QString single = m_w->view_active(lower) || m_w->view_active(typed)           ? "A"
                             : m_w->view_tag_exists(lower) || m_w->view_tag_exists(typed) ? "C"
                                                                                          : "U";
            if (m_w->is_view_snapshot(lower) || m_w->is_view_snapshot(typed))
                single += 'S';
            QCOMPARE(single, r.status);
            QCOMPARE(MARKERS.filter(r.file_name + ' ').first().section(' ', 1), r.status);
        }
    }

    void description_rulesOnCrLfCrAndLfFiles()
    {
        const std::tuple<QStringList, const char *, bool> cases[] = {
            {{"element * /main/LATEST", "# note: none"}, "", false},
            {{"#Kestrel_Snapdir:C:\\v", "#kestrel_description: a:b"}, " a:b", true},
            {{"#Kestrel_Description:d", "#Kestrel_UCMVob:\\vobs\\pvob", "#kestrel_ucmnewstream:dev_stream"},
             "[Description]: d  This View is a UCM View.\r\n[UCM Project VOB]: \\vobs\\pvob\r\n"
             "[Tied to UCM Stream]: dev_stream",
             false},
            {{"#Kestrel_UCMVob:v", "#Kestrel_Description:plain", "#Kestrel_UCMStream:s"},
             "plain\r\n[Tied to UCM Stream]: s",
             false},
        };
        for (const auto &[lines, description, snapshot] : cases) {
            for (const char *eol : {"\r\n", "\r", "\n"}) {
                site->add_raw_template("desc", "t", (lines.join(eol) + eol).toLatin1());
                bool is_snapshot = !snapshot;
                QCOMPARE(m_w->get_view_description(UNC_DIR + "\\desc\\t", is_snapshot), QString(description));
                QCOMPARE(is_snapshot, snapshot);
            }
        }
    }

    // The first project choice rereads the configuration, later ones load directly.
    void display_notesReadOnlyBoxAndExistingViewRow()
    {
        ui->usernameMappingCB->setChecked(true);
        ui->usernameMappingTxt->setText("Ann");
        write_config({"PROJECT=later1"});
        site->pick("markers");
        QVERIFY(ui->projectCombo->findText("later1") >= 0);
        ui->readOnlyConfigCB->setChecked(true);
        const QString note = QStringLiteral("NOTE: View ann__%1 has been created ");
        const std::pair<const char *, QString> rows[] = {
            {"cre", note.arg("cre") + "by is not active"},
            {"snapa", note.arg("snapa") + "and is active"},
            {"typedonly", note.arg("typedonly") + "by is not active"},
            {"snapc", QString()}};
        for (const auto &[name, text] : rows) {
            TestSite::select(ui->viewsList, QStringLiteral("ann__") + name);
            QCOMPARE(ui->txtMsg->isHidden(), text.isEmpty());
            QCOMPARE(ui->txtMsg->toPlainText(), text);
            QCOMPARE(ui->readOnlyConfigCB->isChecked(), QLatin1String(name) == "cre"); // a snapshot clears it
            if (name[0] == 't') // the existing view under the typed tag is selected
                QCOMPARE(ui->myViewsList->currentItem()->text(), QStringLiteral("Ann__typedonly"));
        }
        write_config({"PROJECT=later2"});
        site->pick("alpha");
        QCOMPARE(ui->projectCombo->findText("later2"), -1);
        QCOMPARE(ui->viewsList->count(), 2);
    }

    // Whatever a template holds, the window shows a bounded part of it and says that the rest is in
    // the file: a one-line description of a megabyte and a config spec of two megabytes.
    void hugeTemplate_shownBounded_withNote()
    {
        site->add_raw_template("alpha", "huge",
                               "#Kestrel_Description:" + QByteArray(1 << 20, 'd') + "\n" +
                                   QByteArray(2 << 20, 'c') + "\n");
        load_as("alpha", "Ann");
        TestSite::select(ui->viewsList, "ann__huge");
        const QString description = ui->descTxt->toPlainText();
        QVERIFY(description.size() < 300 * 1024);
        QVERIFY(
            description.endsWith("[The rest is not shown here: it is in the template file, which \"View\" "
                                 "opens whole.]"));
        const QString spec = ui->txtConfigSpec->toPlainText();
        QVERIFY(spec.size() < 300 * 1024);
        QVERIFY2(spec.endsWith("[Only the first 256 KB of this 3.0 MB file are shown here; \"View\" opens it "
                               "whole.]\n"),
                 qPrintable(spec.right(120)));
        QCOMPARE(AppGlobals().view_templates.front().description.size() < 300 * 1024, true);
    }

    // A project folder that cannot be listed is an error, and the previous project's description and
    // note go; a catalogue that ClearCase cannot answer says so once and shows no marker as a fact.
    void failures_unreadableFolder_clearToolMissing()
    {
        load_as("markers", "Ann");
        TestSite::select(ui->viewsList, "ann__cre");
        QVERIFY(!ui->txtMsg->isHidden());
        {
            HeldToFilePermissions held;
            if (!held.active())
                QSKIP("cannot be held to file permissions here");
            QFile::setPermissions(site->share("ccstorage/utils/kestrel/config/alpha"), QFile::WriteOwner);
            load_as("alpha", "Ann");
            QFile::setPermissions(site->share("ccstorage/utils/kestrel/config/alpha"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QCOMPARE(m_msgs.shown, (QList<Msg>{{"Error reading config directory --> " + UNC_DIR + "\\alpha",
                                            MsgIcon::Critical}}));
        QVERIFY(ui->descTxt->toPlainText().isEmpty() && ui->txtMsg->isHidden());
        QCOMPARE(ui->viewsList->count(), 0);
        m_msgs.clear();

        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/usr/bin:/bin"); // no cleartool anywhere
        site->open();
        m_w = AppGlobals().main_window;
        ui = m_w->ui;
        site->pick("markers");
        qputenv("PATH", path);
        QCOMPARE(m_msgs.shown.size(), 1);
        QVERIFY2(m_msgs.shown[0].text.startsWith("ClearTool returned error: Unable to start cleartool: "),
                 qPrintable(m_msgs.shown[0].text));
        QCOMPARE(m_msgs.shown[0].icon, MsgIcon::None);
        QCOMPARE(TestSite::items(ui->viewStatusList), QStringList(MARKERS.size(), "?"));
        TestSite::select(ui->viewsList, "ann__cre");
        QVERIFY(ui->txtMsg->isHidden());
        m_msgs.clear();
    }

    void lastLine_missingEmptyAndMultiLineFiles()
    {
        const QString missing = UNC_DIR + "\\out\\missing.out";
        QCOMPARE(m_w->gcsv(missing), QStringLiteral("FAILED"));
        QCOMPARE(m_msgs.shown,
                 (QList<Msg>{{"(gcsv): File does not exist --> " + missing, MsgIcon::Critical}}));
        m_msgs.clear();
        site->add_raw_template("out", "empty.out", "");
        QCOMPARE(m_w->gcsv(UNC_DIR + "\\out\\empty.out"), QString());
        site->add_raw_template("out", "ann.out", "mkview log\r\nsetcs\rdone\nann__dev\r\n");
        QCOMPARE(m_w->gcsv(UNC_DIR + "\\out\\ann.out"), QStringLiteral("ann__dev"));
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
