#pragma once

#include <QKeyCombination>
#include <QString>
#include <span>

namespace tessival {

// The item menu has no command id of its own; its keys send this one.
inline constexpr int kShowItemMenuCommand = 0x7F01;

// A key of the main window and the command it sends.
struct CommandShortcut {
    int commandId;
    QKeyCombination key;
};

// Every key of the main window, in the order a tooltip names them. Escape and Alt+Space are
// not here: they keep their own meanings (exit, the system menu).
std::span<const CommandShortcut> CommandShortcuts();

// The keys of a command as a tooltip names them, "Insert, Ctrl+O"; empty when it has none.
QString ShortcutText(int commandId);

// A button's tooltip with its keys: "Save (Ctrl+S)". The Add button names the keys that add
// files, as its menu's first entry does.
QString TipWithShortcut(const QString& tip, int commandId);

}  // namespace tessival
