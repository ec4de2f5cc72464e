#pragma once

// The program's layer over ClearCase: the operations it needs, answered by
// running cleartool and parsing its documented output. One "cleartool
// -status" co-process answers one command line at a time; one process per
// command is the fallback when the co-process cannot be had.

#include "base/errors.h"

#include <QDateTime>
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
    explicit ClearCaseError(QString description, bool timedOut = false, bool lost = false)
        : QuillonError(std::move(description)), m_timedOut(timedOut), m_lost(lost)
    {
    }
    // cleartool did not answer in time.
    bool timedOut() const { return m_timedOut; }
    // A change whose answer is lost: it may or may not have been made.
    bool answerLost() const { return m_lost; }

private:
    bool m_timedOut;
    bool m_lost;
};

// What one registry entry (one "lsview -long" block) says of a view tag.
struct ViewInfo {
    QString tag;
    QString comment; // the tag comment, when there is one
    QString globalPath;
    QString serverHost;
    QString region;
    bool active = false; // "Active: YES"
    QString owner;
    bool snapshot = false; // "View attributes:" holds snapshot
    bool ucm = false;      // "View attributes:" holds ucmview
    QString uuid;          // "View uuid:" (not the tag's uuid)
    // With -properties: the view's events; invalid where ClearCase gives none.
    QDateTime created;
    QDateTime modified;
    QDateTime accessed;
};

// The outcome of one cleartool command.
struct CommandResult {
    // cleartool's exit status as it reported it (any number, negative or
    // above 255 included); -1 as well when it gave none (hasStatus false).
    long long status = 0;
    bool hasStatus = true;
    int signal = 0;        // the signal that ended it, when one did
    QString output;        // standard output (error and warning lines excluded)
    QStringList errors;    // the "cleartool: Error: " lines, prefix removed
    bool timedOut = false; // cleartool did not answer in time
    bool started = true;   // false: cleartool could not be started at all
    // A change whose answer is lost (no answer in time, cleartool ended
    // before answering, an answer that cannot be read): it may or may not
    // have been made, and only ClearCase, asked again, can say.
    bool lost = false;
};

// A failed command's error lines (CR LF between them), or its status when
// it printed none.
QString errorTextOf(const CommandResult &result);

class Interrupt;

// Runs cleartool commands: through the co-process while it lives (started on
// first use, started again when it has died), else one process per command.
// Every wait runs a local event loop, so the window stays responsive.
class CCSession {
public:
    CCSession();
    // The co-process is asked to quit and left to end on its own.
    ~CCSession();
    CCSession(const CCSession &) = delete;
    CCSession &operator=(const CCSession &) = delete;

    // Runs one command, its words without the word cleartool. Never throws
    // for a failing command: the status and errors say it. Throws
    // Interrupted when the interrupt fires. A question whose co-process died
    // is asked again of a process of its own; a change (anything but ls*,
    // catcs, catcr, describe, pwv, hostinfo) is never sent twice.
    CommandResult run(const QStringList &args);

    // Off: every command starts a process of its own.
    void setUseCoprocess(bool on);

    // How long cleartool may take to answer one command, counted from the
    // moment it is sent (60 s unless set, or the seconds in
    // QUILLON_CLEARTOOL_TIMEOUT). Nothing else is timed: never the user.
    void setAnswerTimeout(int milliseconds);

    // Ends every wait early when it fires.
    void setInterrupt(const Interrupt *interrupt);

    // A user action: once a question of it has not been answered in time,
    // its further commands fail at once without being sent, so that nobody
    // is held for one timeout after another. A change whose answer is lost
    // does not end it: ClearCase is then asked what it holds. Actions nest;
    // the outermost one counts.
    class Action {
    public:
        explicit Action(CCSession &session);
        ~Action();
        Action(const Action &) = delete;
        Action &operator=(const Action &) = delete;

    private:
        CCSession &m_session;
    };

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
    const QString &Host() const { return m_info.serverHost; }
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
    QString CmdExec(const QStringList &args);
    // The command's whole outcome, output and errors both, failing or not.
    CommandResult run(const QStringList &args);
    // Of the given tags, those whose "lsview" line carries an asterisk
    // anywhere; one command for all of them (unknown tags are left out).
    QSet<QString> activeTags(const QStringList &tags);

private:
    CCSession *m_session;
};

// The Application object.
class ClearCaseApp {
public:
    explicit ClearCaseApp(CCSession &session) : m_session(&session) {}
    // The view tags of a region, in cleartool's order. A listing that fails
    // before it lists anything throws ClearCaseError. One that fails part-way
    // throws too when failOnError is true or no error is asked for;
    // otherwise it returns the tags listed and puts the error text in error.
    QStringList viewTags(bool failOnError, const QString &region, QString *error = nullptr);
    // The view with this tag; throws ClearCaseError when no view has it.
    CCView View(const QString &tag);
    // The registry entries of many tags in one command; unknown tags are
    // absent from the result. With withDates, the views' events too
    // ("-properties"; a view whose storage is gone then has none).
    QHash<QString, ViewInfo> lookupViews(const QStringList &tags, bool withDates = false);

private:
    CCSession *m_session;
};

// Parsing of cleartool's documented output; exposed for the tests.
namespace ccparse {
// The blocks of "lsview -long" (with or without -properties/-full).
QList<ViewInfo> parseLsviewLong(const QString &text);
// The tags of "lsview" default-format lines whose line holds an asterisk.
QSet<QString> parseLsviewActive(const QString &text);
// The bare tags of "lsview -short".
QStringList parseLsviewShort(const QString &text);
// A date as cleartool prints it: ISO 8601 ("2010-06-17T08:13:40-05:00",
// "2018-04-27T07:58:08Z") or the older "17-Jun-10.08:13:40" (local time).
// Invalid when it is neither.
QDateTime parseDate(QStringView text);

// One line of cleartool's diagnostics: an error's text without its prefix
// (the whole line when nothing follows the prefix), nothing for a warning;
// any other line is returned whole.
std::optional<QString> errorOf(QStringView line);

// Reads the co-process's answer to one command as it arrives. After each
// command Quillon sends a line holding only the session's token, a word no
// output can hold by chance, which cleartool answers with an error line
// naming it. The answer ends at the first whole line holding the token; the
// line before it ends in the command's marker "Command <n> returned status
// <s>" (glued to the output when that has no final line end); the token
// command's own marker, "Command <n+1> ...", closes it. Lines are sorted into
// output and error texts as they come, each byte looked at once, and one
// answer may hold at most `cap` bytes.
class CoprocessReader {
public:
    enum class State { Reading, Complete, TooLarge };

    CoprocessReader(QByteArray token, qsizetype cap);
    // Starts the answer to command number n.
    void expect(int n);
    State feed(QByteArrayView data);
    State state() const { return m_state; }

    // Once complete: the output as written (line ends kept), the error
    // texts, and the status when the marker was found and is a number.
    const QString &output() const { return m_output; }
    const QStringList &errors() const { return m_errors; }
    bool hasStatus() const { return m_hasStatus; }
    // False: the marker holds a number no exit status can be.
    bool statusInRange() const { return m_inRange; }
    long long status() const { return m_status; }

private:
    void takeLine(QByteArrayView line);
    void sort(QByteArrayView lineWithEnd);
    void finishAnswer(QByteArrayView lastLine);

    QByteArray m_token;
    qsizetype m_cap;
    int m_n = 0;
    State m_state = State::Reading;
    bool m_tokenSeen = false;
    QByteArray m_pending; // bytes after the last complete line
    QByteArray m_held;    // the last complete line: it may carry the marker
    QByteArray m_batch;   // output bytes sorted but not yet decoded
    qsizetype m_received = 0;
    QString m_output;
    QStringList m_errors;
    bool m_hasStatus = false;
    bool m_inRange = false;
    long long m_status = 0;
};
} // namespace ccparse
