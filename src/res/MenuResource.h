#pragma once

#include <span>
#include <string_view>

namespace tessival {

// One entry of a popup menu resource; id 0 is a separator.
struct MenuEntry {
    std::string_view text;
    int id;
};

// The entries of popup `popupIndex` of menu resource `menuId`; empty when there is no such popup.
std::span<const MenuEntry> MenuPopup(int menuId, int popupIndex);

}  // namespace tessival
