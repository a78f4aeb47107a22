#include <QPainterPath>
#include <cmath>

#include "ArtPainters.h"

namespace tessival::art {
namespace {

// Glyphs are designed on a 20 x 20 grid and scaled to their box.
void Stroke(QPainter& p, const QColor& color, qreal width = 2.4) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void Fill(QPainter& p, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
}

void Arrow(QPainter& p, const QColor& color, bool up) {
    QPainterPath path;
    const qreal tip = up ? 2.5 : 17.5;
    const qreal base = up ? 10.5 : 9.5;
    const qreal end = up ? 17.5 : 2.5;
    path.moveTo(10, tip);
    path.lineTo(17.5, base);
    path.lineTo(13, base);
    path.lineTo(13, end);
    path.lineTo(7, end);
    path.lineTo(7, base);
    path.lineTo(2.5, base);
    path.closeSubpath();
    Fill(p, color);
    p.drawPath(path);
}

void Trash(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.0);
    p.drawLine(QPointF(3, 5), QPointF(17, 5));
    p.drawLine(QPointF(8, 5), QPointF(8.5, 2.5));
    p.drawLine(QPointF(8.5, 2.5), QPointF(11.5, 2.5));
    p.drawLine(QPointF(11.5, 2.5), QPointF(12, 5));
    QPainterPath body;
    body.moveTo(4.5, 7);
    body.lineTo(5.5, 17.5);
    body.lineTo(14.5, 17.5);
    body.lineTo(15.5, 7);
    p.drawPath(body);
    p.drawLine(QPointF(8.3, 9.5), QPointF(8.5, 15));
    p.drawLine(QPointF(11.7, 9.5), QPointF(11.5, 15));
}

void Page(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.0);
    QPainterPath page;
    page.moveTo(4, 2);
    page.lineTo(12, 2);
    page.lineTo(16.5, 6.5);
    page.lineTo(16.5, 18);
    page.lineTo(4, 18);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(12, 2), QPointF(12, 6.5));
    p.drawLine(QPointF(12, 6.5), QPointF(16.5, 6.5));
    Stroke(p, color, 1.6);
    for (qreal y : {10.0, 13.0, 15.5}) p.drawLine(QPointF(7, y), QPointF(13.5, y));
}

void Floppy(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.0);
    QPainterPath disk;
    disk.moveTo(3, 3);
    disk.lineTo(14.5, 3);
    disk.lineTo(17, 5.5);
    disk.lineTo(17, 17);
    disk.lineTo(3, 17);
    disk.closeSubpath();
    p.drawPath(disk);
    p.drawRect(QRectF(6.5, 3, 7, 4.5));
    Fill(p, color);
    p.drawRoundedRect(QRectF(6, 11, 8, 6), 1, 1);
}

void Folder(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.0);
    QPainterPath back;
    back.moveTo(2.5, 16.5);
    back.lineTo(2.5, 4);
    back.lineTo(7.5, 4);
    back.lineTo(9.5, 6);
    back.lineTo(15.5, 6);
    back.lineTo(15.5, 8.5);
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(2.5, 16.5);
    front.lineTo(5.5, 8.5);
    front.lineTo(18.5, 8.5);
    front.lineTo(15.5, 16.5);
    front.closeSubpath();
    QColor soft = color;
    soft.setAlpha(90);
    p.setBrush(soft);
    p.drawPath(front);
}

void Pencil(QPainter& p, const QColor& color) {
    p.save();
    p.translate(10, 10);
    p.rotate(45);
    Fill(p, color);
    p.drawRoundedRect(QRectF(-2.6, -9.5, 5.2, 13), 1, 1);
    QPainterPath tip;
    tip.moveTo(-2.6, 4.8);
    tip.lineTo(2.6, 4.8);
    tip.lineTo(0, 9.5);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void Power(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.4);
    p.drawArc(QRectF(3, 3.5, 14, 14), (90 + 40) * 16, (360 - 80) * 16);
    p.drawLine(QPointF(10, 1.8), QPointF(10, 9.5));
}

void CycleArrows(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.3);
    const QRectF ring(3.5, 3.5, 13, 13);
    p.drawArc(ring, 20 * 16, 140 * 16);
    p.drawArc(ring, 200 * 16, 140 * 16);
    Fill(p, color);
    auto head = [&p](QPointF at, qreal angle) {
        p.save();
        p.translate(at);
        p.rotate(angle);
        QPainterPath tri;
        tri.moveTo(-3.2, -1.5);
        tri.lineTo(3.2, -1.5);
        tri.lineTo(0, 2.8);
        tri.closeSubpath();
        p.drawPath(tri);
        p.restore();
    };
    head(QPointF(16.6, 8.2), 0);
    head(QPointF(3.4, 11.8), 180);
}

void Question(QPainter& p, const QColor& color) {
    Stroke(p, color, 2.5);
    QPainterPath hook;
    hook.moveTo(6, 6.5);
    hook.cubicTo(6, 2, 14.5, 2, 14.5, 6.5);
    hook.cubicTo(14.5, 9.5, 10, 9.5, 10, 12.8);
    p.drawPath(hook);
    Fill(p, color);
    p.drawEllipse(QPointF(10, 16.8), 1.6, 1.6);
}

}  // namespace

void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width() / 20.0, box.height() / 20.0);
    switch (glyph) {
        case Glyph::Add:
            Stroke(painter, color, 3.0);
            painter.drawLine(QPointF(10, 3.5), QPointF(10, 16.5));
            painter.drawLine(QPointF(3.5, 10), QPointF(16.5, 10));
            break;
        case Glyph::Delete: Trash(painter, color); break;
        case Glyph::NewList: Page(painter, color); break;
        case Glyph::Save: Floppy(painter, color); break;
        case Glyph::Load: Folder(painter, color); break;
        case Glyph::Edit: Pencil(painter, color); break;
        case Glyph::Minimize:
            Fill(painter, color);
            painter.drawRoundedRect(QRectF(4, 13, 12, 3.2), 1.2, 1.2);
            break;
        case Glyph::Exit: Power(painter, color); break;
        case Glyph::MoveUp: Arrow(painter, color, true); break;
        case Glyph::MoveDown: Arrow(painter, color, false); break;
        case Glyph::Play: {
            QPainterPath tri;
            tri.moveTo(6, 3.5);
            tri.lineTo(16.5, 10);
            tri.lineTo(6, 16.5);
            tri.closeSubpath();
            Fill(painter, color);
            painter.drawPath(tri);
            break;
        }
        case Glyph::Help: Question(painter, color); break;
        case Glyph::Start: CycleArrows(painter, color); break;
        case Glyph::Stop:
            Fill(painter, color);
            painter.drawRoundedRect(QRectF(4.5, 4.5, 11, 11), 1.8, 1.8);
            break;
    }
    painter.restore();
}

void DrawBadge(QPainter& painter, const QPointF& centre, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(centre, radius * 1.35);
    glow.setColorAt(0.7, QColor(53, 196, 255, 70));
    glow.setColorAt(1.0, QColor(53, 196, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 1.35, radius * 1.35);

    QLinearGradient disc(centre - QPointF(0, radius), centre + QPointF(0, radius));
    disc.setColorAt(0, QColor(120, 222, 255));
    disc.setColorAt(0.5, QColor(30, 150, 220));
    disc.setColorAt(1, QColor(10, 70, 130));
    painter.setBrush(disc);
    painter.setPen(QPen(QColor(8, 24, 38), radius * 0.06));
    painter.drawEllipse(centre, radius, radius);

    // A waveform across the disc.
    QPainterPath wave;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = static_cast<qreal>(i) / steps;
        const qreal x = centre.x() - radius * 0.72 + t * radius * 1.44;
        const qreal envelope = std::sin(t * M_PI);
        const qreal y = centre.y() - envelope * radius * 0.48 * std::sin(t * 6 * M_PI) * std::cos(t * 2.3);
        if (i == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 235), radius * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(wave);

    QLinearGradient gloss(centre - QPointF(0, radius), centre);
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawEllipse(QRectF(centre.x() - radius * 0.8, centre.y() - radius * 0.95, radius * 1.6, radius * 1.0));
    painter.restore();
}

}  // namespace tessival::art
