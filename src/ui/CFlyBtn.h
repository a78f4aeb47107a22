#pragma once

#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "ui/CFlyBtnTip.h"
#include "ui/ImageList.h"

namespace tessival {

// An image button of the skin: draws one of three frames (normal, hover, pressed), shows its own
// tooltip after the pointer has rested on it, and on a completed click sends its command id to the
// application's main window. Enabling is a flag of its own; the widget itself stays enabled.
class CFlyBtn : public QWidget {
public:
    static constexpr int kTipDelayTimer = 10;  // 1000 ms after the pointer enters
    static constexpr int kTipHideTimer = 11;   // 3000 ms after the tip appears
    static constexpr int kFlashTimer = 20;     // 500 ms per flash phase

    static constexpr int kNormalFrame = 0;
    static constexpr int kHoverFrame = 1;
    static constexpr int kPressedFrame = 2;

    CFlyBtn();
    ~CFlyBtn() override;

    // An empty text gives a button without tooltip. Fails without a parent.
    bool Create(const QString& text, const QRect& rect, QWidget* parent, const ImageList& images,
                bool fillBackground, unsigned id);
    void SetText(const QString& text);
    void FlashBtn(bool flash);
    void CheckBtn(bool check);
    void EnableWindow(bool enable);

    void OnTimer(int timerId);
    // A click from the keyboard or an assistive tool: sends the command when the button is enabled.
    void Press();

    unsigned CommandId() const { return commandId_; }
    int ImageIndex() const { return imageIndex_; }
    // The frame painting shows: the pressed frame while checked.
    int DrawnFrame() const { return checked_ ? kPressedFrame : imageIndex_; }
    bool IsChecked() const { return checked_; }
    bool IsPressed() const { return pressed_; }
    bool IsHovering() const { return hovering_; }
    bool IsBtnEnabled() const { return enabled_; }
    const CFlyBtnTip* Tip() const { return tip_.get(); }
    const QTimer* Timer(int timerId) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QTimer* TimerById(int timerId);
    void Enter();
    void Leave();
    void HideTip();
    void SendCommand();
    void Repaint();
    void SetAccessibleText(const QString& text);
    void PaintFocusRing(class QPainter& painter) const;

    std::unique_ptr<CFlyBtnTip> tip_;
    unsigned commandId_ = 0;
    bool checked_ = false;
    bool pressed_ = false;
    bool enabled_ = false;
    bool fillBackground_ = false;
    int imageIndex_ = kNormalFrame;
    bool hovering_ = false;
    QWidget* parent_ = nullptr;
    ImageList images_;
    QRect rect_;
    QTimer tipDelayTimer_;
    QTimer tipHideTimer_;
    QTimer flashTimer_;
};

}  // namespace tessival
