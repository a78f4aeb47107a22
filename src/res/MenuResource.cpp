#include "res/MenuResource.h"

#include <array>

#include "res/ResourceIds.h"

namespace tessival {
namespace {

// Menu 148: popup 0 is the Add button's menu, popup 1 the list's item menu.
constexpr std::array kAddPopup = {
    MenuEntry{"From File", ID_ADD_FROM_FILE},
    MenuEntry{"From CDROM", ID_ADD_FROM_CDROM},
    MenuEntry{"From Capturer", ID_ADD_FROM_CAPTURER},
};

constexpr std::array kItemPopup = {
    MenuEntry{"Edit", ID_EDIT}, MenuEntry{"", 0},          MenuEntry{"Move up", ID_MOVE_UP},
    MenuEntry{"Move down", ID_MOVE_DOWN}, MenuEntry{"Play", ID_PLAY}, MenuEntry{"", 0},
    MenuEntry{"Delete", ID_DELETE},
};

}  // namespace

std::span<const MenuEntry> MenuPopup(int menuId, int popupIndex) {
    if (menuId != IDR_POPUP_MENUS) return {};
    if (popupIndex == 0) return kAddPopup;
    if (popupIndex == 1) return kItemPopup;
    return {};
}

}  // namespace tessival
