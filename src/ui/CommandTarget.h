#pragma once

namespace tessival {

// A window that takes command ids: image buttons, menus and list notifications all arrive here.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual void OnCommand(int id) = 0;
};

// The application's main window: image buttons send their commands to it, not to their parent.
// Null until start-up (or a test) sets it.
void SetAppMainWindow(CommandTarget* window);
CommandTarget* AppMainWindow();

}  // namespace tessival
