#pragma once

#include <QPoint>
#include <span>

namespace tessival {

// One image button of the main window.
struct ButtonEntry {
    int commandId;
    int bitmapId;
    int tipStringId;
    QPoint position;  // client coordinates of the top-left corner
};

inline constexpr int kButtonSize = 44;
// Buttons are kept by command id - 1001; 1013 has none.
inline constexpr int kFirstButtonCommand = 1001;
inline constexpr int kButtonSlots = 15;

// The buttons in the order the window creates them.
std::span<const ButtonEntry> ButtonTable();

}  // namespace tessival
