#include <gtest/gtest.h>

#include <map>

#include "support/TempDir.h"
#include "ui/LoudnessSetting.h"

namespace tessival {
namespace {

using Kept = std::map<QString, QString>;

// What a settings file holds, what the window then uses, and what conversions are told.
TEST(LoudnessSettingTest, KeptValuesBecomeTheConversionsSettings) {
    struct Case {
        Kept kept;
        ReplayGainMode mode;
        std::optional<double> normalizeTo;
        double ceiling;
    };
    const std::vector<Case> cases = {
        {{}, ReplayGainMode::Off, std::nullopt, -1},
        {{{"replayGain", "album"}, {"normalize", "true"}, {"target", "-14.5"}, {"ceiling", "-2"}},
         ReplayGainMode::Album, -14.5, -2},
        {{{"replayGain", "track"}, {"normalize", "false"}, {"target", "-20"}}, ReplayGainMode::Track, std::nullopt, -1},
        // Hand-edited nonsense falls back to what a first start uses.
        {{{"replayGain", "loud"}, {"normalize", "true"}, {"target", "3"}, {"ceiling", "-30"}},
         ReplayGainMode::Off, -16, -1},
        {{{"normalize", "true"}, {"target", "quiet"}, {"ceiling", "0"}}, ReplayGainMode::Off, -16, 0},
        {{{"normalize", "true"}, {"target", "-70"}, {"ceiling", "-20"}}, ReplayGainMode::Off, -70, -20},
    };
    test::TempDir dir;
    int file = 0;
    for (const Case& c : cases) {
        QSettings kept(QString::fromStdString(dir.File(std::to_string(++file) + ".ini")), QSettings::IniFormat);
        for (const auto& [key, value] : c.kept) kept.setValue("loudness/" + key, value);
        const LoudnessChoice choice = ReadLoudnessChoice(kept);
        const LoudnessSettings settings = choice.Settings();
        EXPECT_EQ(settings.replayGain, c.mode) << file;
        EXPECT_EQ(settings.normalizeTo, c.normalizeTo) << file;
        EXPECT_EQ(settings.truePeakCeiling, c.ceiling) << file;

        // What is written back reads the same.
        QSettings again(QString::fromStdString(dir.File(std::to_string(file) + "-again.ini")), QSettings::IniFormat);
        WriteLoudnessChoice(again, choice);
        again.sync();
        EXPECT_EQ(ReadLoudnessChoice(QSettings(again.fileName(), QSettings::IniFormat)), choice) << file;
    }
}

}  // namespace
}  // namespace tessival
