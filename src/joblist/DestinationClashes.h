#pragma once

#include <vector>

#include "joblist/ItemList.h"

namespace tessival {

// For each item, the position of the first earlier item that writes the same destination file, or
// -1. Folders are compared once links, "." and ".." are resolved (as far as they exist), names as
// they stand, so "good" from good.wav and from good.mp3 clash, and so do two copies of one item.
std::vector<int> FindDestinationClashes(const ItemList& items);

// Items from position first on that would write the same file as an earlier item are renamed to
// the first free "name (2).ext", "name (3).ext", ... (ext being their dest type's extension), so
// that a batch added at once keeps every file apart. Items before first keep their names.
void NumberClashingItems(ItemList& items, std::size_t first);

// For each item, the position of the last earlier item whose destination file is this item's
// source, or -1: an item that converts what an earlier one wrote must wait for it.
std::vector<int> FindSourceWriters(const ItemList& items);

}  // namespace tessival
