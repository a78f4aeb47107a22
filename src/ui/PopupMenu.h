#pragma once

#include <QMenu>
#include <QPoint>
#include <span>

#include "res/MenuResource.h"

namespace tessival {

// A popup of a menu resource as a Qt menu; each action carries its command id.
class PopupMenu : public QMenu {
public:
    PopupMenu(int menuId, int popupIndex, QWidget* parent = nullptr);
    PopupMenu(std::span<const MenuEntry> entries, QWidget* parent = nullptr);

    // Shows the menu with its top-left corner at `screenPos`; the chosen command id, or 0.
    int Track(const QPoint& screenPos);
    // The command id of an action of this menu (0 for separators).
    static int CommandOf(const QAction* action);
};

}  // namespace tessival
