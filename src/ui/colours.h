#pragma once

// Colours that read in any palette: the window's coloured texts keep their
// hue (navy, dark red, blue) but take the lightness that gives them at least
// 4.5:1 against what they are drawn on, in a light, a dark or a high-contrast
// palette alike.

#include <QColor>
#include <QPalette>

class QWidget;

namespace colours {

// The least contrast of any text against its background.
inline constexpr double kMinContrast = 4.5;

// Relative luminance and contrast ratio as web accessibility measures them.
double luminance(const QColor &c);
double contrast(const QColor &a, const QColor &b);

// The colour as it shows over an opaque background.
QColor over(const QColor &c, const QColor &background);
// The preferred colour when it reads on the background; otherwise the same
// hue made lighter or darker (away from the background) until it does.
QColor readableOn(const QColor &preferred, const QColor &background, double ratio = kMinContrast);
// Whether a palette draws light text on dark windows.
bool isDark(const QPalette &palette);

// A dark palette as dark desktops give one (light text on dark grey), to
// see and test the windows in one whatever the desktop's theme.
QPalette darkPalette();

// Gives a widget's text role the preferred colour, made readable on its
// background role, in every colour group (disabled display-only lists too).
// A background given replaces the background role's colour.
void paintText(QWidget *w, QPalette::ColorRole text, const QColor &preferred, QPalette::ColorRole back,
               const QColor &background = QColor());

} // namespace colours
