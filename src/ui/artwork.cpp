#include "ui/artwork.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgRenderer>

namespace {

const QString kLogoFile = QStringLiteral(":/images/quillon.svg");

QSvgRenderer &renderer()
{
    static QSvgRenderer svg(kLogoFile);
    return svg;
}

QPixmap canvas(QSize size, qreal dpr)
{
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Redraws the banner whenever its label changes size.
class BannerFiller : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            refill(static_cast<QLabel *>(watched));
        return false;
    }

public:
    static void refill(QLabel *label)
    {
        const QSize size = label->size();
        if (size.isEmpty())
            return;
        const QPixmap current = label->pixmap();
        const qreal dpr = label->devicePixelRatioF();
        if (current.deviceIndependentSize().toSize() != size || current.devicePixelRatio() != dpr)
            label->setPixmap(artwork::banner(size, dpr));
    }
};

} // namespace

namespace artwork {

QIcon programIcon()
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(logo(side, 1.0));
    return icon;
}

QPixmap logo(int side, qreal dpr)
{
    QPixmap pixmap = canvas(QSize(side, side), dpr);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer().render(&painter, QRectF(0, 0, side, side));
    return pixmap;
}

QPixmap banner(QSize size, qreal dpr)
{
    QPixmap pixmap = canvas(size, dpr);
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    QLinearGradient fill(all.topLeft(), all.topRight());
    fill.setColorAt(0, QColor(0x2c, 0x5f, 0xa4));
    fill.setColorAt(1, QColor(0x1f, 0x3a, 0x60));
    painter.fillRect(all, fill);

    // The quill, as tall as the strip allows, at the left.
    const qreal h = all.height();
    const QRectF quill = renderer().boundsOnElement(QStringLiteral("quill"));
    const qreal scale = (h - 10) / quill.height();
    const QRectF quillRect(6, 5, quill.width() * scale, quill.height() * scale);
    renderer().render(&painter, QStringLiteral("quill"), quillRect);

    QFont name = painter.font();
    name.setBold(true);
    name.setPixelSize(qRound(h * 0.42));
    painter.setFont(name);
    painter.setPen(Qt::white);
    const qreal nameLeft = quillRect.right() + 14;
    painter.drawText(QRectF(nameLeft, 0, all.width() - nameLeft, h), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quillon Works"));
    const qreal nameRight = nameLeft + QFontMetricsF(name).horizontalAdvance(QStringLiteral("Quillon Works"));

    QFont motto = painter.font();
    motto.setBold(false);
    motto.setPixelSize(qRound(h * 0.25));
    painter.setFont(motto);
    const QString text = QStringLiteral("Views made simple");
    const QRectF mottoRect(nameRight + 24, 0, all.width() - nameRight - 24 - 16, h);
    // Left out where the strip is too narrow for both.
    if (QFontMetricsF(motto).horizontalAdvance(text) <= mottoRect.width()) {
        painter.setPen(QColor(255, 255, 255, 200));
        painter.drawText(mottoRect, Qt::AlignRight | Qt::AlignVCenter, text);
    }
    return pixmap;
}

QIcon unusedMark(const QColor &colour)
{
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        QPixmap pixmap = canvas(QSize(16, 16), dpr);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(colour.isValid() ? QPen(colour, 1.4) : QPen(Qt::NoPen));
        painter.drawEllipse(QRectF(2, 2, 12, 12));
        painter.drawLine(QPointF(8, 8), QPointF(8, 4.5));
        painter.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void showLogo(QLabel *label)
{
    const int side = qMax(1, label->pixmap().deviceIndependentSize().toSize().width());
    label->setPixmap(logo(side, label->devicePixelRatioF()));
}

void fillWithBanner(QLabel *label)
{
    label->setScaledContents(false);
    label->installEventFilter(new BannerFiller(label));
    BannerFiller::refill(label);
}

} // namespace artwork
