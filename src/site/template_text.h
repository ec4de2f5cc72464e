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
void readTemplateDescription(QIODevice &device, qsizetype limit, TemplateDescription &d);

// The note that ends a description that was cut.
extern const QString SHOWN_CUT_NOTE;

// What the window shows of one template at most: its description, which
// wraps in a small box (a long line without blanks costs seconds to wrap
// beyond a few ten thousand characters), and its text, shown unwrapped.
constexpr qsizetype kShownDescriptionLimit = 16 * 1024;
constexpr qsizetype kShownTextLimit = 256 * 1024;

// A template's text as the window shows it: its first kShownTextLimit bytes,
// each line followed by CR LF (a line feed in a line becoming CR LF too when
// asked), and a note when the file holds more. Throws QuillonError when it
// cannot be read.
QString shownTemplateText(const QString &path, bool lfToCrlfEachLine);
