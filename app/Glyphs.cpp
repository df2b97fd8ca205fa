#include "app/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavisto {

namespace {

constexpr int kGlyphSize = 16;

QPixmap TransparentPixmap() {
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A triangle 6 pixels wide, its tip at tipX, pointing left when pointsLeft.
QPainterPath Triangle(qreal tipX, bool pointsLeft) {
    const qreal baseX = pointsLeft ? tipX + 6 : tipX - 6;
    QPainterPath path;
    path.moveTo(tipX, 8);
    path.lineTo(baseX, 2);
    path.lineTo(baseX, 14);
    path.closeSubpath();
    return path;
}

}  // namespace

QIcon NavigatorGlyph(TNavigateRole role) {
    QPixmap pixmap = TransparentPixmap();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0x20, 0x20));
    switch (role) {
        case TNavigateRole::First:
            painter.drawRect(QRectF(3, 2, 2, 12));
            painter.drawPath(Triangle(6, true));
            break;
        case TNavigateRole::Prior:
            painter.drawPath(Triangle(5, true));
            break;
        case TNavigateRole::Next:
            painter.drawPath(Triangle(11, false));
            break;
        case TNavigateRole::Last:
            painter.drawPath(Triangle(10, false));
            painter.drawRect(QRectF(11, 2, 2, 12));
            break;
    }
    painter.end();
    return QIcon(pixmap);
}

QIcon LogfileIcon() {
    QPixmap pixmap = TransparentPixmap();
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(Qt::white);
    painter.drawRect(1, 0, 13, 15);
    painter.fillRect(2, 1, 12, 3, QColor(0x3A, 0x6E, 0xA5));
    for (int row = 0; row < 5; ++row) {
        const QColor stripe = row % 2 == 0 ? QColor(0xFF, 0xFF, 0xE1) : QColor(Qt::white);
        painter.fillRect(2, 4 + 2 * row, 12, 2, stripe);
        painter.fillRect(3, 5 + 2 * row, 9 - (row % 3) * 2, 1, QColor(0x60, 0x60, 0x60));
    }
    painter.end();
    return QIcon(pixmap);
}

}  // namespace tavisto
