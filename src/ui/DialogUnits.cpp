#include "ui/DialogUnits.h"

#include <QEvent>
#include <QFontMetrics>
#include <algorithm>
#include <QLabel>
#include <QPushButton>
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

namespace {

// Room a push button keeps on each side of its text.
constexpr int kButtonTextMargin = 4;

// The width a one-line caption needs for its whole text, or 0 when it wraps or is no caption.
int WidthForText(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        if (label->wordWrap() || Qt::mightBeRichText(label->text())) return 0;
        return label->fontMetrics().horizontalAdvance(label->text()) + label->width() - label->contentsRect().width();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) +
               2 * kButtonTextMargin;
    return 0;
}

// The templates were measured in another font: a caption that needs more room grows away from
// its alignment, into the gap the template leaves beside it, rather than losing its end. It never
// leaves its dialog.
void GrowToText(QWidget& control) {
    const int extra = WidthForText(control) - control.width();
    if (extra <= 0 || !control.parentWidget()) return;
    const auto* label = qobject_cast<const QLabel*>(&control);
    const Qt::Alignment alignment = label ? label->alignment() : Qt::AlignHCenter;
    QRect rect = control.geometry();
    if (alignment & Qt::AlignRight)
        rect.setLeft(rect.left() - extra);
    else if (alignment & Qt::AlignHCenter)
        rect.adjust(-extra / 2, 0, extra - extra / 2, 0);
    else
        rect.setRight(rect.right() + extra);
    const QRect inside = control.parentWidget()->rect();
    rect.setLeft(std::max(rect.left(), inside.left()));
    rect.setRight(std::min(rect.right(), inside.right()));
    control.setGeometry(rect);
}

// Fits the captions once a dialog shows, when every text, wrapping and frame is set.
class CaptionFitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            for (QWidget* control : static_cast<QWidget*>(watched)->findChildren<QWidget*>()) GrowToText(*control);
        }
        return false;
    }
};

}  // namespace

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
    dialog.installEventFilter(new CaptionFitter(&dialog));
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
