// The project catalogue on the main window: which files are templates, the
// user name behind the tags, the status markers, descriptions, the template
// display and the last-line reader.
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QtTest>

namespace {
const QString CFG_DIR = QStringLiteral("\\ccstorage\\utils\\kestrel\\config");
const QString UNC_DIR = QStringLiteral("\\\\vobhost") + CFG_DIR;
const QString PLACEHOLDER = QStringLiteral("<enter user name>");

// The "markers" project's views, for the typed user "Ann" and the login "ann".
const QStringList MARKER_VIEWS =
    QStringLiteral(
        "Windows|ann__act|p||active|ann;Windows|ann__cre|p||dynamic|ann;Windows|ann__snapc|p||snapshot|ann;"
        "Windows|ann__snapa|p||snapshot|ann;Windows|Ann__snapa|p||active|ann;Windows|Ann__typedonly|p||-|ann;"
        "Windows|ann__snapstar|snap*||snapshot|ann;Windows|joann__dev|p||active|joann;"
        "Windows|ann__dev_old|p||active|ann;ccase_unix|ann__none|p||active|ann;"
        "Windows|ann__long_template_name_x|p||active|ann")
        .split(';');
// Each template with its marker for "Ann" and for "ann".
const QStringList MARKERS{"act A A",     "cre C C",        "snapc CS CS",
                          "snapa AS CS", "snapstar AS AS", "typedonly C U",
                          "dev U U",     "none U U",       "long_template_name_x A A"};
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

    // Loads a project directly, with the user name typed into the mapping box.
    void load_as(const QString &project, const QString &typed, bool checked = true)
    {
        ui->usernameMappingCB->setChecked(checked);
        ui->usernameMappingTxt->setText(typed);
        ui->projectCombo->setEditText(project);
        m_w->get_view_templates(CFG_DIR + "\\" + project);
    }

    static QStringList sorted(const QListWidget *list)
    {
        QStringList out = TestSite::items(list);
        out.sort();
        return out;
    }

    void select(const char *name)
    {
        TestSite::select(ui->viewsList, QStringLiteral("ann__") + QLatin1String(name));
        QCOMPARE(ui->viewStatusList->currentRow(), ui->viewsList->currentRow());
    }

private slots:
    void init()
    {
        site = std::make_unique<TestSite>("ann");
        write_config();
        for (const QString f : {"alpha/dev", "alpha/rel_2", "alpha/kestrel.dft", "alpha/.defaults",
                                "only/.defaults", "only/kestrel.dft", "caps/KESTREL.DFT", "ri2zad/dev"})
            site->add_template(f.section('/', 0, 0), f.section('/', 1), {"element * /main/LATEST"});
        for (const QString &m : MARKERS)
            site->add_raw_template(
                "markers", m.section(' ', 0, 0),
                m.startsWith("snap")
                    ? "#Kestrel_Snapdir:C:\\s\r#Kestrel_Description:snap\relement * CHECKEDOUT\r"
                    : "element * CHECKEDOUT\r\n");
        site->import_views(MARKER_VIEWS);
        m_w = site->open();
        ui = m_w->ui;
    }

    // Every test ends with the messages it expects cleared.
    void cleanup()
    {
        site.reset();
        const QStringList left = m_msgs.texts();
        m_msgs.clear();
        QCOMPARE(left, QStringList());
    }

    void listing_reservedMissingAndNonTemplateNames()
    {
        load_as("alpha", "Ann");
        for (const char *project : {"<choose project>", "ri2zad", "ghost"}) {
            load_as(project, "Bob");
            QCOMPARE(ui->viewsList->count(), 0);
            QCOMPARE(ui->viewStatusList->count(), 2); // nothing else is cleared
        }
        QCOMPARE(AppGlobals().tag_user, QStringLiteral("Ann"));
        ui->viewBut->setEnabled(true);
        ui->viewBut->click();
        QCOMPARE(m_msgs.texts(), (QStringList{"ERROR: Directory not exist --> " + UNC_DIR + "\\ghost",
                                              "You must first selecct a project"}));
        m_msgs.clear();
        load_as("only", PLACEHOLDER);
        QCOMPARE(ui->viewsList->count(), 0);
        load_as("caps", PLACEHOLDER);
        QCOMPARE(TestSite::items(ui->viewsList), QStringList{"ann__KESTREL.DFT"});
    }

    // The login name unless IS_INTEROP is true and a name is typed; tags in
    // lower case; an emptied box gives tags without a user and no views.
    void userName_typedOnlyWhenInterop()
    {
        const std::tuple<const char *, bool, QString, QString> cases[] = {{"TRUE", true, "AnnM", "AnnM"},
                                                                          {"false", true, "AnnM", "ann"},
                                                                          {"true", false, "AnnM", "ann"},
                                                                          {"true", true, PLACEHOLDER, "ann"},
                                                                          {"true", true, "", ""}};
        for (const auto &[interop, checked, typed, user] : cases) {
            AppGlobals().config.IS_INTEROP = interop;
            load_as("alpha", typed, checked);
            QCOMPARE(sorted(ui->viewsList),
                     (QStringList{user.toLower() + "__dev", user.toLower() + "__rel_2"}));
            QCOMPARE(AppGlobals().tag_user, user);
            QCOMPARE(ui->userNameLbl->text(), user.toLower());
        }
        ui->myViewsList->addItem("kept");
        m_w->get_myviews("Windows");
        QCOMPARE(m_msgs.texts().size(), 1);
        QVERIFY(m_msgs.texts().first().startsWith("First select a project from the project "));
        QCOMPARE(TestSite::items(ui->myViewsList), QStringList{"kept"});
        m_msgs.clear();
    }

    // The markers, and that the batched questions give for every tag what the
    // single questions about the lower-case and the typed tag give.
    void markers_batchedEqualSingleQuestions()
    {
        for (const QString &typed : {QStringLiteral("Ann"), PLACEHOLDER}) {
            const bool mixed = typed == QLatin1String("Ann");
            load_as("markers", typed);
            const auto &records = AppGlobals().view_templates;
            QCOMPARE(qsizetype(records.size()), MARKERS.size());
            QCOMPARE(TestSite::items(ui->viewStatusList).size(), MARKERS.size());
            QVERIFY(!ui->viewStatusList->isEnabled());
            for (int i = 0; i < MARKERS.size(); ++i) {
                const TemplateRecord &r = records[size_t(i)];
                QCOMPARE(ui->viewsList->item(i)->text(), r.tag);
                QCOMPARE(ui->viewStatusList->item(i)->text(), r.status);
                const QString lower = r.tag, other = (mixed ? typed : "ann") + "__" + r.file_name;
                QString single = "U";
                if (m_w->view_active(lower) || m_w->view_active(other))
                    single = "A";
                else if (m_w->view_tag_exists(lower) || m_w->view_tag_exists(other))
                    single = "C";
                if (m_w->is_view_snapshot(lower) || m_w->is_view_snapshot(other))
                    single += 'S';
                const QString expected =
                    MARKERS.filter(r.file_name + ' ').first().section(' ', mixed ? 1 : 2, mixed ? 1 : 2);
                QVERIFY2(r.status == single && r.status == expected,
                         qPrintable(r.tag + ": " + r.status + " vs " + single + " and " + expected));
            }
        }
    }

    void projectChoice_firstRereadsConfigurationLaterOnesLoadDirectly()
    {
        write_config({"PROJECT=later1"});
        site->pick("markers");
        QVERIFY(ui->projectCombo->findText("later1") >= 0);
        QCOMPARE(TestSite::items(ui->viewsList).size(), MARKERS.size());
        QVERIFY(ui->myViewsList->count() > 0);
        write_config({"PROJECT=later2"});
        site->pick("alpha");
        QCOMPARE(ui->projectCombo->findText("later2"), -1);
        QCOMPARE(ui->viewsList->count(), 2);
        QCOMPARE(ui->viewsList->currentRow(), 0);
        QVERIFY(AppGlobals().progress().isHidden());
    }

    void description_rulesOnCrLfCrAndLfFiles()
    {
        const std::tuple<QStringList, const char *, bool> cases[] = {
            {{"element * /main/LATEST", "# note: none"}, "", false},
            {{"#Kestrel_Snapdir:C:\\v", "#kestrel_description: a:b", "#Kestrel_Description :x"},
             " a:b",
             true},
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

    void display_noteReadOnlyBoxTemplateTextAndExistingViewRow()
    {
        ui->usernameMappingCB->setChecked(true);
        ui->usernameMappingTxt->setText("Ann");
        site->pick("markers");
        const QString created = QStringLiteral("NOTE: View ann__%1 has been created ");
        const std::pair<const char *, QString> notes[] = {
            {"cre", created.arg("cre") + "by is not active"},
            {"snapa", created.arg("snapa") + "and is active"},
            {"snapc", QString()},
            {"dev", QString()},
            {"typedonly", created.arg("typedonly") + "by is not active"}};
        for (const auto &[name, text] : notes) {
            select(name);
            QCOMPARE(ui->txtMsg->isHidden(), text.isEmpty());
            QCOMPARE(ui->txtMsg->toPlainText(), text);
        }
        // The existing view under the typed tag is the one selected.
        QCOMPARE(ui->myViewsList->currentItem()->text(), QStringLiteral("Ann__typedonly"));
        QCOMPARE(m_w->read_template_text("snapc"),
                 QStringLiteral(
                     "#Kestrel_Snapdir:C:\\s\r\n#Kestrel_Description:snap\r\nelement * CHECKEDOUT\r\n"));

        ui->readOnlyConfigCB->setChecked(true);
        select("cre");
        QVERIFY(ui->readOnlyConfigCB->isChecked());
        select("snapc");
        QVERIFY(!ui->readOnlyConfigCB->isChecked());
        QCOMPARE(ui->descTxt->toPlainText(), QStringLiteral("snap"));
        QVERIFY(ui->txtConfigSpec->toPlainText().contains("element * CHECKEDOUT"));
    }

    void lastLine_missingEmptyAndMultiLineFiles()
    {
        const QString missing = UNC_DIR + "\\out\\missing.out";
        QCOMPARE(m_w->gcsv(missing), QStringLiteral("FAILED"));
        QCOMPARE(m_msgs.texts(), QStringList{"(gcsv): File does not exist --> " + missing});
        m_msgs.clear();
        site->add_raw_template("out", "empty.out", "");
        QCOMPARE(m_w->gcsv(UNC_DIR + "\\out\\empty.out"), QString());
        site->add_raw_template("out", "ann.out", "mkview log\r\nsetcs\rdone\nann__dev\r\n");
        QCOMPARE(m_w->gcsv(UNC_DIR + "\\out\\ann.out"), QStringLiteral("ann__dev"));
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
