#include "ui/LoudnessMenu.h"

#include <QInputDialog>
#include <QMenu>

#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/LoudnessSetting.h"

namespace tessival {
namespace {

QString Text(int id) { return QString::fromStdString(LoadString(id)); }

std::string Number(double value) { return QString::number(value, 'g', 4).toStdString(); }

}  // namespace

void LoudnessMenu::AddChoices(QMenu& menu) {
    const LoudnessChoice choice = CurrentLoudnessChoice();
    menu.addSeparator();
    QMenu* tags = menu.addMenu(Text(IDS_REPLAYGAIN_TAGS));
    const int modeTexts[] = {IDS_REPLAYGAIN_OFF, IDS_REPLAYGAIN_TRACK, IDS_REPLAYGAIN_ALBUM};
    for (int mode = 0; mode < 3; ++mode) {
        QAction* entry = tags->addAction(Text(modeTexts[mode]));
        entry->setData(kReplayGainCommand + mode);
        entry->setCheckable(true);
        entry->setChecked(static_cast<int>(choice.replayGain) == mode);
    }
    QAction* normalize =
        menu.addAction(QString::fromStdString(LoadString(IDS_NORMALIZE, {Number(choice.target), Number(choice.ceiling)})));
    normalize->setData(kNormalizeCommand);
    normalize->setCheckable(true);
    normalize->setChecked(choice.normalize);
    menu.addAction(Text(IDS_NORMALIZE_TARGET))->setData(kNormalizeTargetCommand);
}

bool LoudnessMenu::OnCommand(int id, QWidget* parent) {
    LoudnessChoice choice = CurrentLoudnessChoice();
    if (id >= kReplayGainCommand && id <= kReplayGainCommand + 2) {
        choice.replayGain = static_cast<ReplayGainMode>(id - kReplayGainCommand);
    } else if (id == kNormalizeCommand) {
        choice.normalize = !choice.normalize;
    } else if (id == kNormalizeTargetCommand) {
        AskTarget(parent);
        return true;
    } else {
        return false;
    }
    UseLoudnessChoice(choice);
    return true;
}

// Choosing a target means wanting it: normalising is switched on with it.
void LoudnessMenu::AskTarget(QWidget* parent) {
    LoudnessChoice choice = CurrentLoudnessChoice();
    bool ok = false;
    const double target = QInputDialog::getDouble(parent, Text(IDS_NORMALIZE_TARGET_TITLE), Text(IDS_NORMALIZE_TARGET_PROMPT),
                                                  choice.target, LoudnessSettings::kLowestTarget, LoudnessSettings::kHighest,
                                                  1, &ok);
    if (!ok) return;
    const double ceiling = QInputDialog::getDouble(parent, Text(IDS_NORMALIZE_TARGET_TITLE), Text(IDS_NORMALIZE_CEILING_PROMPT),
                                                   choice.ceiling, LoudnessSettings::kLowestCeiling,
                                                   LoudnessSettings::kHighest, 1, &ok);
    if (!ok) return;
    choice.target = target;
    choice.ceiling = ceiling;
    choice.normalize = true;
    UseLoudnessChoice(choice);
}

}  // namespace tessival
