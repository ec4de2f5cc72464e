// "Edit Config Spec…" of View Detail: the view's config spec goes into a
// private file, the user's editor opens it, and a changed text is set with
// "setcs -tag T FILE" after the user agrees. A text ClearCase refuses is
// kept for another try; nothing here prompts in cleartool.
#include "ui/frmMain.h"

#include "base/arguments.h"
#include "base/errors.h"
#include "base/logging.h"
#include "base/platform.h"
#include "base/strings.h"
#include "clearcase/view_ops.h"
#include "ui/appglobals.h"
#include "ui/frmViewDetail.h"
#include "ui/messages.h"
#include "ui_frmMain.h"

#include <QDir>

namespace {
QString setQuestion(const QString &tag)
{
    return QStringLiteral("Set config spec for view \"") + tag + QStringLiteral("\"?");
}
} // namespace

void frmMain::keepDraft(const QString &tag, platform::PrivateFile &draft)
{
    draft.keep();
    const QString where = QDir::toNativeSeparators(draft.path());
    qCWarning(lcProcess).noquote() << "The config spec draft of view" << tag << "is kept in" << where;
    showMessage(QStringLiteral("Your editor still has the config spec of view ") + tag +
                    QStringLiteral(" open. The file is kept, and not set as the view's config spec:") + CRLF +
                    where,
                MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Config spec"));
}

void frmMain::editConfigSpec(const QString &tag)
{
    try {
        const ActivityScope editing(*this, Activity::EditingConfigSpec);
        if (!editing)
            return;
        ViewInfo view;
        QString current;
        try {
            const CCView found = CC().View(tag);
            view = found.info();
            if (!view.snapshot)
                current = found.ConfigSpec();
        } catch (const ClearCaseError &e) {
            reportClearCaseError(e.description());
            return;
        }
        if (view.snapshot) {
            showMessage(QStringLiteral("The config spec of snapshot view ") + tag +
                            QStringLiteral(" is set inside the view: in the view's root directory, run") +
                            CRLF + QStringLiteral("   cleartool edcs") + CRLF +
                            QStringLiteral("ClearCase then updates the view's files to the new rules."),
                        MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Config spec"));
            return;
        }

        // The text kept from a refused try, else the config spec now.
        std::unique_ptr<platform::PrivateFile> &draft = m_configSpecDrafts[tag];
        if (!draft) {
            draft =
                std::make_unique<platform::PrivateFile>(tag + QStringLiteral(".cs"), current.toLocal8Bit());
            if (!draft->isValid()) {
                showMessage(QStringLiteral("Error::") + draft->error() + CRLF +
                                QStringLiteral("Could not write the config spec to a private file"),
                            MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error encountered"));
                m_configSpecDrafts.erase(tag);
                return;
            }
        }
        for (;;) {
            const QByteArray before = draft->read();
            bool started = false;
            try {
                started = openInEditor(QDir::toNativeSeparators(draft->path())).started;
            } catch (const Interrupted &) {
                // Closed while the editor runs: the file it has open stays.
                keepDraft(tag, *draft);
                throw;
            }
            if (!started)
                return; // said by run_command; the text stays for another try
            // An editor that hands the file to another program returns at
            // once: the user says when the text is saved.
            if (draft->read() == before &&
                showMessage(
                    QStringLiteral("The config spec of view ") + tag +
                        QStringLiteral(" has not changed yet.") + CRLF + CRLF +
                        QStringLiteral("If your editor is still open, save your changes there first.") +
                        CRLF + setQuestion(tag),
                    MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("Config spec")) != MsgAnswer::Yes)
                break;
            const QByteArray edited = draft->read();
            if (edited == current.toLocal8Bit()) {
                showMessage(QStringLiteral("The config spec of view ") + tag +
                                QStringLiteral(" was not changed."),
                            MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Config spec"));
                break;
            }
            if (edited != before && showMessage(setQuestion(tag), MsgIcon::Question, MsgButtons::YesNo,
                                                QStringLiteral("Config spec")) != MsgAnswer::Yes)
                return; // kept: the next "Edit Config Spec…" starts from it
            const ConfigSpecSet result =
                setConfigSpec(CTool(), tag, QDir::toNativeSeparators(draft->path()), edited);
            if (result.lost) {
                reportLostChange(QStringLiteral("the setting of the config spec"), tag, result.set,
                                 result.notKnown, result.error, result.checkCommand);
                if (!result.set || result.notKnown) {
                    showMessage(QStringLiteral("Your edited config spec is kept in ") +
                                    QDir::toNativeSeparators(draft->path()) + QLatin1Char('.'),
                                MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Config spec"));
                    return;
                }
            } else if (!result.set) {
                if (showMessage(QStringLiteral("ClearTool returned error: ") + result.error + CRLF + CRLF +
                                    QStringLiteral("Your edited config spec is kept. Edit it again?") +
                                    LOG_HINT,
                                MsgIcon::Exclamation, MsgButtons::YesNo,
                                QStringLiteral("Config spec")) == MsgAnswer::Yes)
                    continue;
                return;
            }
            // Set: the detail shows what ClearCase now holds.
            m_configSpecDrafts.erase(tag);
            frmViewDetail &detail = AppGlobals().viewDetail();
            if (detail.viewTag() == tag)
                passOver([&] {
                    detail.detailTxt(0)->setPlainText(
                        replace_char(QStringLiteral("\n"), CRLF, CC().View(tag).ConfigSpec()));
                });
            return;
        }
        // Nothing to set: a text that differs from the view's is kept all the same.
        if (draft->read() == current.toLocal8Bit())
            m_configSpecDrafts.erase(tag);
    } catch (const Interrupted &) {
    }
}
