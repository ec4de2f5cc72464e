// The project catalogue on the real main window, with the simulated cleartool
// and a share tree of the test's own: which files are templates, the user
// name behind the tags, the status markers (and that the batched questions
// give what the single questions give), descriptions, the template display,
// the editor and the last-line reader.

#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "outside/platform.h"
#include "support/recorder.h"
#include "ui_frmMain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString CFG_DIR = QStringLiteral("\\ccstorage\\utils\\kestrel\\config");
const QString UNC_DIR = QStringLiteral("\\\\vobhost") + CFG_DIR;

void write_file(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

// Views of the "markers" project for the user as typed, "Ann": each
// template's expected marker, and the registry lines behind it.
const char *const MARKER_VIEWS = "Windows|ann__act|\\\\vobhost\\views\\ann__act.vws||active|ann\n"
                                 "Windows|ann__cre|\\\\vobhost\\views\\ann__cre.vws||dynamic|ann\n"
                                 "Windows|ann__snapc|\\\\vobhost\\views\\ann__snapc.vws||snapshot|ann\n"
                                 "Windows|ann__snapa|\\\\vobhost\\views\\ann__snapa.vws||snapshot|ann\n"
                                 "Windows|Ann__snapa|\\\\vobhost\\views\\Ann__snapa.vws||active|ann\n"
                                 "Windows|ann__snapstar|\\\\vobhost\\views\\snap*.vws||snapshot|ann\n"
                                 "Windows|Ann__typedonly|\\\\vobhost\\views\\Ann__typedonly.vws||-|ann\n"
                                 "Windows|Ann__typedact|\\\\vobhost\\views\\Ann__typedact.vws||active|ann\n"
                                 "Windows|ann__both|\\\\vobhost\\views\\ann__both.vws||-|ann\n"
                                 "Windows|Ann__both|\\\\vobhost\\views\\Ann__both.vws||active|ann\n"
                                 "Windows|joann__dev|\\\\vobhost\\views\\joann__dev.vws||active|joann\n"
                                 "Windows|ann__dev_old|\\\\vobhost\\views\\ann__dev_old.vws||active|ann\n"
                                 "Windows|ann__a_template_name_longer_than_twenty|"
                                 "\\\\vobhost\\views\\long.vws||active|ann\n"
                                 "ccase_unix|ann__none|/views/ann__none.vws||active|ann\n";
const QList<std::pair<const char *, const char *>> MARKERS = {{"act", "A"},
                                                              {"cre", "C"},
                                                              {"snapc", "CS"},
                                                              {"snapa", "AS"},
                                                              {"snapstar", "AS"},
                                                              {"typedonly", "C"},
                                                              {"typedact", "A"},
                                                              {"both", "A"},
                                                              {"dev", "U"},
                                                              {"none", "U"},
                                                              {"a_template_name_longer_than_twenty", "A"}};
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    MessageRecorder m_msgs;
    frmMain *m_w = nullptr;
    int m_registry = 0;

    QString share(const QString &rel) const
    {
        return m_root.path() + QStringLiteral("/unc/vobhost/ccstorage/utils/kestrel/config/") + rel;
    }
    Ui::frmMain *ui() const { return m_w->ui; }

    void seed(const QByteArray &lines)
    {
        const QString file = m_root.filePath(QStringLiteral("seed.txt"));
        write_file(file, lines);
        QProcess p;
        p.start(QStringLiteral(QUILLON_SIM_BIN_DIR "/cleartool"), {QStringLiteral("-sim-import"), file});
        QVERIFY(p.waitForFinished());
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    }

    void choose(const QString &project)
    {
        const int i = ui()->projectCombo->findText(project);
        QVERIFY(i >= 0);
        ui()->projectCombo->setCurrentIndex(i);
        emit ui()->projectCombo->activated(i);
    }

    // Loads a project directly, with the user name typed into the mapping box.
    void load_as(const QString &project, const QString &typed)
    {
        ui()->usernameMappingCB->setChecked(true);
        ui()->usernameMappingTxt->setText(typed);
        ui()->projectCombo->setEditText(project);
        m_w->get_view_templates(CFG_DIR + QStringLiteral("\\") + project);
    }

    QStringList rows(const QListWidget *list) const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    int row_of(const QString &tag) const
    {
        const auto found = ui()->viewsList->findItems(tag, Qt::MatchExactly);
        return found.isEmpty() ? -1 : ui()->viewsList->row(found.first());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        qputenv("PATH", QByteArray(QUILLON_SIM_BIN_DIR) + ':' + qgetenv("PATH"));
        qputenv("QUILLON_PROGRAM_DIR", QFile::encodeName(m_root.filePath(QStringLiteral("program"))));
        qputenv("QUILLON_UNC_ROOT", QFile::encodeName(m_root.filePath(QStringLiteral("unc"))));
        qputenv("CCSIM_REGION", "Windows");
        qunsetenv("CLEARCASE_PRIMARY_GROUP");
        for (const char *knob : {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS",
                                 "CCSIM_FAIL", "CCSIM_DIE", "CCSIM_CRLF"})
            qunsetenv(knob);
        for (const char *f : {"alpha/dev", "alpha/rel_2", "alpha/kestrel.dft", "alpha/.defaults",
                              "only/.defaults", "only/kestrel.dft", "only/sub/x", "caps/KESTREL.DFT",
                              "caps/kestrel.dft", "caps/Kestrel.dft", "ri2zad/dev"})
            write_file(share(QLatin1String(f)), "element * /main/LATEST\r\n");
        for (const auto &[name, marker] : MARKERS)
            write_file(share(QStringLiteral("markers/") + QLatin1String(name)), "element * CHECKEDOUT\r\n");
        for (const char *snap : {"snapc", "snapa", "snapstar"})
            write_file(share(QStringLiteral("markers/") + QLatin1String(snap)),
                       "#Kestrel_Snapdir:C:\\snap\r#Kestrel_Description:snap\relement * CHECKEDOUT\r");
    }

    void init()
    {
        write_file(m_root.filePath(QStringLiteral("program/qn.cfg")),
                   "HOST=vobhost\r\nKESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config\r\nPROJECT=alpha\r\n"
                   "PROJECT=markers\r\nPROJECT=ghost\r\nIS_INTEROP=true\r\nNT_ONLY=false\r\nADMIN=ann\r\n");
        qputenv("USER", "ann");
        qputenv("CCSIM_HOME",
                QFile::encodeName(m_root.filePath(QStringLiteral("ccsim%1").arg(++m_registry))));
        AppGlobalsData &g = AppGlobals();
        g.tag_user.clear();
        g.unix_user.clear();
        g.view_templates.clear();
        g.config = ConfigRecord();
        set_config_keys(g.config);
        g.config.CFG_FILE = QStringLiteral("qn.cfg");
        m_w = new frmMain;
        g.main_window = m_w;
        read_config_file(platform::program_dir() + QStringLiteral("\\qn.cfg"), g.config);
        m_w->load();
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void cleanup()
    {
        delete m_w;
        m_w = nullptr;
        m_msgs.clear();
    }

    void listing_nothingChosenOrReservedProject_listsNothingSilently_data()
    {
        QTest::addColumn<QString>("project");
        QTest::newRow("choose") << QStringLiteral("<choose project>");
        QTest::newRow("ri2zad") << QStringLiteral("ri2zad");
    }
    void listing_nothingChosenOrReservedProject_listsNothingSilently()
    {
        QFETCH(QString, project);
        load_as(QStringLiteral("alpha"), QStringLiteral("<enter user name>"));
        QCOMPARE(ui()->viewStatusList->count(), 2);
        ui()->projectCombo->setEditText(project);
        m_w->get_view_templates(CFG_DIR + QStringLiteral("\\") + project);
        QCOMPARE(ui()->viewsList->count(), 0);
        QCOMPARE(ui()->viewStatusList->count(), 2); // nothing else is cleared
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void listing_missingDirectory_namesFullPathKeepsUserAndMarkers()
    {
        load_as(QStringLiteral("alpha"), QStringLiteral("Ann"));
        choose(QStringLiteral("ghost"));
        QCOMPARE(m_msgs.texts(), QStringList{QStringLiteral("ERROR: Directory not exist --> ") + UNC_DIR +
                                             QStringLiteral("\\ghost")});
        QCOMPARE(m_msgs.shown.first().icon, MsgIcon::Critical);
        QCOMPARE(ui()->viewsList->count(), 0);
        QCOMPARE(ui()->viewStatusList->count(), 2);
        QCOMPARE(AppGlobals().tag_user, QStringLiteral("Ann"));
    }

    void listing_skipsOnlyExactReservedNames()
    {
        load_as(QStringLiteral("only"), QStringLiteral("<enter user name>"));
        QCOMPARE(ui()->viewsList->count(), 0);
        QCOMPARE(ui()->viewsList->currentRow(), -1);
        load_as(QStringLiteral("caps"), QStringLiteral("<enter user name>"));
        QStringList listed = rows(ui()->viewsList);
        listed.sort();
        QCOMPARE(listed,
                 (QStringList{QStringLiteral("ann__KESTREL.DFT"), QStringLiteral("ann__Kestrel.dft")}));
        QCOMPARE(AppGlobals().view_templates.at(0).path,
                 UNC_DIR + QStringLiteral("\\caps\\") + AppGlobals().view_templates.at(0).file_name);
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void userName_typedOnlyWhenInterop_data()
    {
        QTest::addColumn<QString>("interop");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("user");
        auto row = [](const char *name, const char *interop, bool checked, const char *typed,
                      const char *user) {
            QTest::newRow(name) << QString::fromLatin1(interop) << checked << QString::fromLatin1(typed)
                                << QString::fromLatin1(user);
        };
        row("interop", "true", true, "AnnM", "AnnM");
        row("interop capitals", "TRUE", true, "AnnM", "AnnM");
        row("not interop", "false", true, "AnnM", "ann");
        row("interop misspelt", "yes", true, "AnnM", "ann");
        row("box unchecked", "true", false, "AnnM", "ann");
        row("placeholder", "true", true, "<enter user name>", "ann");
    }
    void userName_typedOnlyWhenInterop()
    {
        QFETCH(QString, interop);
        QFETCH(bool, checked);
        QFETCH(QString, typed);
        QFETCH(QString, user);
        AppGlobals().config.IS_INTEROP = interop;
        load_as(QStringLiteral("alpha"), typed);
        ui()->usernameMappingCB->setChecked(checked);
        m_w->get_view_templates(CFG_DIR + QStringLiteral("\\alpha"));
        QStringList listed = rows(ui()->viewsList);
        listed.sort();
        QCOMPARE(listed, (QStringList{user.toLower() + QStringLiteral("__dev"),
                                      user.toLower() + QStringLiteral("__rel_2")}));
        QCOMPARE(AppGlobals().tag_user, user);
        QCOMPARE(AppGlobals().unix_user, user);
        QCOMPARE(ui()->userNameLbl->text(), user.toLower());
        QCOMPARE(ui()->pwdTxt->toolTip(), QStringLiteral("Enter UNIX password for user ") + user);
    }

    void userName_emptiedBox_tagsWithoutUserAndNoViewsListed()
    {
        seed("Windows|ann__dev|\\\\vobhost\\views\\ann__dev.vws||-|ann\n");
        ui()->myViewsList->addItem(QStringLiteral("kept"));
        load_as(QStringLiteral("alpha"), QString());
        QStringList listed = rows(ui()->viewsList);
        listed.sort();
        QCOMPARE(listed, (QStringList{QStringLiteral("__dev"), QStringLiteral("__rel_2")}));
        m_w->get_myviews(QStringLiteral("Windows"));
        QCOMPARE(m_msgs.texts().size(), 1);
        QVERIFY(
            m_msgs.texts().first().startsWith(QStringLiteral("First select a project from the project ")));
        QCOMPARE(rows(ui()->myViewsList), QStringList{QStringLiteral("kept")});
    }

    // The markers, and that the two batched questions give for every tag what
    // the single questions about the lower-case and the typed tag give.
    void markers_batchedEqualSingleQuestions_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("typed mixed case") << QStringLiteral("Ann");
        QTest::newRow("login name") << QStringLiteral("<enter user name>");
    }
    void markers_batchedEqualSingleQuestions()
    {
        QFETCH(QString, typed);
        seed(MARKER_VIEWS);
        load_as(QStringLiteral("markers"), typed);
        const QString user = typed == QLatin1String("Ann") ? typed : QStringLiteral("ann");
        const auto &records = AppGlobals().view_templates;
        QCOMPARE(int(records.size()), MARKERS.size());
        QCOMPARE(rows(ui()->viewStatusList).size(), MARKERS.size());
        QVERIFY(!ui()->viewStatusList->isEnabled());
        for (int i = 0; i < int(records.size()); ++i) {
            const TemplateRecord &r = records[size_t(i)];
            QCOMPARE(ui()->viewsList->item(i)->text(), r.tag);
            QCOMPARE(ui()->viewStatusList->item(i)->text(), r.status);
            const QString lower = r.tag, other = user + QStringLiteral("__") + r.file_name;
            QString single = QStringLiteral("U");
            if (m_w->view_active(lower) || m_w->view_active(other))
                single = QStringLiteral("A");
            else if (m_w->view_tag_exists(lower) || m_w->view_tag_exists(other))
                single = QStringLiteral("C");
            if (m_w->is_view_snapshot(lower) || m_w->is_view_snapshot(other))
                single += QLatin1Char('S');
            QVERIFY2(r.status == single,
                     qPrintable(r.tag + QStringLiteral(": ") + r.status + QStringLiteral(" vs ") + single));
            if (user == QLatin1String("Ann")) {
                const auto it = std::find_if(MARKERS.cbegin(), MARKERS.cend(), [&](const auto &m) {
                    return r.file_name == QLatin1String(m.first);
                });
                QCOMPARE(r.status, QString::fromLatin1(it->second));
            }
        }
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void projectChoice_firstRereadsConfigurationLaterOnesLoadDirectly()
    {
        seed(MARKER_VIEWS);
        QFile cfg(m_root.filePath(QStringLiteral("program/qn.cfg")));
        QVERIFY(cfg.open(QIODevice::Append));
        cfg.write("PROJECT=later1\r\n");
        cfg.flush();
        choose(QStringLiteral("markers"));
        QVERIFY(m_w->first_click_done);
        QVERIFY(ui()->projectCombo->findText(QStringLiteral("later1")) >= 0);
        QCOMPARE(ui()->viewsList->count(), MARKERS.size());
        QVERIFY(ui()->myViewsList->count() > 0);
        cfg.write("PROJECT=later2\r\n");
        cfg.close();
        choose(QStringLiteral("alpha"));
        QCOMPARE(ui()->projectCombo->findText(QStringLiteral("later2")), -1);
        QCOMPARE(ui()->viewsList->count(), 2);
        QCOMPARE(ui()->viewsList->currentRow(), 0);
        QVERIFY(AppGlobals().progress().isHidden());
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void description_rules_data()
    {
        QTest::addColumn<QByteArray>("eol");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("snapshot");
        const QString ucm =
            QStringLiteral("[Description]: d  This View is a UCM View.\r\n[UCM Project VOB]: \\vobs\\pvob"
                           "\r\n[Tied to UCM Stream]: dev_stream");
        const QList<std::tuple<const char *, QStringList, QString, bool>> cases = {
            {"no key", {"element * /main/LATEST", "# note: none"}, QString(), false},
            {"lower-case key and blank", {"#kestrel_description: text"}, " text", false},
            {"blank before colon", {"#Kestrel_Description :x"}, QString(), false},
            {"last description wins", {"#Kestrel_Description:a", "#KESTREL_DESCRIPTION:b:c"}, "b:c", false},
            {"ucm",
             {"#Kestrel_Description:d", "#Kestrel_UCMVob:\\vobs\\pvob", "#Kestrel_UCMStream:dev_stream"},
             ucm,
             false},
            {"ucm new stream",
             {"#Kestrel_Description:d", "#Kestrel_UCMVob:\\vobs\\pvob", "#kestrel_ucmnewstream:dev_stream"},
             ucm,
             false},
            {"description after vob", {"#Kestrel_UCMVob:v", "#Kestrel_Description:plain"}, "plain", false},
            {"snapshot", {"#Kestrel_Snapdir:C:\\v", "#Kestrel_Description:s"}, "s", true},
        };
        for (const auto &[name, lines, description, snapshot] : cases) {
            for (const char *eol : {"\r\n", "\r", "\n"}) {
                const QByteArray shown = QByteArray(eol).replace('\r', "CR").replace('\n', "LF");
                QTest::addRow("%s %s", name, shown.constData())
                    << QByteArray(eol) << lines << description << snapshot;
            }
        }
    }
    void description_rules()
    {
        QFETCH(QByteArray, eol);
        QFETCH(QStringList, lines);
        QFETCH(QString, description);
        QFETCH(bool, snapshot);
        write_file(share(QStringLiteral("desc/t")), lines.join(QString::fromLatin1(eol)).toLatin1() + eol);
        bool is_snapshot = !snapshot;
        QCOMPARE(m_w->get_view_description(UNC_DIR + QStringLiteral("\\desc\\t"), is_snapshot), description);
        QCOMPARE(is_snapshot, snapshot);
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void display_noteCheckBoxConfigSpecAndExistingViewRow()
    {
        seed(MARKER_VIEWS);
        ui()->usernameMappingCB->setChecked(true);
        ui()->usernameMappingTxt->setText(QStringLiteral("Ann"));
        choose(QStringLiteral("markers"));
        auto select = [&](const char *name) {
            const int row = row_of(QStringLiteral("ann__") + QLatin1String(name));
            QVERIFY(row >= 0);
            ui()->viewsList->setCurrentRow(row);
            QCOMPARE(ui()->viewStatusList->currentRow(), row);
            QVERIFY(!ui()->viewStatusList->isEnabled());
        };
        const QString note = QStringLiteral("NOTE: View ann__%1 has been created ");
        const QList<std::pair<const char *, QString>> notes = {
            {"cre", note.arg(QLatin1String("cre")) + QStringLiteral("by is not active")},
            {"snapa", note.arg(QLatin1String("snapa")) + QStringLiteral("and is active")},
            {"typedonly", note.arg(QLatin1String("typedonly")) + QStringLiteral("by is not active")},
            {"snapc", QString()},
            {"dev", QString()},
            {"act", note.arg(QLatin1String("act")) + QStringLiteral("and is active")}};
        for (const auto &[name, text] : notes) {
            select(name);
            QCOMPARE(ui()->txtMsg->isHidden(), text.isEmpty());
            if (!text.isEmpty())
                QCOMPARE(ui()->txtMsg->toPlainText(), text);
        }
        // The existing view under the typed tag is the one selected.
        select("typedonly");
        QCOMPARE(ui()->myViewsList->currentItem()->text(), QStringLiteral("Ann__typedonly"));
        QCOMPARE(ui()->descTxt->toPlainText(), QString());
        QCOMPARE(m_w->read_template_text(QStringLiteral("snapc")),
                 QStringLiteral(
                     "#Kestrel_Snapdir:C:\\snap\r\n#Kestrel_Description:snap\r\nelement * CHECKEDOUT\r\n"));

        ui()->readOnlyConfigCB->setChecked(true);
        select("cre");
        QVERIFY(ui()->readOnlyConfigCB->isChecked());
        select("snapc");
        QVERIFY(!ui()->readOnlyConfigCB->isChecked());
        QCOMPARE(ui()->descTxt->toPlainText(), QStringLiteral("snap"));
        QVERIFY(ui()->txtConfigSpec->toPlainText().contains(QStringLiteral("element * CHECKEDOUT")));
        select("act");
        QVERIFY(!ui()->readOnlyConfigCB->isChecked());
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void editor_emptyListAsksForProjectAndOtherwiseOpensTemplate()
    {
        m_w->viewsList_DblClick();
        QCOMPARE(m_msgs.texts(), QStringList());
        ui()->viewBut->setEnabled(true);
        ui()->viewBut->click();
        QCOMPARE(m_msgs.texts(), QStringList{QStringLiteral("You must first selecct a project")});
        QCOMPARE(m_msgs.shown.first().icon, MsgIcon::Information);

        m_msgs.clear();
        const QString out = m_root.filePath(QStringLiteral("editor.out"));
        write_file(m_root.filePath(QStringLiteral("editor")),
                   "#!/bin/sh\nprintf '%s' \"$1\" > " + out.toLocal8Bit() + "\n");
        QFile::setPermissions(m_root.filePath(QStringLiteral("editor")), QFile::ReadOwner | QFile::ExeOwner);
        load_as(QStringLiteral("alpha"), QStringLiteral("<enter user name>"));
        ui()->useEditorTxt->setText(m_root.filePath(QStringLiteral("editor")));
        ui()->viewsList->setCurrentRow(1);
        m_w->viewsList_DblClick();
        QFile got(out);
        QVERIFY(got.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(got.readAll()),
                 platform::to_local_path(UNC_DIR + QStringLiteral("\\alpha\\") +
                                         AppGlobals().view_templates.at(1).file_name));
        QCOMPARE(m_msgs.texts(), QStringList());
    }

    void lastLine_missingEmptyAndMultiLineFiles()
    {
        const QString missing = UNC_DIR + QStringLiteral("\\out\\missing.out");
        QCOMPARE(m_w->gcsv(missing), QStringLiteral("FAILED"));
        QCOMPARE(m_msgs.texts(), QStringList{QStringLiteral("(gcsv): File does not exist --> ") + missing});
        QCOMPARE(m_msgs.shown.first().icon, MsgIcon::Critical);
        m_msgs.clear();
        write_file(share(QStringLiteral("out/empty.out")), "");
        QCOMPARE(m_w->gcsv(UNC_DIR + QStringLiteral("\\out\\empty.out")), QString());
        for (const char *eol : {"\r\n", "\r", "\n"}) {
            write_file(share(QStringLiteral("out/ann.out")),
                       QByteArray("mkview log") + eol + "setcs done" + eol + "ann__dev" + eol);
            QCOMPARE(m_w->gcsv(UNC_DIR + QStringLiteral("\\out\\ann.out")), QStringLiteral("ann__dev"));
        }
        write_file(share(QStringLiteral("out/ann.out")), "log\r\nFAILED");
        QCOMPARE(m_w->gcsv(UNC_DIR + QStringLiteral("\\out\\ann.out")), QStringLiteral("FAILED"));
        QCOMPARE(m_msgs.texts(), QStringList());
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
