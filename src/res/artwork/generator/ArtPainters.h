#pragma once

// The drawing routines of the artwork generator. Everything is drawn with QPainter from code, so
// the committed PNG files can be redrawn at any time.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRectF>

namespace tessival::art {

enum class Glyph { Add, Delete, NewList, Save, Load, Edit, Minimize, Exit, MoveUp, MoveDown, Play, Help, Start, Stop };

inline const QColor kMagenta(255, 0, 255);
inline const QColor kAccent(53, 196, 255);

// The 640 x 480 window skin.
QImage DrawSkin();
// Three 44 x 44 frames (normal, hover, pressed) of the button at `position` on the skin. Pixels
// outside the button are magenta; edge pixels are blended with the skin below.
QImage DrawButtonStrip(const QImage& skin, QPoint position, Glyph glyph, const QColor& accent);
// Three 16 x 16 row images on magenta: a media file, a disc track, a capture device.
QImage DrawListIcons();
// The window icon.
QImage DrawAppIcon(int size);
// The window icon on any paint device of `size` x `size` (the scalable icon is drawn into SVG).
void PaintAppIcon(QPainter& painter, qreal size);

// The window icon for a desktop icon theme: hicolor/<size>x<size>/apps/<name>.png at the usual
// sizes and hicolor/scalable/apps/<name>.svg.
bool WriteIconTheme(const QString& hicolor, const QString& iconName);

// Paints a glyph centred in `box` in `color`.
void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& color);
// The program's badge: a disc of light with a waveform, used by the logo and the icon.
void DrawBadge(QPainter& painter, const QPointF& centre, qreal radius);

}  // namespace tessival::art
