#include "engine/conversion/Preflight.h"

#include <sys/stat.h>
#include <unistd.h>

#include "joblist/SourceKind.h"
#include "joblist/TextField.h"
#include "platform/io/MakeFolders.h"
#include "platform/io/TrackPath.h"
#include "platform/media/MediaProbe.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

namespace {

bool IsDirectoryWritable(const std::string& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Only plain files: opening a FIFO would wait for a writer, a device would never end.
bool IsReadableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The name must stay one file inside the dest folder: no other folder, and not a folder itself.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// A file at the destination's name that no format reads audio from (a letter, a key, a shell's
// start-up file named by a list from someone else) is never replaced. An empty file holds nothing.
bool HoldsSomethingElse(const std::string& destination) {
    struct stat info {};
    return ::lstat(destination.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
           !media::HasAudioStream(destination);
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string DestinationFileName(const ConvertItem& item) {
    return ReadField(item.destPath) + "/" + ReadField(item.destName);
}

bool HasFileSource(const ConvertItem& item) {
    return SourceKindOf(item) == SourceKind::File;
}

int PreflightError(const ConvertItem& item) {
    if (const int error = SourcePreflightError(item)) return error;
    return DestinationPreflightError(item);
}

int SourcePreflightError(const ConvertItem& item) {
    // An album track reads its album's file.
    const std::string source = LocateSource(ReadField(item.sourcePath)).file;
    return HasFileSource(item) && !IsReadableFile(source) ? IDS_SOURCE_UNREADABLE : 0;
}

std::string MakeDestinationFolder(const ConvertItem& item) {
    const std::string folder = ReadField(item.destPath);
    std::string reason;
    if (folder.empty() || MakeFolders(folder, reason)) return {};
    return LoadString(IDS_DEST_FOLDER_NOT_CREATED, {folder, reason});
}

int DestinationPreflightError(const ConvertItem& item) {
    const std::string destination = DestinationFileName(item);
    const std::string source = LocateSource(ReadField(item.sourcePath)).file;
    if (!IsDirectoryWritable(ReadField(item.destPath)) || !IsPlainFileName(ReadField(item.destName)) ||
        IsDirectory(destination))
        return IDS_DEST_FOLDER_UNUSABLE;
    if (HasFileSource(item) && IsSameFile(source, destination)) return IDS_DEST_IS_SOURCE;
    if (HoldsSomethingElse(destination)) return IDS_DEST_NOT_AUDIO;
    return 0;
}

}  // namespace tessival
