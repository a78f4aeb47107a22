#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>

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
        std::array<float, 2> peaks{};  // sample peaks since the last look, 0 to 1 of full scale
        bool recording = false;         // a capture item: it has no length, only a time recorded
        std::optional<double> momentaryLufs;  // of the last 400 ms, -inf in silence; none when not measured
    };
    struct IdleState {
        int itemCount = 0;
        double totalSeconds = 0;  // of the items whose length is known
        int unknownLengths = 0;   // items whose length is unknown (CD tracks, recordings...)
    };

    // Several items converting side by side: their names, their places in the run and the run's part done.
    struct BatchState {
        QStringList names;
        QString places;          // "1, 2": the running items' places in the run
        int itemCount = 0;       // items the run converts
        double fraction = 0;     // of the whole run, 0 to 1
    };

    void ShowRun(const RunState& state);
    void ShowBatch(const BatchState& state);
    void ShowIdle(const IdleState& state);
    // A short note in place of the first line for a few seconds, over whatever the display shows.
    void ShowNote(const QString& note);

    // What the panel shows now, line by line, for tests and tooltips; a live note is the caption.
    QString Caption() const;
    QString Detail() const;
    // 0 to 100, or -1 when no progress bar shows.
    int Percent() const { return percent_; }
    // The meter's levels and held peaks, each 0 (-60 dBFS and below) to 1 (0 dBFS).
    std::array<float, 2> Levels() const { return levels_; }
    std::array<float, 2> HeldPeaks() const { return held_; }
    // The running item's momentary loudness on the meter's scale, or -1 when none is shown.
    float Loudness() const { return loudness_; }

    // A sample peak (0 to 1 of full scale) on the meter's scale: -60 dBFS and below 0, 0 dBFS 1.
    static float MeterFraction(float peak);
    // A level in dB (dBFS, or LUFS for loudness) on the meter's scale: -60 and below 0, 0 and above 1.
    static float DbFraction(double db);
    // Segments of the meter's eight that a level lights.
    static int LitSegments(float fraction);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A right-click here is the display's own, not the skin's (whose system menu it would open).
    void mousePressEvent(class QMouseEvent* event) override;

private:
    void PaintGlass(class QPainter& p) const;
    void PaintMeter(class QPainter& p, const QRect& area) const;

    QString ShownCaption() const;

    QString caption_;
    QString note_;
    QDeadlineTimer noteUntil_;
    QString detail_;
    int percent_ = -1;
    std::array<float, 2> levels_{};
    std::array<float, 2> held_{};
    std::array<int, 2> heldFor_{};  // looks since each peak was held
    float loudness_ = -1;
    bool running_ = false;
};

// "m:ss", or "h:mm:ss" from an hour on; parts of a second are dropped.
QString FormatPlayingTime(double seconds);

// The whole seconds a run still needs after `elapsedSeconds` at `fraction` done, rounded up;
// -1 until an estimate means something (a few seconds in and a few percent done) and once done.
int SecondsLeft(int elapsedSeconds, double fraction);

}  // namespace tessival
