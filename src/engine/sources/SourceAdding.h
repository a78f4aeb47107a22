#pragma once

#include <string>
#include <vector>

#include "joblist/ConvertItem.h"
#include "platform/devices/DiscProblem.h"

namespace tessival {

// What a user may add as sources, shared by the window (its Add menu and drops) and `tessival-cli
// add`, so that both take the same files the same way.

// A file of a type the program names, or one in which some format finds audio. Opens the file
// when its name does not tell.
bool IsMediaFile(const std::string& path);

// Every media file below a folder, at any depth, sorted by path; list files and hidden files and
// folders (".name") are not sources. Folders that cannot be read are passed over.
std::vector<std::string> MediaFilesBelow(const std::string& folder);

// The items chosen files stand for: a cue sheet of a one-file album stands for its tracks, a disc
// image for its disc's audio tracks. Images that cannot be read are left out and said why.
std::vector<ConvertItem> ExpandChosenSources(const std::vector<ConvertItem>& chosen,
                                             std::vector<DiscProblem>& problems);

// The file dialog's filter for adding media files: the original filter text, its first entry
// ("All supported media files") widened by the general splitter's extensions, and one entry of
// their own, named addedEntryName, right after it. A text of another shape is left as it is.
std::string ExtendedMediaFilter(const std::string& original, const std::string& addedEntryName);

}  // namespace tessival
