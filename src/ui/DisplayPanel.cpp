#include "ui/DisplayPanel.h"

#include "res/ResourceIds.h"
#include "res/StringTable.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <string>

namespace tessival {
namespace {

constexpr int kSegments = 8;
constexpr int kMeterWidth = 34;
const QColor kLcd(120, 220, 255);
const QColor kLcdDim(60, 120, 150);
const QColor kLed(53, 196, 255);
const QColor kLedHot(255, 190, 80);

QFont LcdFont(bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    font.setBold(bold);
    return font;
}

// The level shown falls back slowly, as a meter's needle does, and jumps up at once.
float Decayed(float shown, float level) { return std::max(level, shown - 0.06f); }

constexpr double kMeterFloorDb = -60;
constexpr int kNoteMs = 4000;
// A peak stays marked for about a second and a half of looks (five a second) before it falls.
constexpr int kHoldLooks = 8;
// An estimate of the time left means little before this much of the item and of the time.
constexpr double kLeftFromFraction = 0.03;
constexpr int kLeftFromSeconds = 3;

}  // namespace

QString FormatPlayingTime(double seconds) {
    const long long total = std::max(0LL, static_cast<long long>(std::floor(seconds)));
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long rest = total % 60;
    if (hours > 0)
        return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(rest, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
}

int SecondsLeft(int elapsedSeconds, double fraction) {
    if (fraction < kLeftFromFraction || fraction >= 1 || elapsedSeconds < kLeftFromSeconds) return -1;
    return static_cast<int>(std::ceil(elapsedSeconds * (1 - fraction) / fraction - 1e-9));
}

float DisplayPanel::MeterFraction(float peak) {
    if (!(peak > 0)) return 0;
    return DbFraction(20 * std::log10(peak));
}

float DisplayPanel::DbFraction(double db) {
    if (std::isnan(db)) return 0;
    return static_cast<float>(std::clamp((db - kMeterFloorDb) / -kMeterFloorDb, 0.0, 1.0));
}

int DisplayPanel::LitSegments(float fraction) {
    return std::clamp(static_cast<int>(std::ceil(fraction * kSegments - 0.01f)), 0, kSegments);
}

DisplayPanel::DisplayPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("displayPanel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    ShowIdle({});
}

void DisplayPanel::ShowRun(const RunState& state) {
    running_ = true;
    caption_ = state.name;
    QString detail = FormatPlayingTime(state.elapsedSeconds);
    percent_ = -1;
    if (state.durationSeconds > 0 && state.positionSeconds >= 0) {
        const double fraction = std::clamp(state.positionSeconds / state.durationSeconds, 0.0, 1.0);
        percent_ = static_cast<int>(std::floor(fraction * 100));
        detail += QStringLiteral("  %1%").arg(percent_);
        if (const int left = SecondsLeft(state.elapsedSeconds, fraction); left >= 0)
            detail += QStringLiteral("  %1 left").arg(FormatPlayingTime(left));
    } else if (state.recording) {
        const double recorded = std::max(state.positionSeconds, static_cast<double>(state.elapsedSeconds));
        detail = QString::fromStdString(LoadStringWith(IDS_RECORDING, FormatPlayingTime(recorded).toStdString()));
    } else if (state.positionSeconds >= 0) {
        detail += QStringLiteral("  @ %1").arg(FormatPlayingTime(state.positionSeconds));
    }
    // No mark before the first 400 ms are measured, nor in silence, which has no loudness.
    loudness_ = -1;
    if (state.momentaryLufs && std::isfinite(*state.momentaryLufs)) {
        loudness_ = DbFraction(*state.momentaryLufs);
        detail += QStringLiteral("  ") + QString::fromStdString(LoadStringWith(
                                             IDS_MOMENTARY_LOUDNESS, QString::number(*state.momentaryLufs, 'f', 0).toStdString()));
    }
    detail_ = detail;
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i] = Decayed(levels_[i], MeterFraction(state.peaks[i]));
        if (levels_[i] >= held_[i] || ++heldFor_[i] > kHoldLooks) {
            held_[i] = levels_[i];
            heldFor_[i] = 0;
        }
    }
    setToolTip(caption_ + QLatin1Char('\n') + detail_);
    update();
}

void DisplayPanel::ShowBatch(const BatchState& state) {
    running_ = true;
    caption_ = state.names.join(QStringLiteral(", "));
    detail_ = QString::fromStdString(
        LoadString(IDS_PROGRESS_ITEMS, {state.places.toStdString(), std::to_string(state.itemCount)}));
    percent_ = static_cast<int>(std::floor(std::clamp(state.fraction, 0.0, 1.0) * 100));
    // Several items have no one level to show: the meter falls back to rest.
    loudness_ = -1;
    for (std::size_t i = 0; i < levels_.size(); ++i) held_[i] = levels_[i] = Decayed(levels_[i], 0);
    setToolTip(caption_ + QLatin1Char('\n') + detail_);
    update();
}

void DisplayPanel::ShowIdle(const IdleState& state) {
    running_ = false;
    percent_ = -1;
    levels_ = {};
    held_ = {};
    loudness_ = -1;
    caption_ = state.itemCount == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(state.itemCount);
    detail_.clear();
    if (state.itemCount > 0) {
        detail_ = QStringLiteral("Total %1").arg(FormatPlayingTime(state.totalSeconds));
        if (state.unknownLengths > 0) detail_ += QStringLiteral(" + %1 unknown").arg(state.unknownLengths);
    }
    setToolTip(caption_ + (detail_.isEmpty() ? QString() : QLatin1Char('\n') + detail_));
    update();
}

void DisplayPanel::ShowNote(const QString& note) {
    note_ = note;
    noteUntil_.setRemainingTime(kNoteMs);
    update();
    // Painted away once it is over, even on an idle display that repaints for nothing else.
    QTimer::singleShot(kNoteMs, this, [this] { update(); });
}

QString DisplayPanel::ShownCaption() const { return noteUntil_.hasExpired() ? caption_ : note_; }

QString DisplayPanel::Caption() const { return ShownCaption(); }
QString DisplayPanel::Detail() const { return detail_; }

void DisplayPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void DisplayPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    PaintGlass(p);
    const QRect text(6, 2, width() - kMeterWidth - 12, 12);
    p.setFont(LcdFont(true));
    p.setPen(kLcd);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(p.font()).elidedText(ShownCaption(), Qt::ElideMiddle, text.width()));
    if (percent_ >= 0) {
        const QRectF track(text.left(), 17, text.width(), 5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 50, 66));
        p.drawRoundedRect(track, 2, 2);
        p.setBrush(kLed);
        p.drawRoundedRect(QRectF(track.left(), track.top(), track.width() * percent_ / 100.0, track.height()), 2, 2);
    }
    p.setFont(LcdFont(false));
    p.setPen(running_ ? kLcd : kLcdDim);
    const QRect detail(text.left(), 25, text.width(), 12);
    p.drawText(detail, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(p.font()).elidedText(detail_, Qt::ElideRight, detail.width()));
    PaintMeter(p, QRect(width() - kMeterWidth - 4, 4, kMeterWidth, height() - 8));
}

void DisplayPanel::PaintGlass(QPainter& p) const {
    QLinearGradient glass(0, 0, 0, height());
    glass.setColorAt(0, QColor(6, 26, 38));
    glass.setColorAt(1, QColor(3, 14, 22));
    p.fillRect(rect(), QColor(12, 16, 20));
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(glass);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

// Two columns of LEDs, left and right channel, lit from the bottom up to the level, and the
// segment of the held peak lit above it. Each segment is 7.5 dB of the -60 to 0 dBFS scale; the
// momentary loudness, when measured, marks its LUFS on that scale.
void DisplayPanel::PaintMeter(QPainter& p, const QRect& area) const {
    const qreal columnWidth = area.width() / 2.0 - 2;
    const qreal segmentHeight = static_cast<qreal>(area.height()) / kSegments;
    p.setPen(Qt::NoPen);
    for (std::size_t channel = 0; channel < levels_.size(); ++channel) {
        const int lit = LitSegments(levels_[channel]);
        const int held = LitSegments(held_[channel]) - 1;
        const qreal left = area.left() + static_cast<qreal>(channel) * (columnWidth + 4);
        for (int s = 0; s < kSegments; ++s) {
            QColor led = s >= kSegments - 2 ? kLedHot : kLed;
            led.setAlpha(s < lit || s == held ? 230 : 28);
            p.setBrush(led);
            p.drawRect(QRectF(left, area.bottom() + 1 - (s + 1) * segmentHeight + 0.5, columnWidth, segmentHeight - 1.2));
        }
    }
    if (loudness_ >= 0) {
        // Momentary loudness: a bar across both columns, at its level on the same dB scale.
        const qreal y = area.bottom() + 1 - loudness_ * area.height();
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawRect(QRectF(area.left() - 1, std::clamp(y - 1, qreal(area.top()), qreal(area.bottom() - 1)), area.width() + 2, 2));
    }
}

}  // namespace tessival
