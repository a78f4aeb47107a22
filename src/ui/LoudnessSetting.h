#pragma once

#include <QSettings>

#include "engine/loudness/LoudnessSettings.h"

namespace tessival {

// What the window does about loudness, kept between sessions: ReplayGain tags (none, track, or
// track and album), and normalising to a target with a true-peak ceiling. The target is kept while
// normalising is off, so that switching it back on aims where it aimed before.
struct LoudnessChoice {
    static constexpr double kDefaultTarget = -16;  // what phones and car stereos play comfortably
    static constexpr double kDefaultCeiling = -1;

    ReplayGainMode replayGain = ReplayGainMode::Off;
    bool normalize = false;
    double target = kDefaultTarget;    // LUFS
    double ceiling = kDefaultCeiling;  // dBTP

    // The conversions' settings this choice stands for.
    LoudnessSettings Settings() const;
    bool operator==(const LoudnessChoice&) const = default;
};

// The choice kept in settings; values out of range (a hand-edited file) fall back to the defaults.
LoudnessChoice ReadLoudnessChoice(const QSettings& kept);
void WriteLoudnessChoice(QSettings& kept, const LoudnessChoice& choice);

// Gives the conversions the kept choice (everything off when none was kept).
void ApplyKeptLoudnessChoice();
// The choice in use.
LoudnessChoice CurrentLoudnessChoice();
// Uses the choice from now on and keeps it.
void UseLoudnessChoice(const LoudnessChoice& choice);

}  // namespace tessival
