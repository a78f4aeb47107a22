#include "ui/CFlyBtnTip.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPainter>

namespace tessival {
namespace {

constexpr int kTextOffset = 2;
constexpr int kPointerDistance = 15;

}  // namespace

CFlyBtnTip::CFlyBtnTip() = default;

bool CFlyBtnTip::Create(const QString& text, const QColor& textColor, const QColor& backgroundColor,
                        QWidget* owner) {
    text_ = text;
    textColor_ = textColor;
    backgroundColor_ = backgroundColor;
    // A tool-tip window stays top-level even with a parent; the parent only ties its life to the owner.
    setParent(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    return true;
}

QSize CFlyBtnTip::TextExtent() const {
    const QFontMetrics metrics(font());
    // Room on both sides of the text for the offset and the frame.
    return QSize(metrics.horizontalAdvance(text_) + 3 * kTextOffset, metrics.height() + 2 * kTextOffset);
}

void CFlyBtnTip::Show(bool show) {
    if (!show) {
        hide();
        return;
    }
    setGeometry(QRect(QCursor::pos() + QPoint(kPointerDistance, kPointerDistance), TextExtent()));
    this->show();
    raise();
}

void CFlyBtnTip::SetText(const QString& text) { text_ = text; }

void CFlyBtnTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColor_);
    painter.setPen(textColor_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    painter.drawText(QPoint(kTextOffset + 1, kTextOffset + metrics.ascent()), text_);
}

}  // namespace tessival
