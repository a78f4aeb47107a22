#include "ui/CommandTarget.h"

namespace tessival {
namespace {

// Only touched from the user-interface thread.
CommandTarget* mainWindow = nullptr;

}  // namespace

void SetAppMainWindow(CommandTarget* window) { mainWindow = window; }

CommandTarget* AppMainWindow() { return mainWindow; }

}  // namespace tessival
