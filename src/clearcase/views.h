#pragma once

#include "clearcase/clearcase.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The three questions about one tag, each asked afresh; a tag that
// ClearCase does not know, or any error, gives false.
bool view_tag_exists(ClearCaseApp &cc, const QString &vtag);  // a view has the tag
bool view_active(ClearTool &tool, const QString &vtag);       // its lsview line holds "*"
bool is_view_snapshot(ClearCaseApp &cc, const QString &vtag); // it is a snapshot view

// What ClearCase says of many tags, asked in two commands for all of them
// (lsview -long and lsview); each answer equals the one the single question
// would give. When ClearCase cannot answer, error says why and nothing is
// known.
struct TagStates {
    QHash<QString, ViewInfo> views; // the tags that exist
    QSet<QString> active;           // the tags whose lsview line has "*"
    QString error;
};
TagStates askAboutTags(ClearCaseApp &cc, ClearTool &tool, const QStringList &tags);

// The status marker of a template whose view may carry either tag: "U",
// "A" or "C", with "S" for a snapshot view; "?" when ClearCase could not
// answer.
QString statusMarker(const TagStates &states, const QString &lowerTag, const QString &typedTag);

// The user's views of a region: the tags that hold either user name in any
// letter case, once each (the first met of those equal ignoring case), in
// cleartool's order. A listing that fails part-way keeps what it listed and
// says why.
struct MyViews {
    QStringList tags;
    QString error;
};
MyViews listMyViews(ClearCaseApp &cc, const QString &region, const QString &tagUser, const QString &unixUser,
                    const std::function<void(const QString &tag)> &found);
