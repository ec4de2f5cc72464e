#pragma once

#include <QIODevice>
#include <QString>

// What a view template's "#Kestrel_" lines say: its description and whether
// it makes a snapshot view. Lines are applied in file order: a key is the
// text before a line's first colon, compared without regard to letter case,
// the value the text after it.
struct TemplateDescription {
    QString text;
    bool snapshot = false;
};

// Reads a template into d, passing over every line that cannot hold a key,
// and keeps at most limit characters of the description (a note then says
// the rest is in the file). Throws QuillonError when reading fails; d then
// holds what was read before.
void read_template_description(QIODevice &device, qsizetype limit, TemplateDescription &d);

// The note that ends a description or text that was cut.
extern const QString SHOWN_CUT_NOTE;
