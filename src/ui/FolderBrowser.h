#pragma once

#include <string>

namespace tessival {

class Shell;

// Asks the user for a folder through the desktop's folder dialog.
class FolderBrowser {
public:
    std::string path;           // the chosen folder, after Browse returned true
    std::string initialFolder;  // shown first when set
    std::string title;          // "Open" when empty

    // False when the user cancelled or chose nothing.
    bool Browse(Shell& shell);
};

}  // namespace tessival
