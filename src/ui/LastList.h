#pragma once

#include <string>

#include "joblist/ItemList.h"

namespace tessival {

// The list the window holds when it goes away, kept so that no way out loses it: Exit, Escape,
// the window manager's close, a logout, or a SIGTERM or SIGHUP. The next start offers it back.

// $XDG_STATE_HOME/tessival/last.tsl, or ~/.local/state/tessival/last.tsl without that variable.
std::string LastListPath();

// Writes `list` to `path` as a list file, replacing any older one only once it is complete; an
// empty list removes the file, as there is nothing to offer back. Creates the folder. Returns
// false when the list could not be kept. Call it on the window's thread.
bool KeepLastList(const ItemList& list, const std::string& path = LastListPath());

// The kept list, when there is one with at least one item.
bool ReadLastList(ItemList& list, const std::string& path = LastListPath());

}  // namespace tessival
