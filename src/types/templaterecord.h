#pragma once

#include <QString>

// One view template of the current project; entry i belongs to row i of the
// template list.
struct TemplateRecord {
    QString tag;         // lower-cased user + "__" + file name, as listed
    QString description; // from the template's "#Kestrel_" lines
    QString path;        // full UNC path of the template file
    QString file_name;
    QString status; // "U", "A" or "C", possibly followed by "S"
    bool is_snapshot = false;
};
