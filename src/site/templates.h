#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class ClearCaseApp;
class ClearTool;

// One view template of the current project; entry i belongs to row i of the
// template list.
struct TemplateRecord {
    QString tag;         // lower-cased user + "__" + file name, as listed
    QString description; // from the template's "#Kestrel_" lines
    QString path;        // full UNC path of the template file
    QString file_name;
    QString status; // "U", "A" or "C", possibly followed by "S"; "?" when unknown
    bool is_snapshot = false;
};

// A project's templates, ready for the lists: every ordinary file of the
// project's folder but ".defaults" and "kestrel.dft", in the order the file
// system lists them, each with its tag for the user, its description and
// its status marker, asked of ClearCase for all tags in two commands.
struct Catalogue {
    std::vector<TemplateRecord> templates;
    QString listingError;   // the folder could not be listed: why (nothing else is filled)
    QString clearcaseError; // ClearCase could not answer: every marker is "?"
    QList<std::pair<QString, QString>> descriptionErrors; // a template that could not be read, and why
};
// fullDir is the project's folder through the share ("\\HOST\..."); user is
// the user name as established (tags hold it lower-cased; the view may exist
// under either form). yield runs once per file, so that the window repaints.
Catalogue loadCatalogue(const QString &fullDir, const QString &user, ClearCaseApp &cc, ClearTool &tool,
                        const std::function<void()> &yield);

// A template's description and whether it makes a snapshot view, from its
// "#Kestrel_" lines; a failure to read it gives the description read so far
// cut to nothing, with error set (is_snapshot keeps what was read).
QString get_view_description(const QString &file, bool &is_snapshot, QString *error);
