#include "ui/ButtonTable.h"

#include <array>

#include "res/ResourceIds.h"

namespace tessival {
namespace {

// Command id = bitmap id + 868; tooltip string id = bitmap id - 31.
constexpr ButtonEntry Button(int commandId, int x, int y) {
    return {commandId, commandId - 868, commandId - 868 - 31, QPoint(x, y)};
}

constexpr std::array kButtons = {
    Button(ID_ADD, 180, 25),      Button(ID_DELETE, 230, 25),    Button(ID_NEW_LIST, 280, 25),
    Button(ID_SAVE, 330, 25),     Button(ID_LOAD, 380, 25),      Button(ID_EDIT, 430, 25),
    Button(ID_MINIMIZE, 480, 25), Button(ID_EXIT, 530, 25),      Button(ID_MOVE_UP, 50, 410),
    Button(ID_MOVE_DOWN, 100, 410), Button(ID_PLAY, 150, 410),   Button(ID_HELP, 200, 410),
    Button(ID_START, 480, 410),   Button(ID_STOP, 530, 410),
};

}  // namespace

std::span<const ButtonEntry> ButtonTable() { return kButtons; }

}  // namespace tessival
