#include "Artwork.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>
#include <QtMath>

namespace tandu::qt {

namespace {

// Every picture is designed on the 96 DPI grid of the skinned buttons and
// scaled to the size it is shown at.
constexpr qreal kDesignWidth = 113;
constexpr qreal kDesignHeight = 61;

const char* const kCaptions[] = {"Add URL...", "Add Sequence...", "Add List...", "Preferences...",
                                 "Check URL..."};

enum class Look { Normal, Hover, Pressed };

struct Palette {
    QColor top, bottom, border, highlight, caption;
};

Palette paletteFor(Look look) {
    switch (look) {
        case Look::Hover:
            return {QColor(0xFF, 0xE6, 0xA8), QColor(0xF4, 0xB0, 0x38), QColor(0xB9, 0x7A, 0x12),
                    QColor(255, 255, 255, 170), QColor(0x3A, 0x26, 0x00)};
        case Look::Pressed:
            return {QColor(0xDB, 0x93, 0x1E), QColor(0xF3, 0xC1, 0x5C), QColor(0x8A, 0x56, 0x08),
                    QColor(0, 0, 0, 0), QColor(0x2A, 0x1A, 0x00)};
        case Look::Normal:
        default:
            return {QColor(0xF7, 0xF7, 0xF7), QColor(0xD4, 0xD6, 0xD9), QColor(0x98, 0x9C, 0xA2),
                    QColor(255, 255, 255, 200), QColor(0x26, 0x2A, 0x30)};
    }
}

const QColor kInk(0x27, 0x3F, 0x5E);
const QColor kBlue(0x3D, 0x86, 0xD6);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kGreen(0x2F, 0x9E, 0x47);

QPen inkPen(qreal width = 1.6) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small green "+" badge: these buttons add downloads.
void drawPlusBadge(QPainter& p, QPointF centre) {
    p.setPen(QPen(QColor(0x1E, 0x6B, 0x2F), 1.0));
    p.setBrush(kGreen);
    p.drawEllipse(centre, 6.5, 6.5);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-3.2, 0), centre + QPointF(3.2, 0));
    p.drawLine(centre + QPointF(0, -3.2), centre + QPointF(0, 3.2));
}

void drawGlobe(QPainter& p, QPointF centre, qreal r) {
    QRadialGradient fill(centre - QPointF(r / 3, r / 3), r * 1.6);
    fill.setColorAt(0, kBlue.lighter(150));
    fill.setColorAt(1, kBlue);
    p.setPen(inkPen(1.4));
    p.setBrush(fill);
    p.drawEllipse(centre, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.1));
    p.drawEllipse(centre, r * 0.45, r);
    p.drawLine(centre - QPointF(r, 0), centre + QPointF(r, 0));
    p.drawLine(centre - QPointF(0, r), centre + QPointF(0, r));
    const qreal y = r * 0.5;
    const qreal half = qSqrt(r * r - y * y);
    p.drawLine(centre + QPointF(-half, -y), centre + QPointF(half, -y));
    p.drawLine(centre + QPointF(-half, y), centre + QPointF(half, y));
}

void drawSheet(QPainter& p, const QRectF& box) {
    QPainterPath sheet;
    const qreal fold = 6;
    sheet.moveTo(box.topLeft());
    sheet.lineTo(box.right() - fold, box.top());
    sheet.lineTo(box.right(), box.top() + fold);
    sheet.lineTo(box.bottomRight());
    sheet.lineTo(box.bottomLeft());
    sheet.closeSubpath();
    p.setPen(inkPen(1.3));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.setBrush(QColor(0xDD, 0xE3, 0xEA));
    QPainterPath corner;
    corner.moveTo(box.right() - fold, box.top());
    corner.lineTo(box.right() - fold, box.top() + fold);
    corner.lineTo(box.right(), box.top() + fold);
    p.drawPath(corner);
}

// Icon 0: a globe with a "+": add one address.
void drawAddUrl(QPainter& p, QPointF c) {
    drawGlobe(p, c, 12);
    drawPlusBadge(p, c + QPointF(11, 9));
}

// Icon 1: numbered cards fanned out with a "+": add a numeric sequence.
void drawAddSequence(QPainter& p, QPointF c) {
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    const char* digits[] = {"1", "2", "3"};
    for (int i = 0; i < 3; ++i) {
        const QRectF card(c.x() - 16 + i * 9, c.y() - 12 + i * 3, 15, 18);
        p.setPen(inkPen(1.2));
        p.setBrush(i == 2 ? kBlue.lighter(170) : kPaper);
        p.drawRoundedRect(card, 2, 2);
        // The next card covers all but the left part of this one.
        p.setPen(kInk);
        p.drawText(QRectF(card.left(), card.top(), i == 2 ? card.width() : 9, card.height()),
                   Qt::AlignCenter, QString::fromLatin1(digits[i]));
    }
    drawPlusBadge(p, c + QPointF(17, 11));
}

// Icon 2: a sheet of bulleted lines with a "+": add a list of addresses.
void drawAddList(QPainter& p, QPointF c) {
    drawSheet(p, QRectF(c.x() - 11, c.y() - 14, 22, 27));
    for (int i = 0; i < 4; ++i) {
        const qreal y = c.y() - 7 + i * 5.5;
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(c.x() - 6, y), 1.5, 1.5);
        p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 2.5, y), QPointF(c.x() + 7, y));
    }
    drawPlusBadge(p, c + QPointF(11, 10));
}

// Icon 3: a gear.
void drawPreferences(QPainter& p, QPointF c) {
    const int teeth = 8;
    const qreal outer = 13.5, inner = 10.5;
    QPainterPath gear;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal angle = (i - 0.5) * M_PI / (teeth * 2);
        const qreal r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
        const QPointF point = c + QPointF(r * qCos(angle), r * qSin(angle));
        if (i == 0) {
            gear.moveTo(point);
        } else {
            gear.lineTo(point);
        }
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 4.5, 4.5);
    QLinearGradient fill(c - QPointF(0, outer), c + QPointF(0, outer));
    fill.setColorAt(0, QColor(0x9F, 0xAE, 0xC0));
    fill.setColorAt(1, QColor(0x5B, 0x6B, 0x80));
    p.setPen(inkPen(1.3));
    p.setBrush(fill);
    p.drawPath(gear.subtracted(hole));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.0));
    p.drawEllipse(c, 7.5, 7.5);
}

// Icon 4: a magnifier with a check mark in its lens.
void drawCheckUrl(QPainter& p, QPointF c) {
    const QPointF lens = c + QPointF(-3, -3);
    const qreal r = 9.5;
    p.setPen(QPen(QColor(0x5A, 0x3A, 0x1A), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens + QPointF(r * 0.7, r * 0.7), lens + QPointF(r * 1.45, r * 1.45));
    QRadialGradient glass(lens - QPointF(3, 3), r * 1.4);
    glass.setColorAt(0, QColor(0xF2, 0xF8, 0xFF));
    glass.setColorAt(1, QColor(0xB9, 0xD6, 0xF2));
    p.setPen(inkPen(2.2));
    p.setBrush(glass);
    p.drawEllipse(lens, r, r);
    QPainterPath tick;
    tick.moveTo(lens + QPointF(-4.5, 0.5));
    tick.lineTo(lens + QPointF(-1.2, 4));
    tick.lineTo(lens + QPointF(5, -3.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

void drawButton(QPainter& p, int index, Look look) {
    const Palette colours = paletteFor(look);
    const QRectF face(0.5, 0.5, kDesignWidth - 1, kDesignHeight - 1);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, colours.top);
    fill.setColorAt(1, colours.bottom);
    p.setPen(QPen(colours.border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 6, 6);
    if (look == Look::Pressed) {
        // A shadow along the top and left edges: the face sits lower.
        p.setPen(QPen(QColor(0, 0, 0, 60), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(face.adjusted(1.5, 1.5, -0.5, -0.5), 5, 5);
        p.translate(1, 1);
    } else {
        p.setPen(QPen(colours.highlight, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(face.adjusted(1, 1, -1, -1), 5, 5);
    }

    const QPointF iconCentre(kDesignWidth / 2, 21);
    p.save();
    p.translate(iconCentre);
    p.scale(1.15, 1.15);
    p.translate(-iconCentre);
    switch (index) {
        case 0:
            drawAddUrl(p, iconCentre);
            break;
        case 1:
            drawAddSequence(p, iconCentre);
            break;
        case 2:
            drawAddList(p, iconCentre);
            break;
        case 3:
            drawPreferences(p, iconCentre);
            break;
        case 4:
            drawCheckUrl(p, iconCentre);
            break;
        default:
            break;
    }
    p.restore();

    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(colours.caption);
    p.drawText(QRectF(2, 38, kDesignWidth - 4, 20), Qt::AlignHCenter | Qt::AlignVCenter,
               QString::fromLatin1(kCaptions[index]));
}

// The program's mark: a blue tile with a white arrow going down into an amber tray.
void drawMark(QPainter& p, qreal side) {
    p.save();
    p.scale(side / 64.0, side / 64.0);
    const QRectF tile(2, 2, 60, 60);
    QLinearGradient blue(tile.topLeft(), tile.bottomRight());
    blue.setColorAt(0, QColor(0x3A, 0x86, 0xD8));
    blue.setColorAt(1, QColor(0x1A, 0x4A, 0x8A));
    p.setPen(QPen(QColor(0x12, 0x36, 0x66), 1.5));
    p.setBrush(blue);
    p.drawRoundedRect(tile, 12, 12);

    QPainterPath tray;
    tray.moveTo(13, 40);
    tray.lineTo(13, 51);
    tray.lineTo(51, 51);
    tray.lineTo(51, 40);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xF6, 0xB5, 0x3A), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tray);

    QPainterPath arrow;
    arrow.moveTo(27, 10);
    arrow.lineTo(37, 10);
    arrow.lineTo(37, 27);
    arrow.lineTo(45, 27);
    arrow.lineTo(32, 42);
    arrow.lineTo(19, 27);
    arrow.lineTo(27, 27);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x0E, 0x2C, 0x55), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.restore();
}

bool parseButton(const QString& name, int& index, Look& look) {
    struct Prefix {
        const char* text;
        Look look;
    };
    for (const Prefix& prefix : {Prefix{"normal", Look::Normal}, Prefix{"hover", Look::Hover},
                                 Prefix{"pressed", Look::Pressed}}) {
        const QLatin1String text(prefix.text);
        if (name.startsWith(text)) {
            bool ok = false;
            index = name.mid(text.size()).toInt(&ok);
            look = prefix.look;
            return ok && index >= 0 && index < 5;
        }
    }
    return false;
}

}  // namespace

QPixmap Artwork::picture(const QString& name, const QSize& size, qreal devicePixelRatio) {
    const QString key = QStringLiteral("tandu:%1:%2x%3@%4")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    pixmap = QPixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
    int index = 0;
    Look look = Look::Normal;
    if (parseButton(name, index, look)) {
        p.scale(size.width() / kDesignWidth, size.height() / kDesignHeight);
        drawButton(p, index, look);
    } else {
        // Any other picture (the About box's) shows the program's mark.
        const qreal side = std::min(size.width(), size.height());
        p.translate((size.width() - side) / 2, (size.height() - side) / 2);
        drawMark(p, side);
    }
    p.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon Artwork::appIcon() {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        drawMark(p, side);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tandu::qt
