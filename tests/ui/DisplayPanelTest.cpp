#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "UiTestSupport.h"
#include "ui/DisplayPanel.h"

namespace tessival {
namespace {

using State = DisplayPanel::RunState;

State Running(int elapsed, double position, double duration, bool recording = false,
              std::optional<double> momentary = std::nullopt) {
    State state;
    state.momentaryLufs = momentary;
    state.name = QStringLiteral("a.wav");
    state.elapsedSeconds = elapsed;
    state.positionSeconds = position;
    state.durationSeconds = duration;
    state.recording = recording;
    return state;
}

TEST(DisplayPanelTest, RunLineRoundsTheTimeLeftUpAndShowsItOnlyOnceItMeansSomething) {
    test::UsesApp app;
    DisplayPanel panel;
    const std::vector<std::pair<State, QString>> cases = {
        {Running(0, -1, -1), "0:00"},
        {Running(1, 0.5, 100), "0:01  0%"},               // too early for an estimate
        {Running(2, 50, 100), "0:02  50%"},                 // too few seconds
        {Running(10, 77, 100), "0:10  77%  0:03 left"},     // 2.99 s left: up, never "0:00 left"
        {Running(3, 60, 100), "0:03  60%  0:02 left"},
        {Running(100, 99.9, 100), "1:40  99%  0:01 left"},
        {Running(9, 100, 100), "0:09  100%"},               // done: nothing left to tell
        {Running(14, 14.2, -1, true), "Recording 0:14"},
        {Running(14, 12.5, -1), "0:14  @ 0:12"},
        {Running(10, 77, 100, false, -18.4), "0:10  77%  0:03 left  -18 LUFS"},
        {Running(1, 0.2, 100, false, -HUGE_VAL), "0:01  0%"},  // not yet 400 ms, or silence
    };
    for (const auto& [state, detail] : cases) {
        panel.ShowRun(state);
        EXPECT_EQ(panel.Detail(), detail) << detail.toStdString();
    }
}

TEST(DisplayPanelTest, MeterIsInDecibelsFromMinusSixtyAndHoldsItsPeak) {
    const std::vector<std::tuple<float, float, int>> scale = {
        // peak, fraction of the meter, segments lit
        {1.0f, 1.0f, 8},  {0.5012f, 0.9f, 8},   {0.0891f, 0.65f, 6}, {0.0316f, 0.5f, 4},
        {0.001f, 0.0f, 0}, {0.0001f, 0.0f, 0},  {0.0f, 0.0f, 0},     {1.5f, 1.0f, 8},
    };
    for (const auto& [peak, fraction, lit] : scale) {
        EXPECT_NEAR(DisplayPanel::MeterFraction(peak), fraction, 0.002) << peak;
        EXPECT_EQ(DisplayPanel::LitSegments(DisplayPanel::MeterFraction(peak)), lit) << peak;
    }

    test::UsesApp app;
    DisplayPanel panel;
    State loud = Running(1, 1, 10);
    loud.peaks = {0.0891f, 0.0316f};
    panel.ShowRun(loud);
    EXPECT_NEAR(panel.Levels()[0], 0.65, 0.002);
    State quiet = Running(1, 1, 10);
    quiet.peaks = {0.0005f, 0.0005f};
    panel.ShowRun(quiet);
    EXPECT_LT(panel.Levels()[0], 0.65f);              // falls back
    EXPECT_NEAR(panel.HeldPeaks()[0], 0.65, 0.002);   // the peak stays marked
    for (int look = 0; look < 20; ++look) panel.ShowRun(quiet);
    EXPECT_EQ(panel.Levels()[0], 0.0f);
    EXPECT_EQ(panel.HeldPeaks()[0], 0.0f);             // and falls in the end
}

// The momentary loudness marks its LUFS on the meter's dB scale, as a peak marks its dBFS.
TEST(DisplayPanelTest, MomentaryLoudnessSitsOnTheMetersDecibelScale) {
    test::UsesApp app;
    DisplayPanel panel;
    const std::vector<std::pair<std::optional<double>, float>> scale = {
        {-23, 0.6167f}, {-9, 0.85f}, {-60, 0.0f}, {-75, 0.0f}, {0, 1.0f}, {2.5, 1.0f},
        {-HUGE_VAL, -1.0f},     // nothing measured yet, or silence: no mark
        {std::nullopt, -1.0f},  // not measured at all
    };
    for (const auto& [lufs, fraction] : scale) {
        panel.ShowRun(Running(1, 1, 10, false, lufs));
        EXPECT_NEAR(panel.Loudness(), fraction, 0.001) << (lufs ? *lufs : 1);
    }
    panel.ShowIdle({});
    EXPECT_EQ(panel.Loudness(), -1.0f);
}

}  // namespace
}  // namespace tessival
