#include "ui/colours.h"

#include <QWidget>

#include <cmath>

namespace colours {

namespace {
double channel(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
} // namespace

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor over(const QColor &c, const QColor &background)
{
    const QColor top = c.toRgb();
    const QColor bottom = background.toRgb();
    const double a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

QColor readableOn(const QColor &preferred, const QColor &background, double ratio)
{
    const QColor back = over(background, Qt::white);
    QColor c = over(preferred, back);
    if (contrast(c, back) >= ratio)
        return c;
    // Away from the background: lighter on dark, darker on light, keeping
    // the hue and saturation.
    const bool lighter = luminance(back) < 0.18;
    float h, s, l, a;
    c.toHsl().getHslF(&h, &s, &l, &a);
    for (int step = 0; step < 100; ++step) {
        l = qBound(0.0f, l + (lighter ? 0.01f : -0.01f), 1.0f);
        c = QColor::fromHslF(h, s, l);
        if (contrast(c, back) >= ratio)
            return c;
    }
    return lighter ? QColor(Qt::white) : QColor(Qt::black);
}

bool isDark(const QPalette &palette)
{
    return luminance(palette.color(QPalette::Window)) < luminance(palette.color(QPalette::WindowText));
}

QPalette darkPalette()
{
    QPalette p;
    const QColor text(230, 230, 230), dimmed(127, 127, 127);
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(30, 30, 30));
    p.setColor(QPalette::AlternateBase, QColor(50, 50, 50));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(60, 60, 64));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(230, 230, 230, 128));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimmed);
    return p;
}

void paintText(QWidget *w, QPalette::ColorRole text, const QColor &preferred, QPalette::ColorRole back,
               const QColor &background)
{
    // The widget's own roles set before are kept; the others come from its
    // parent, so that a change of palette paints again from it.
    QPalette look = w->parentWidget() ? w->palette().resolve(w->parentWidget()->palette()) : w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (background.isValid())
            look.setColor(group, back, background);
        look.setColor(group, text, readableOn(preferred, look.color(group, back)));
    }
    w->setPalette(look);
}

} // namespace colours
