#pragma once

class QMenu;
class QWidget;

namespace tessival {

// The display menu's loudness choices: which ReplayGain tags conversions write, and whether they
// normalise, to what target. Each command changes the kept choice at once.
class LoudnessMenu {
public:
    // Plus 0 (none), 1 (track) or 2 (track and album).
    static constexpr int kReplayGainCommand = 0x7F30;
    static constexpr int kNormalizeCommand = 0x7F34;
    static constexpr int kNormalizeTargetCommand = 0x7F35;

    static void AddChoices(QMenu& menu);
    // Carries the command out; false when it is not one of these. The target is asked for with
    // dialogs over `parent`.
    static bool OnCommand(int id, QWidget* parent);

private:
    static void AskTarget(QWidget* parent);
};

}  // namespace tessival
