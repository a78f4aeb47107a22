#include "engine/conversion/UpToDate.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "engine/conversion/Preflight.h"
#include "joblist/TextField.h"
#include "platform/io/TrackPath.h"

namespace tessival {
namespace {

bool ModifiedAt(const std::string& path, timespec& when) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    when = info.st_mtim;
    return true;
}

bool NotBefore(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec >= b.tv_nsec;
}

}  // namespace

bool IsUpToDate(const ConvertItem& item) {
    if (!HasFileSource(item)) return false;
    timespec source{}, destination{};
    // An album track reads its album's file.
    return ModifiedAt(LocateSource(ReadField(item.sourcePath)).file, source) &&
           ModifiedAt(DestinationFileName(item), destination) && NotBefore(destination, source);
}

void MarkUnfinished(const ConvertItem& item) {
    timespec source{}, destination{};
    const std::string output = DestinationFileName(item);
    if (!HasFileSource(item) || !ModifiedAt(LocateSource(ReadField(item.sourcePath)).file, source) ||
        !ModifiedAt(output, destination))
        return;
    const timespec times[2] = {{0, UTIME_OMIT}, {source.tv_sec - 1, source.tv_nsec}};
    ::utimensat(AT_FDCWD, output.c_str(), times, 0);
}

}  // namespace tessival
