#include "joblist/ListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <vector>

namespace tessival {
namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a deferred write error shows here).
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads exactly `size` bytes; false on error or early end of file.
bool ReadAll(int fd, char* data, std::size_t size) {
    while (size > 0) {
        ssize_t got = ::read(fd, data, size);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// The mode a replaced file should keep, or the usual mode for a new one.
mode_t ModeForTarget(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteRecords(int fd, const ItemList& items) {
    bool ok = true;
    items.ForEach([&](const ConvertItem& item) {
        ok = ok && WriteAll(fd, reinterpret_cast<const char*>(&item), sizeof item);
    });
    return ok;
}

}  // namespace

const char* ToString(ListFileResult result) {
    switch (result) {
        case ListFileResult::Ok: return "ok";
        case ListFileResult::CannotOpen: return "cannot open the file";
        case ListFileResult::IoError: return "input/output error";
    }
    return "unknown";
}

std::string WithListExtension(const std::string& path) {
    const auto firstDot = path.find('.');
    if (firstDot == std::string::npos || firstDot == 0) return path + ".tsl";
    return path;
}

namespace {

ListFileResult WriteInPlace(const std::string& path, const ItemList& items) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file.Valid()) return ListFileResult::CannotOpen;
    const bool written = WriteRecords(file.Get(), items);
    return file.Close() && written ? ListFileResult::Ok : ListFileResult::IoError;
}

}  // namespace

ListFileResult WriteListFile(const std::string& path, const ItemList& items) {
    // Replace the file only when it is a plain file (or new); a link is followed to its target.
    std::string target = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return WriteInPlace(path, items);
        std::vector<char> resolved(PATH_MAX + 1, '\0');
        if (::realpath(path.c_str(), resolved.data())) target = resolved.data();
    }

    std::string pattern = target + ".tmp-XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    FileDescriptor file(::mkstemp(temporary.data()));
    // The folder may allow writing the file but not creating a neighbour.
    if (!file.Valid()) return WriteInPlace(target, items);

    bool ok = WriteRecords(file.Get(), items);
    ok = ok && ::fchmod(file.Get(), ModeForTarget(target)) == 0;
    ok = ok && ::fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    if (ok && ::rename(temporary.data(), target.c_str()) == 0) return ListFileResult::Ok;
    ::unlink(temporary.data());
    return ListFileResult::IoError;
}

ListFileResult ReadListFile(const std::string& path, ItemList& items, std::size_t* trailingBytes) {
    items.Clear();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) return ListFileResult::CannotOpen;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) return ListFileResult::IoError;
    if (!S_ISREG(info.st_mode)) return ListFileResult::CannotOpen;

    const std::size_t count = static_cast<std::size_t>(info.st_size) / kConvertItemSize;
    ItemList loaded;
    for (std::size_t i = 0; i < count; ++i) {
        ConvertItem item;
        if (!ReadAll(file.Get(), reinterpret_cast<char*>(&item), sizeof item)) return ListFileResult::IoError;
        loaded.Append(item);
    }
    items = std::move(loaded);
    if (trailingBytes) *trailingBytes = static_cast<std::size_t>(info.st_size) % kConvertItemSize;
    return ListFileResult::Ok;
}

}  // namespace tessival
