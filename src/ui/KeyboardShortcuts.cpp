#include "ui/KeyboardShortcuts.h"

#include <QKeySequence>
#include <QStringList>
#include <array>

#include "res/ResourceIds.h"

namespace tessival {
namespace {

constexpr std::array kShortcuts = {
    CommandShortcut{ID_ADD_FROM_FILE, QKeyCombination(Qt::Key_Insert)},
    CommandShortcut{ID_ADD_FROM_FILE, Qt::CTRL | Qt::Key_O},
    CommandShortcut{ID_DELETE, QKeyCombination(Qt::Key_Delete)},
    CommandShortcut{ID_NEW_LIST, Qt::CTRL | Qt::Key_N},
    CommandShortcut{ID_SAVE, Qt::CTRL | Qt::Key_S},
    CommandShortcut{ID_LOAD, Qt::CTRL | Qt::Key_L},
    CommandShortcut{ID_EDIT, QKeyCombination(Qt::Key_F2)},
    CommandShortcut{ID_MOVE_UP, Qt::CTRL | Qt::Key_Up},
    CommandShortcut{ID_MOVE_DOWN, Qt::CTRL | Qt::Key_Down},
    CommandShortcut{ID_HELP, QKeyCombination(Qt::Key_F1)},
    CommandShortcut{ID_START, QKeyCombination(Qt::Key_F5)},
    CommandShortcut{ID_STOP, Qt::SHIFT | Qt::Key_F5},
    CommandShortcut{kShowItemMenuCommand, Qt::SHIFT | Qt::Key_F10},
    CommandShortcut{kShowItemMenuCommand, QKeyCombination(Qt::Key_Menu)},
};

}  // namespace

std::span<const CommandShortcut> CommandShortcuts() { return kShortcuts; }

QString ShortcutText(int commandId) {
    QStringList keys;
    for (const CommandShortcut& shortcut : kShortcuts)
        if (shortcut.commandId == commandId) keys << QKeySequence(shortcut.key).toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(", "));
}

QString TipWithShortcut(const QString& tip, int commandId) {
    const QString keys = ShortcutText(commandId == ID_ADD ? ID_ADD_FROM_FILE : commandId);
    if (keys.isEmpty()) return tip;
    return tip.trimmed() + QStringLiteral(" (") + keys + QLatin1Char(')');
}

}  // namespace tessival
