#include "ui/CFlyBtn.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

#include "ui/CommandTarget.h"

namespace tessival {
namespace {

void SetUpTimer(QTimer& timer, int intervalMs) {
    timer.setInterval(intervalMs);
    timer.setSingleShot(false);
}

// The disabled look: the frame blended with a quarter of the highlight colour.
QPixmap Blend25(const QPixmap& frame, const QColor& highlight) {
    QPixmap blended = frame;
    QPainter painter(&blended);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    QColor tint = highlight;
    tint.setAlpha(64);
    painter.fillRect(blended.rect(), tint);
    return blended;
}

// The ring of the focused button: the skin's selection blue, inside the frame's edge.
const QColor kFocusRing(95, 192, 255);

// Screen readers see an image button as a push button that can be pressed, with its tip as name.
class FlyBtnAccessible : public QAccessibleWidget {
public:
    explicit FlyBtnAccessible(CFlyBtn* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const auto* button = static_cast<const CFlyBtn*>(widget());
        state.disabled = !button->IsBtnEnabled();
        state.pressed = button->IsChecked();
        return state;
    }
    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<CFlyBtn*>(widget())->Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* FlyBtnAccessibleFactory(const QString&, QObject* object) {
    if (auto* button = dynamic_cast<CFlyBtn*>(object)) return new FlyBtnAccessible(button);
    return nullptr;
}

}  // namespace

CFlyBtn::CFlyBtn() {
    static const bool factoryInstalled = (QAccessible::installFactory(FlyBtnAccessibleFactory), true);
    (void)factoryInstalled;
    // Tab reaches every button; a click leaves the focus where it was, on the list.
    setFocusPolicy(Qt::TabFocus);
    SetUpTimer(tipDelayTimer_, 1000);
    SetUpTimer(tipHideTimer_, 3000);
    SetUpTimer(flashTimer_, 500);
    connect(&tipDelayTimer_, &QTimer::timeout, this, [this] { OnTimer(kTipDelayTimer); });
    connect(&tipHideTimer_, &QTimer::timeout, this, [this] { OnTimer(kTipHideTimer); });
    connect(&flashTimer_, &QTimer::timeout, this, [this] { OnTimer(kFlashTimer); });
}

CFlyBtn::~CFlyBtn() = default;

bool CFlyBtn::Create(const QString& text, const QRect& rect, QWidget* parent, const ImageList& images,
                     bool fillBackground, unsigned id) {
    images_ = images;
    parent_ = parent;
    rect_ = rect;
    commandId_ = id;
    fillBackground_ = fillBackground;
    SetAccessibleText(text);
    if (!text.isEmpty()) {
        tip_ = std::make_unique<CFlyBtnTip>();
        const QPalette tipColors = QToolTip::palette();
        tip_->Create(text, tipColors.color(QPalette::ToolTipText), tipColors.color(QPalette::ToolTipBase), this);
    }
    if (!parent) return false;
    setParent(parent);
    setGeometry(rect);
    // Moves arrive without a pressed button, so hovering needs no pointer grab.
    setMouseTracking(true);
    show();
    hovering_ = false;
    imageIndex_ = kNormalFrame;
    enabled_ = true;
    pressed_ = false;
    return true;
}

void CFlyBtn::SetText(const QString& text) {
    SetAccessibleText(text);
    if (tip_) tip_->SetText(text);
}

void CFlyBtn::SetAccessibleText(const QString& text) {
    // The tip's first words name the button; the whole tip, keys included, describes it.
    setAccessibleName(text.section(QStringLiteral(" ("), 0, 0).trimmed());
    setAccessibleDescription(text.trimmed());
}

void CFlyBtn::FlashBtn(bool flash) {
    if (flash)
        flashTimer_.start();
    else
        flashTimer_.stop();
}

void CFlyBtn::CheckBtn(bool check) {
    checked_ = check;
    Repaint();
}

void CFlyBtn::EnableWindow(bool enable) {
    enabled_ = enable;
    imageIndex_ = kNormalFrame;
    Repaint();
    if (!enable) {
        hovering_ = false;
        FlashBtn(false);
    }
}

QTimer* CFlyBtn::TimerById(int timerId) {
    switch (timerId) {
        case kTipDelayTimer: return &tipDelayTimer_;
        case kTipHideTimer: return &tipHideTimer_;
        case kFlashTimer: return &flashTimer_;
        default: return nullptr;
    }
}

const QTimer* CFlyBtn::Timer(int timerId) const { return const_cast<CFlyBtn*>(this)->TimerById(timerId); }

void CFlyBtn::OnTimer(int timerId) {
    switch (timerId) {
        case kTipDelayTimer:
            tipDelayTimer_.stop();
            if (tip_) {
                tip_->Show(true);
                tipHideTimer_.start();
            }
            break;
        case kTipHideTimer:
            HideTip();
            tipHideTimer_.stop();
            break;
        case kFlashTimer:
            if (enabled_) {
                imageIndex_ = imageIndex_ == kNormalFrame ? kHoverFrame : kNormalFrame;
                Repaint();
            }
            break;
        default: break;
    }
}

void CFlyBtn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fillBackground_) painter.fillRect(rect(), palette().color(QPalette::Button));
    const QPixmap frame = images_.Frame(DrawnFrame());
    if (frame.isNull()) return;
    if (enabled_ || checked_)
        painter.drawPixmap(0, 0, frame);
    else
        painter.drawPixmap(0, 0, Blend25(frame, palette().color(QPalette::Highlight)));
    if (hasFocus()) PaintFocusRing(painter);
}

void CFlyBtn::PaintFocusRing(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kFocusRing, 2, Qt::DotLine));
    painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 6, 6);
}

void CFlyBtn::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!event->isAutoRepeat()) Press();
            event->accept();
            break;
        default: QWidget::keyPressEvent(event);
    }
}

void CFlyBtn::focusInEvent(QFocusEvent* event) {
    Repaint();
    QWidget::focusInEvent(event);
}

void CFlyBtn::focusOutEvent(QFocusEvent* event) {
    Repaint();
    QWidget::focusOutEvent(event);
}

void CFlyBtn::Press() {
    if (enabled_) SendCommand();
}

void CFlyBtn::Enter() {
    hovering_ = true;
    imageIndex_ = kHoverFrame;
    Repaint();
    tipDelayTimer_.start();
}

void CFlyBtn::Leave() {
    imageIndex_ = kNormalFrame;
    Repaint();
    HideTip();
    tipDelayTimer_.stop();
    hovering_ = false;
}

void CFlyBtn::HideTip() {
    if (tip_) tip_->Show(false);
}

void CFlyBtn::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!enabled_) return;
    const bool inside = rect().contains(event->position().toPoint());
    // While a press is held, moves keep arriving after the pointer has left; only a move back
    // over the button counts as entering again.
    if (!hovering_) {
        if (inside) Enter();
    } else if (inside) {
        imageIndex_ = kHoverFrame;
    } else {
        Leave();
    }
}

void CFlyBtn::leaveEvent(QEvent*) {
    // While a press is held the moves report leaving and returning; otherwise this is the exit.
    if (enabled_ && hovering_ && !pressed_) Leave();
}

void CFlyBtn::mousePressEvent(QMouseEvent* event) {
    // Every button is taken here, so no press on a button reaches the skin's dragging.
    event->accept();
    if (!enabled_ || event->button() != Qt::LeftButton) return;
    pressed_ = true;
    HideTip();
    tipDelayTimer_.stop();
    imageIndex_ = kPressedFrame;
    Repaint();
}

void CFlyBtn::mouseDoubleClickEvent(QMouseEvent* event) {
    // A fast second click is a click of its own, never a double-click.
    mousePressEvent(event);
}

void CFlyBtn::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!enabled_ || event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    // Released away from the button: the click was abandoned when the pointer left.
    if (!rect().contains(event->position().toPoint())) return;
    tipDelayTimer_.stop();
    imageIndex_ = kNormalFrame;
    Repaint();
    hovering_ = false;
    HideTip();
    QPointer<CFlyBtn> alive(this);
    SendCommand();
    if (alive) Repaint();
}

void CFlyBtn::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) HideTip();
    QWidget::changeEvent(event);
}

void CFlyBtn::SendCommand() {
    if (CommandTarget* target = AppMainWindow()) target->OnCommand(static_cast<int>(commandId_));
}

void CFlyBtn::Repaint() { update(); }

}  // namespace tessival
