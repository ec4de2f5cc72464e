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

struct RemovalOutcome {
    bool removed = false;     // the tag is gone
    bool unreachable = false; // failed because the storage is gone
    QString error;            // what ClearCase said
};
// Ends an active dynamic view's server, then "rmview -tag T" (with -force
// when asked), then checks that the tag is gone.
RemovalOutcome removeView(ClearCaseApp &cc, ClearTool &tool, const ViewInfo &view, bool force);
// The clean-up ClearCase's reference pages give for a view whose storage is
// gone: "rmtag -view -all T", "unregister -view -uuid U", "rmview -force
// -all -uuid U", in this order, stopping at the first failure; then checks
// that the tag is gone.
RemovalOutcome cleanUpStaleView(ClearCaseApp &cc, ClearTool &tool, const ViewInfo &view);

// Sets a dynamic view's config spec from a file ("setcs -tag T FILE");
// throws ClearCaseError with every error line when ClearCase refuses it.
void setConfigSpec(ClearTool &tool, const QString &tag, const QString &localFile);
