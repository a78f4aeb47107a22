#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace tessival {

// The tooltip window of an image button: a small framed text shown beside the mouse pointer
// without taking the focus.
class CFlyBtnTip : public QWidget {
public:
    CFlyBtnTip();

    bool Create(const QString& text, const QColor& textColor, const QColor& backgroundColor, QWidget* owner);
    // True: place the tip 15 pixels right of and below the pointer and show it; false: hide it.
    void Show(bool show);
    void SetText(const QString& text);
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize TextExtent() const;

    QColor backgroundColor_;
    QColor textColor_;
    QString text_;
};

}  // namespace tessival
