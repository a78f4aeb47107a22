#pragma once

#include <string>
#include <vector>

#include "joblist/ConvertItem.h"
#include "joblist/ItemList.h"
#include "joblist/NamePattern.h"

namespace tessival {

// The fields a naming pattern reads for an item: its source's tags, read from the container (or
// the disc's CD-Text) without decoding any audio, its base name, and its folder relative to
// foundUnder (the folder the user named; empty for a file named itself).
NameFields NameFieldsOf(const ConvertItem& item, const std::string& foundUnder);

// Names the item's destination by the pattern: dest path root plus the pattern's folders (the
// item's own dest path when root is empty), dest name the pattern's name with the dest type's
// extension. False, leaving the item as it was, when the path cannot fit its field.
bool NameDestination(ConvertItem& item, const NamePattern& pattern, NameCharset charset, const std::string& root,
                     const std::string& foundUnder);

// How a batch of new items is named.
struct NamingChoice {
    NamePattern pattern;
    NameCharset charset = NameCharset::Posix;
    std::string root;            // the dest path the pattern's folders go below; empty: each item's own
    bool numberClashes = true;   // false: a clash refuses the batch instead
};

// Names the items from position first on (foundUnder holds, for each of them, the folder it was
// found under), then keeps them from writing one file: a new item that would write the file of an
// earlier item (new or not) gets " (2)", " (3)", ... before its extension, or, without
// numberClashes, refuses the batch. False, with the reason in problem, when a path does not fit
// or a clash refuses; the items may then be partly named, so the caller drops them.
bool NameNewItems(ItemList& items, std::size_t first, const std::vector<std::string>& foundUnder,
                  const NamingChoice& naming, std::string& problem);

}  // namespace tessival
