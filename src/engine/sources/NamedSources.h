#pragma once

#include <string>
#include <vector>

namespace tessival {

// A source file and the folder the user named to find it (empty when the file was named itself),
// which the naming patterns' {dir} is relative to.
struct FoundSource {
    std::string path;
    std::string folder;
    bool operator==(const FoundSource&) const = default;
};

// path made absolute against the current folder; "." components and repeated slashes go, ".."
// stays (behind a link it names another folder than the text suggests).
std::string AbsolutePath(const std::string& path);

// The files the paths a user named stand for, all absolute: a file stands for itself, a folder for
// every media file below it (MediaFilesBelow). skipped (the list being added to) is never a source.
// A path that does not exist or cannot be read, or "-", refuses the whole set: false, with a
// one-line reason in problem.
bool FindNamedSources(const std::vector<std::string>& named, const std::string& skipped,
                      std::vector<FoundSource>& found, std::string& problem);

}  // namespace tessival
