#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace tessival {

// Dialog templates give positions in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its height down.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int charHeight);

    int ToPixelsX(int x) const { return x * averageCharWidth_ / 4; }
    int ToPixelsY(int y) const { return y * charHeight_ / 8; }
    QRect ToPixels(int x, int y, int width, int height) const;

    // Places a control at a template rectangle.
    void Place(QWidget& control, int x, int y, int width, int height) const;
    // Sizes a dialog to its template size.
    void SizeDialog(QWidget& dialog, int width, int height) const;

private:
    int averageCharWidth_;
    int charHeight_;
};

// Gives a dialog its template's title, font and size; the units to place its controls with.
DialogUnits ApplyTemplate(QWidget& dialog, const QString& title, int width, int height);

// The font the dialog templates name ("MS Sans Serif" 8), or the closest sans-serif face.
QFont DialogFont();

}  // namespace tessival
