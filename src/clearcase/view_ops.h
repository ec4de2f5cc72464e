#pragma once

// What one view holds and the changes made to it beyond creation: its
// checkouts and view-private files (what removing it would lose), its
// removal with the clean-up of a tag whose storage is gone, its config spec,
// and its age. Every question goes through the session like the others, and
// no command here prompts.

#include "clearcase/clearcase.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One element checked out to a view.
struct Checkout {
    QString path;
    bool reserved = true;
    QDateTime date;   // invalid when cleartool's date could not be read
    QString dateText; // as cleartool printed it
};

namespace ccparse {
// The lines "<view uuid> <reserved|unreserved> <date> <path>" of
// "lsco -fmt" (kCheckoutFormat) that belong to the view with this uuid.
QList<Checkout> parseCheckouts(const QString &text, const QString &uuid);
} // namespace ccparse

// The format the checkouts are asked for in.
inline const QString kCheckoutFormat = QStringLiteral("%TUf %Rf %d %n\\n");

// The checkouts of the view with this uuid, from every VOB, without a view
// context. Throws ClearCaseError when they cannot be listed.
QList<Checkout> viewCheckouts(ClearTool &tool, const QString &uuid);

// What removing a view would lose, asked of ClearCase.
struct RemovalCheck {
    ViewInfo view;                            // from lsview -long: uuid, active, snapshot, owner
    std::optional<QList<Checkout>> checkouts; // none: they could not be listed
    QString checkoutsError;
    std::optional<int> privateFiles; // none: not asked (snapshot view) or not answered
    QString privateError;            // why they could not be listed
    bool nothingToLose() const;
};
// Throws ClearCaseError when ClearCase does not know the tag.
RemovalCheck checkRemoval(ClearCaseApp &cc, ClearTool &tool, const QString &tag);

// True when ClearCase's error says the view's storage cannot be reached.
bool storageUnreachable(const QString &error);
// True when the view's owner ("DOMAIN\user", "site/user" or "user") is this
// user, letter case ignored.
bool ownedBy(const ViewInfo &view, const QString &user);
// The owner's user name, without a domain or site.
QString ownerName(const ViewInfo &view);

// What ClearCase, asked now, says of a tag: listed, not listed, or it could
// not say (error holds why).
enum class TagState { Present, Absent, NotKnown };
TagState tagState(ClearTool &tool, const QString &tag, const QString &region, QString *error = nullptr);

// Whether the view a tag names can be reached, asked now with "lsview -long
// -properties [-region R] T" (the properties need the view server).
struct Staleness {
    enum class State {
        Reachable,    // the view server answered
        Stale,        // registered, its storage cannot be reached
        Unregistered, // the tag names a view no longer registered
        Gone,         // no such tag
        NotKnown,     // ClearCase could not say
    };
    State state = State::NotKnown;
    QString uuid;  // the view's, when ClearCase gave it
    QString error; // what ClearCase said
    bool stale() const { return state == State::Stale || state == State::Unregistered; }
};
Staleness checkStale(ClearTool &tool, const QString &tag, const QString &region);

// What a removal or clean-up did, as ClearCase holds it afterwards.
struct RemovalOutcome {
    bool removed = false;     // the tag is gone
    bool unreachable = false; // the storage cannot be reached, ClearCase asked twice
    Staleness staleness;      // what the second question found, when unreachable
    QString error;            // what ClearCase said
    // A change's answer was lost and ClearCase was asked what it holds:
    // removed says what it answered, unless notKnown.
    bool lost = false;
    bool notKnown = false;
    QString checkCommand; // the command that shows the state by hand
    // The clean-up's commands: those that ran, and those not run.
    QStringList stepsRun;
    QStringList stepsLeft;
};
// Ends an active dynamic view's server, then "rmview -tag T" (with -force
// when asked), then asks whether the tag is gone. Neither command is sent
// twice; when an answer is lost, ClearCase is asked what it holds.
RemovalOutcome removeView(ClearCaseApp &cc, ClearTool &tool, const ViewInfo &view, bool force,
                          const QString &region);

// The clean-up of a tag whose view storage is gone, for the view with this
// uuid: in each other region a same-named tag of this view ("rmtag -view
// -region R T"; tags of other views are left), "unregister -view -uuid U"
// (unless it is no longer registered), "rmview -force -all -uuid U", and
// last this region's tag, so that a clean-up that stops part-way leaves the
// tag to be found stale again. Before each step the view is checked to be
// still stale; the clean-up stops at the first step that fails or finds
// otherwise.
struct CleanUpPlan {
    QString tag;
    QString uuid;
    QString region; // the tag's region
    QList<QStringList> steps;
};
// Asks ClearCase which steps the clean-up takes; throws ClearCaseError
// when it cannot say.
CleanUpPlan planCleanUp(ClearTool &tool, const QString &tag, const QString &uuid, const QString &region,
                        bool registered);
RemovalOutcome cleanUpStaleView(ClearCaseApp &cc, ClearTool &tool, const CleanUpPlan &plan);

// Sets a dynamic view's config spec from a file ("setcs -tag T FILE"), whose
// text is `text`. When the answer is lost, the view's config spec is read
// back ("catcs -tag T") and compared with the text.
struct ConfigSpecSet {
    bool set = false;
    QString error;     // ClearCase's refusal, or why the answer is lost
    bool lost = false; // set says what catcs showed, unless notKnown
    bool notKnown = false;
    QString checkCommand;
};
ConfigSpecSet setConfigSpec(ClearTool &tool, const QString &tag, const QString &localFile,
                            const QByteArray &text);
