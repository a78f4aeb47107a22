#include "ui/LoudnessSetting.h"

#include "ui/ProgramSettings.h"

namespace tessival {
namespace {

const QString kReplayGainKey = QStringLiteral("loudness/replayGain");
const QString kNormalizeKey = QStringLiteral("loudness/normalize");
const QString kTargetKey = QStringLiteral("loudness/target");
const QString kCeilingKey = QStringLiteral("loudness/ceiling");

LoudnessChoice current;  // the window's thread only

ReplayGainMode ModeNamed(const QString& name) {
    if (name == QLatin1String("track")) return ReplayGainMode::Track;
    if (name == QLatin1String("album")) return ReplayGainMode::Album;
    return ReplayGainMode::Off;
}

QString NameOf(ReplayGainMode mode) {
    switch (mode) {
        case ReplayGainMode::Track: return QStringLiteral("track");
        case ReplayGainMode::Album: return QStringLiteral("album");
        case ReplayGainMode::Off: break;
    }
    return QStringLiteral("off");
}

double KeptNumber(const QSettings& kept, const QString& key, bool (*inRange)(double), double fallback) {
    bool ok = false;
    const double value = kept.value(key).toDouble(&ok);
    return ok && inRange(value) ? value : fallback;
}

}  // namespace

LoudnessSettings LoudnessChoice::Settings() const {
    LoudnessSettings settings;
    settings.replayGain = replayGain;
    if (normalize) settings.normalizeTo = target;
    settings.truePeakCeiling = ceiling;
    return settings;
}

LoudnessChoice ReadLoudnessChoice(const QSettings& kept) {
    LoudnessChoice choice;
    choice.replayGain = ModeNamed(kept.value(kReplayGainKey).toString());
    choice.normalize = kept.value(kNormalizeKey, false).toBool();
    choice.target = KeptNumber(kept, kTargetKey, LoudnessSettings::TargetInRange, LoudnessChoice::kDefaultTarget);
    choice.ceiling = KeptNumber(kept, kCeilingKey, LoudnessSettings::CeilingInRange, LoudnessChoice::kDefaultCeiling);
    return choice;
}

void WriteLoudnessChoice(QSettings& kept, const LoudnessChoice& choice) {
    kept.setValue(kReplayGainKey, NameOf(choice.replayGain));
    kept.setValue(kNormalizeKey, choice.normalize);
    kept.setValue(kTargetKey, choice.target);
    kept.setValue(kCeilingKey, choice.ceiling);
}

void ApplyKeptLoudnessChoice() {
    auto kept = ProgramSettings();
    current = kept ? ReadLoudnessChoice(*kept) : LoudnessChoice{};
    LoudnessSettings::Set(current.Settings());
}

LoudnessChoice CurrentLoudnessChoice() { return current; }

void UseLoudnessChoice(const LoudnessChoice& choice) {
    current = choice;
    LoudnessSettings::Set(current.Settings());
    if (auto kept = ProgramSettings()) WriteLoudnessChoice(*kept, current);
}

}  // namespace tessival
