#pragma once

#include <string>

namespace tessival {

// Creates a folder and every missing parent, as `mkdir -p` does, with mode 0777 less the umask.
// True when the folder exists afterwards (also when it existed before); otherwise false with the
// system's reason in reason.
bool MakeFolders(const std::string& folder, std::string& reason);

}  // namespace tessival
