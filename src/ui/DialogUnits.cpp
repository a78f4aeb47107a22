#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

#include "ui/SkinStyle.h"

namespace tessival {

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(QFontMetrics(font).averageCharWidth(), QFontMetrics(font).height()) {}

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    // Convert the far edges too, so that neighbouring controls meet as they do in the template.
    return QRect(QPoint(left, top), QPoint(ToPixelsX(x + width) - 1, ToPixelsY(y + height) - 1));
}

void DialogUnits::Place(QWidget& control, int x, int y, int width, int height) const {
    control.setGeometry(ToPixels(x, y, width, height));
}

void DialogUnits::SizeDialog(QWidget& dialog, int width, int height) const {
    dialog.setFixedSize(ToPixelsX(width), ToPixelsY(height));
}

DialogUnits ApplyTemplate(QWidget& dialog, const QString& title, int width, int height) {
    dialog.setWindowTitle(title);
    dialog.setFont(DialogFont());
    ApplyDialogSkin(dialog);
    const DialogUnits units(dialog.font());
    units.SizeDialog(dialog, width, height);
    return units;
}

QFont DialogFont() {
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace tessival
