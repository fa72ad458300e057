#include "Artwork.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace tandu::qt {

namespace {
const char* const kCaptions[] = {"Add URL...", "Add Sequence...", "Add List...", "Preferences...",
                                 "Check URL..."};
}

QPixmap Artwork::picture(const QString& name, const QSize& size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    const int index = name.right(1).toInt();
    const bool hover = name.startsWith(QLatin1String("hover"));
    const bool pressed = name.startsWith(QLatin1String("pressed"));

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    QColor fill = hover ? QColor(0xF5, 0xB7, 0x41) : QColor(0xD9, 0xD9, 0xD9);
    if (pressed) {
        fill = QColor(0xC8, 0x8A, 0x1E);
    }
    p.setPen(QPen(fill.darker(140), 1));
    p.setBrush(fill);
    p.drawRoundedRect(box, 6, 6);
    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPixelSize(std::max(9, size.height() / 6));
    p.setFont(font);
    if (index >= 0 && index < 5) {
        p.drawText(box.adjusted(0, 0, 0, -4), Qt::AlignHCenter | Qt::AlignBottom,
                   QString::fromLatin1(kCaptions[index]));
    }
    return pixmap;
}

QIcon Artwork::appIcon() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xF5, 0xB7, 0x41));
    p.setPen(QPen(QColor(0x80, 0x50, 0x10), 3));
    p.drawEllipse(QRectF(4, 4, 56, 56));
    QPainterPath arrow;
    arrow.moveTo(26, 14);
    arrow.lineTo(38, 14);
    arrow.lineTo(38, 32);
    arrow.lineTo(48, 32);
    arrow.lineTo(32, 50);
    arrow.lineTo(16, 32);
    arrow.lineTo(26, 32);
    arrow.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    return QIcon(pixmap);
}

}  // namespace tandu::qt
