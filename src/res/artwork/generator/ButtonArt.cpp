#include <QPainterPath>

#include "ArtPainters.h"

namespace tessival::art {
namespace {

constexpr int kFrame = 44;
constexpr QPointF kCentre(22, 22);

enum class Look { Normal, Hover, Pressed };

void DrawButtonFace(QPainter& p, Look look, const QColor& accent) {
    p.setRenderHint(QPainter::Antialiasing);
    // Dark outer ring that seats the button in the skin.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(5, 7, 9, 230));
    p.drawEllipse(kCentre, 21, 21);
    if (look == Look::Hover) {
        QColor halo = accent;
        halo.setAlpha(200);
        p.setPen(QPen(halo, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(kCentre, 20.2, 20.2);
    }
    // Metal bezel.
    QLinearGradient bezel(0, 2, 0, 42);
    bezel.setColorAt(0, look == Look::Pressed ? QColor(40, 47, 55) : QColor(118, 132, 146));
    bezel.setColorAt(1, look == Look::Pressed ? QColor(96, 108, 120) : QColor(28, 34, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(kCentre, 19.3, 19.3);
    // Face.
    QLinearGradient face(0, 5, 0, 39);
    if (look == Look::Pressed) {
        face.setColorAt(0, QColor(16, 21, 26));
        face.setColorAt(1, QColor(40, 49, 58));
    } else if (look == Look::Hover) {
        face.setColorAt(0, QColor(76, 90, 104));
        face.setColorAt(1, QColor(34, 42, 50));
    } else {
        face.setColorAt(0, QColor(62, 73, 85));
        face.setColorAt(1, QColor(27, 33, 40));
    }
    p.setBrush(face);
    p.drawEllipse(kCentre, 16.6, 16.6);
    if (look != Look::Pressed) {
        QLinearGradient gloss(0, 6, 0, 22);
        gloss.setColorAt(0, QColor(255, 255, 255, 70));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(gloss);
        p.drawEllipse(QRectF(10, 6.5, 24, 15));
    } else {
        QRadialGradient inner(kCentre, 16.6);
        inner.setColorAt(0.75, QColor(0, 0, 0, 0));
        inner.setColorAt(1, QColor(0, 0, 0, 120));
        p.setBrush(inner);
        p.drawEllipse(kCentre, 16.6, 16.6);
    }
}

QImage DrawButtonLayer(Look look, Glyph glyph, const QColor& accent) {
    QImage layer(kFrame, kFrame, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    DrawButtonFace(p, look, accent);
    const QRectF box(13, 13, 18, 18);
    const QPointF shift = look == Look::Pressed ? QPointF(0, 1) : QPointF(0, 0);
    QColor shadow(0, 0, 0, 150);
    DrawGlyph(p, glyph, box.translated(shift + QPointF(0, 1.2)), shadow);
    QColor ink = look == Look::Normal ? QColor(222, 234, 242) : accent.lighter(look == Look::Hover ? 125 : 100);
    DrawGlyph(p, glyph, box.translated(shift), ink);
    return layer;
}

// Pixels the button does not touch become magenta; the others are blended over the skin.
QImage OnSkin(const QImage& layer, const QImage& skinPatch) {
    QImage frame = skinPatch.convertToFormat(QImage::Format_ARGB32);
    {
        QPainter p(&frame);
        p.drawImage(0, 0, layer);
    }
    const QImage alpha = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (qAlpha(alpha.pixel(x, y)) == 0) frame.setPixel(x, y, kMagenta.rgb());
        }
    }
    return frame.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage DrawButtonStrip(const QImage& skin, QPoint position, Glyph glyph, const QColor& accent) {
    const QImage patch = skin.copy(QRect(position, QSize(kFrame, kFrame)));
    QImage strip(3 * kFrame, kFrame, QImage::Format_RGB32);
    QPainter p(&strip);
    const Look looks[] = {Look::Normal, Look::Hover, Look::Pressed};
    for (int i = 0; i < 3; ++i) p.drawImage(i * kFrame, 0, OnSkin(DrawButtonLayer(looks[i], glyph, accent), patch));
    return strip;
}

QImage DrawListIcons() {
    QImage strip(48, 16, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        // 0: a media file with a note.
        p.setPen(QPen(QColor(16, 40, 60), 1));
        QLinearGradient paper(0, 1, 0, 15);
        paper.setColorAt(0, QColor(120, 214, 255));
        paper.setColorAt(1, QColor(36, 128, 196));
        p.setBrush(paper);
        p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 2, 2);
        p.setPen(QPen(Qt::white, 1.4));
        p.drawLine(QPointF(9.5, 4), QPointF(9.5, 10.5));
        p.drawLine(QPointF(9.5, 4), QPointF(11.5, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(7.8, 10.8), 2.0, 1.6);
        // 1: a disc.
        QRadialGradient disc(QPointF(22, 6), 10);
        disc.setColorAt(0, QColor(235, 240, 248));
        disc.setColorAt(1, QColor(130, 150, 175));
        p.setPen(QPen(QColor(40, 50, 60), 1));
        p.setBrush(disc);
        p.drawEllipse(QPointF(24, 8), 6.5, 6.5);
        p.setBrush(QColor(30, 40, 50));
        p.drawEllipse(QPointF(24, 8), 1.6, 1.6);
        // 2: a microphone.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 190, 90));
        p.drawRoundedRect(QRectF(37.5, 1.5, 5, 9), 2.5, 2.5);
        p.setPen(QPen(QColor(255, 190, 90), 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(35.5, 4, 9, 9), 180 * 16, 180 * 16);
        p.drawLine(QPointF(40, 13), QPointF(40, 15));
    }
    // Edge pixels are blended with the list's background; the rest is magenta.
    const QColor listBackground(13, 20, 27);
    QImage result(strip.size(), QImage::Format_RGB32);
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const QColor c = QColor::fromRgba(strip.pixel(x, y));
            if (c.alpha() == 0) {
                result.setPixel(x, y, kMagenta.rgb());
                continue;
            }
            const qreal a = c.alphaF();
            result.setPixel(x, y, qRgb(static_cast<int>(c.red() * a + listBackground.red() * (1 - a)),
                                       static_cast<int>(c.green() * a + listBackground.green() * (1 - a)),
                                       static_cast<int>(c.blue() * a + listBackground.blue() * (1 - a))));
        }
    }
    return result;
}

QImage DrawAppIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    PaintAppIcon(p, size);
    return icon;
}

void PaintAppIcon(QPainter& p, qreal s) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, s);
    body.setColorAt(0, QColor(64, 76, 90));
    body.setColorAt(1, QColor(18, 23, 29));
    p.setPen(QPen(QColor(5, 7, 9), s * 0.02));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.2, s * 0.2);
    DrawBadge(p, QPointF(s / 2, s / 2), s * 0.32);
}

}  // namespace tessival::art
