#include "ui/PopupMenu.h"


namespace tessival {

PopupMenu::PopupMenu(int menuId, int popupIndex, QWidget* parent)
    : PopupMenu(MenuPopup(menuId, popupIndex), parent) {}

PopupMenu::PopupMenu(std::span<const MenuEntry> entries, QWidget* parent) : QMenu(parent) {
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QString::fromUtf8(entry.text.data(), static_cast<int>(entry.text.size())));
        action->setData(entry.id);
    }
}

int PopupMenu::Track(const QPoint& screenPos) { return CommandOf(exec(screenPos)); }

int PopupMenu::CommandOf(const QAction* action) { return action ? action->data().toInt() : 0; }

}  // namespace tessival
