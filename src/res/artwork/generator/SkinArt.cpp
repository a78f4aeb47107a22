#include <QFont>
#include <QPainterPath>
#include <QRandomGenerator>
#include <cmath>

#include "ArtPainters.h"

namespace tessival::art {
namespace {

// A raised panel with a light top edge and a dark outline.
void Panel(QPainter& p, const QRectF& rect, qreal radius, const QColor& top, const QColor& bottom) {
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(QColor(6, 8, 10), 1));
    p.setBrush(fill);
    p.drawRoundedRect(rect, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 38), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

// A recessed well: dark inside, shadow at the top, light lip at the bottom.
void Well(QPainter& p, const QRectF& rect, qreal radius) {
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, QColor(8, 11, 14));
    fill.setColorAt(1, QColor(20, 26, 32));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(rect, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 150), 1));
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.drawLine(rect.bottomLeft() + QPointF(radius, 0.5), rect.bottomRight() + QPointF(-radius, 0.5));
}

void Screw(QPainter& p, const QPointF& at) {
    QRadialGradient head(at - QPointF(1, 1), 4);
    head.setColorAt(0, QColor(150, 160, 170));
    head.setColorAt(1, QColor(50, 58, 66));
    p.setPen(QPen(QColor(10, 12, 14), 0.8));
    p.setBrush(head);
    p.drawEllipse(at, 3.2, 3.2);
    p.setPen(QPen(QColor(20, 24, 28), 1.1));
    p.drawLine(at + QPointF(-2, 1.2), at + QPointF(2, -1.2));
}

void BrushedBackground(QImage& skin) {
    QPainter p(&skin);
    QLinearGradient base(0, 0, 0, skin.height());
    base.setColorAt(0, QColor(46, 55, 65));
    base.setColorAt(0.5, QColor(31, 38, 46));
    base.setColorAt(1, QColor(22, 27, 33));
    p.fillRect(skin.rect(), base);
    // Fine horizontal grain, the same on every run.
    QRandomGenerator grain(7);
    for (int y = 0; y < skin.height(); ++y) {
        const int shade = static_cast<int>(grain.bounded(14));
        p.setPen(QColor(255, 255, 255, shade));
        p.drawLine(0, y, skin.width(), y);
    }
    // Bevelled outer edge.
    p.setPen(QColor(4, 5, 7));
    p.drawRect(skin.rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(90, 104, 118));
    p.drawLine(1, 1, skin.width() - 2, 1);
    p.drawLine(1, 1, 1, skin.height() - 2);
    p.setPen(QColor(12, 15, 18));
    p.drawLine(1, skin.height() - 2, skin.width() - 2, skin.height() - 2);
    p.drawLine(skin.width() - 2, 1, skin.width() - 2, skin.height() - 2);
}

void Logo(QPainter& p) {
    DrawBadge(p, QPointF(35, 44), 15);
    QFont title(QStringLiteral("DejaVu Sans"), 1);
    title.setPixelSize(17);
    title.setWeight(QFont::Black);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    QPainterPath text;
    text.addText(QPointF(57, 47), title, QStringLiteral("TESSIVAL"));
    QLinearGradient chrome(0, 33, 0, 48);
    chrome.setColorAt(0, QColor(250, 253, 255));
    chrome.setColorAt(0.55, QColor(170, 214, 238));
    chrome.setColorAt(1, QColor(90, 160, 205));
    p.setPen(QPen(QColor(0, 0, 0, 140), 2));
    p.drawPath(text.translated(0, 1));
    p.setPen(Qt::NoPen);
    p.setBrush(chrome);
    p.drawPath(text);

    QFont caption(QStringLiteral("DejaVu Sans"), 1);
    caption.setPixelSize(7);
    caption.setWeight(QFont::DemiBold);
    caption.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(caption);
    p.setPen(QColor(110, 160, 190));
    p.drawText(QPointF(58, 60), QStringLiteral("AUDIO CONVERTER"));
}

// A still spectrum in the display between the lower button rows.
void Display(QPainter& p, const QRectF& rect) {
    Well(p, rect, 5);
    const QRectF screen = rect.adjusted(4, 4, -4, -4);
    QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
    glass.setColorAt(0, QColor(6, 26, 38));
    glass.setColorAt(1, QColor(3, 14, 22));
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(glass);
    p.drawRoundedRect(screen, 3, 3);

    const int bars = 26;
    const qreal left = screen.left() + 70;
    const qreal width = (screen.right() - 6 - left) / bars;
    for (int i = 0; i < bars; ++i) {
        const qreal t = static_cast<qreal>(i) / bars;
        const qreal level = 0.25 + 0.6 * std::fabs(std::sin(t * 7.1 + 0.6) * std::cos(t * 2.2)) + 0.12 * (1 - t);
        const int segments = static_cast<int>(std::round(level * 8));
        for (int s = 0; s < 8; ++s) {
            QColor led = s >= 6 ? QColor(255, 190, 80) : QColor(53, 196, 255);
            led.setAlpha(s < segments ? 230 : 28);
            p.fillRect(QRectF(left + i * width + 1, screen.bottom() - 5 - s * 3.7, width - 2, 2.6), led);
        }
    }
    QFont lcd(QStringLiteral("DejaVu Sans Mono"), 1);
    lcd.setPixelSize(9);
    lcd.setBold(true);
    p.setFont(lcd);
    p.setPen(QColor(120, 220, 255));
    p.drawText(QPointF(screen.left() + 7, screen.top() + 14), QStringLiteral("WAV"));
    p.drawText(QPointF(screen.left() + 7, screen.top() + 25), QStringLiteral("MP3"));
    p.drawText(QPointF(screen.left() + 7, screen.top() + 36), QStringLiteral("WMA"));
    p.setPen(QColor(60, 120, 150));
    p.drawText(QPointF(screen.left() + 33, screen.top() + 25), QStringLiteral("\u25B8"));
}

void Grille(QPainter& p, const QRectF& rect) {
    for (qreal x = rect.left(); x <= rect.right(); x += 4) {
        p.setPen(QColor(0, 0, 0, 170));
        p.drawLine(QPointF(x, rect.top()), QPointF(x, rect.bottom()));
        p.setPen(QColor(255, 255, 255, 28));
        p.drawLine(QPointF(x + 1, rect.top()), QPointF(x + 1, rect.bottom()));
    }
}

}  // namespace

QImage DrawSkin() {
    QImage skin(640, 480, QImage::Format_RGB32);
    BrushedBackground(skin);
    QPainter p(&skin);
    p.setRenderHint(QPainter::Antialiasing);

    // Header with the logo and the upper button row.
    Panel(p, QRectF(8.5, 8.5, 623, 70), 9, QColor(54, 64, 76), QColor(30, 37, 45));
    Logo(p);
    Well(p, QRectF(173, 19, 408, 58), 10);
    Grille(p, QRectF(592, 26, 28, 44));
    for (QPointF at : {QPointF(16, 16), QPointF(624, 16), QPointF(16, 71), QPointF(624, 71)}) Screw(p, at);

    // The bezel around the list.
    Panel(p, QRectF(24.5, 82.5, 591, 323), 8, QColor(40, 48, 57), QColor(26, 32, 39));
    Well(p, QRectF(31, 85, 578, 314), 4);

    // Footer with the lower button rows and the display.
    Panel(p, QRectF(8.5, 401.5, 623, 63), 9, QColor(46, 55, 66), QColor(26, 32, 39));
    Well(p, QRectF(43, 405, 208, 52), 10);
    Well(p, QRectF(473, 405, 108, 52), 10);
    Display(p, QRectF(259, 407, 206, 48));
    for (QPointF at : {QPointF(16, 410), QPointF(624, 410), QPointF(16, 457), QPointF(624, 457)}) Screw(p, at);

    QFont small(QStringLiteral("DejaVu Sans"), 1);
    small.setPixelSize(8);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(small);
    p.setPen(QColor(100, 118, 134));
    p.drawText(QRectF(0, 466, 626, 12), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("KESTRANE  \u2022  TESSIVAL 2.1"));
    return skin;
}

}  // namespace tessival::art
