#pragma once

// The program's layer over ClearCase: the operations it needs, answered by
// running cleartool and parsing its documented output. One "cleartool
// -status" co-process answers one command line at a time; one process per
// command is the fallback when the co-process cannot be had.

#include "utils/errors.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// An error raised by ClearCase; the description is cleartool's error text
// without its "cleartool: Error: " prefix.
class ClearCaseError : public QuillonError {
public:
    using QuillonError::QuillonError;
};

// What one registry entry (one "lsview -long" block) says of a view tag.
struct ViewInfo {
    QString tag;
    QString comment; // the tag comment, when there is one
    QString global_path;
    QString server_host;
    QString region;
    bool active = false; // "Active: YES"
    QString owner;
    bool snapshot = false; // "View attributes:" holds snapshot
    bool ucm = false;      // "View attributes:" holds ucmview
};

// The outcome of one cleartool command.
struct CommandResult {
    int status = 0;     // cleartool's exit status
    QString output;     // standard output (error and warning lines excluded)
    QStringList errors; // the "cleartool: Error: " lines, prefix removed
};

// Runs cleartool commands: through the co-process while it lives (started on
// first use, started again when it has died), else one process per command.
class CCSession {
public:
    CCSession();
    ~CCSession();
    CCSession(const CCSession &) = delete;
    CCSession &operator=(const CCSession &) = delete;

    // Runs one command line (without the word cleartool). Never throws for a
    // failing command: the status and errors say it.
    CommandResult run(const QString &command_line);

    // Off: every command starts a process of its own.
    void set_use_coprocess(bool on);

    // How long one command may take before cleartool is taken for hung and
    // killed (120 s unless set).
    void set_answer_timeout(int milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A view object, as the Application object hands it out.
class CCView {
public:
    CCView(CCSession &session, ViewInfo info) : m_session(&session), m_info(std::move(info)) {}
    const QString &TagName() const { return m_info.tag; }
    bool IsSnapShot() const { return m_info.snapshot; }
    bool IsUCMView() const { return m_info.ucm; }
    const QString &Host() const { return m_info.server_host; }
    // The config spec as stored, asked of ClearCase when called.
    QString ConfigSpec() const;
    const ViewInfo &info() const { return m_info; }

private:
    CCSession *m_session;
    ViewInfo m_info;
};

// The ClearTool object.
class ClearTool {
public:
    explicit ClearTool(CCSession &session) : m_session(&session) {}
    // The command's output text; throws ClearCaseError carrying cleartool's
    // error text when the command fails.
    QString CmdExec(const QString &command_line);
    // Of the given tags, those whose "lsview" line carries an asterisk
    // anywhere; one command for all of them (unknown tags are left out).
    QSet<QString> ActiveByAsterisk(const QStringList &tags);

private:
    CCSession *m_session;
};

// The Application object.
class ClearCaseApp {
public:
    explicit ClearCaseApp(CCSession &session) : m_session(&session) {}
    // The view tags of a region, in cleartool's order. With fail_on_error
    // false, errors met on single entries are passed over; a failure of the
    // listing itself throws ClearCaseError.
    QStringList ViewTags(bool fail_on_error, const QString &region);
    // The view with this tag; throws ClearCaseError when no view has it.
    CCView View(const QString &tag);
    // The registry entries of many tags in one command; unknown tags are
    // absent from the result.
    QHash<QString, ViewInfo> LookupViews(const QStringList &tags);

private:
    CCSession *m_session;
};

// Parsing of cleartool's documented output; exposed for the tests.
namespace ccparse {
// The blocks of "lsview -long" (with or without -properties/-full).
QList<ViewInfo> parse_lsview_long(const QString &text);
// The tags of "lsview" default-format lines whose line holds an asterisk.
QSet<QString> parse_lsview_active(const QString &text);
// The bare tags of "lsview -short".
QStringList parse_lsview_short(const QString &text);
} // namespace ccparse
