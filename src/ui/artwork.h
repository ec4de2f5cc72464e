#pragma once

// The program's pictures, drawn from its SVG logo at the screen's pixel
// density, so that they stay sharp at any scaling: the program's icon, the
// logo, and the supplier's banner, which fills its strip at any width.

#include <QIcon>
#include <QPixmap>

class QLabel;

namespace artwork {

QIcon programIcon();
// The logo, side x side logical pixels, for a device pixel ratio.
QPixmap logo(int side, qreal dpr);
// The banner strip: a gradient over the whole width, the quill, the
// supplier's name and its motto at the right.
QPixmap banner(QSize size, qreal dpr);

// The mark of a view not used for long: a small clock drawn in the colour
// given; an invalid colour gives an empty mark of the same size.
QIcon unusedMark(const QColor &colour);

// Gives a label the logo at the size of the picture it holds.
void showLogo(QLabel *label);
// Keeps a label filled with the banner whenever it is resized.
void fillWithBanner(QLabel *label);

} // namespace artwork
