#include "ui/FolderBrowser.h"

#include "platform/shell/Shell.h"

namespace tessival {

bool FolderBrowser::Browse(Shell& shell) {
    const auto chosen = shell.BrowseForFolder(title.empty() ? "Open" : title, initialFolder);
    if (!chosen || chosen->empty()) return false;
    path = *chosen;
    return true;
}

}  // namespace tessival
