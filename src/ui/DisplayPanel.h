#pragma once

#include <QString>
#include <QWidget>
#include <array>

namespace tessival {

// The small display between the lower buttons. During a run it shows the item that converts: its
// name, the time it has taken, how far through its source it is and the levels of the audio
// going through; idle, the list's count of items and their total playing time.
class DisplayPanel : public QWidget {
public:
    explicit DisplayPanel(QWidget* parent = nullptr);

    struct RunState {
        QString name;
        int elapsedSeconds = 0;
        double positionSeconds = -1;  // -1 while unknown
        double durationSeconds = -1;  // -1 while unknown
        std::array<float, 2> peaks{};
    };
    struct IdleState {
        int itemCount = 0;
        double totalSeconds = 0;  // of the items whose length is known
        int unknownLengths = 0;   // items whose length is unknown (CD tracks, recordings...)
    };

    void ShowRun(const RunState& state);
    void ShowIdle(const IdleState& state);

    // What the panel shows now, line by line, for tests and tooltips.
    QString Caption() const;
    QString Detail() const;
    // 0 to 100, or -1 when no progress bar shows.
    int Percent() const { return percent_; }
    std::array<float, 2> Levels() const { return levels_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintGlass(class QPainter& p) const;
    void PaintMeter(class QPainter& p, const QRect& area) const;

    QString caption_;
    QString detail_;
    int percent_ = -1;
    std::array<float, 2> levels_{};
    bool running_ = false;
};

// "m:ss", or "h:mm:ss" from an hour on.
QString FormatPlayingTime(double seconds);

}  // namespace tessival
