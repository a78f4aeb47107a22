#include "joblist/ListFile.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include "platform/io/AtomicFile.h"

namespace tessival {
namespace {

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
        case ListFileResult::NotAFile: return "not a regular file";
        case ListFileResult::IoError: return "input/output error";
    }
    return "unknown";
}

std::string WithListExtension(const std::string& path) {
    const auto firstDot = path.find('.');
    if (firstDot == std::string::npos || firstDot == 0) return path + ".tsl";
    return path;
}

bool IsListFile(const std::string& path) {
    return path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, ".tsl") == 0;
}

namespace {

ListFileResult WriteInPlace(const std::string& path, const ItemList& items) {
    // Non-blocking: a FIFO without a reader refuses at once instead of waiting for one.
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666));
    if (!file.Valid()) return ListFileResult::CannotOpen;
    const bool written = WriteRecords(file.Get(), items);
    return file.Close() && written ? ListFileResult::Ok : ListFileResult::IoError;
}

}  // namespace

ListFileResult WriteListFile(const std::string& path, const ItemList& items) {
    // Only a plain file (or a new one) is replaced; a link is followed to its target.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return WriteInPlace(path, items);
    AtomicFile file;
    // The folder may allow writing the file but not creating a neighbour.
    if (file.Open(path, AtomicFile::LinkAtPath::Follow) != 0) return WriteInPlace(path, items);
    if (!WriteRecords(file.Fd(), items)) return ListFileResult::IoError;
    return file.Commit() == 0 ? ListFileResult::Ok : ListFileResult::IoError;
}

ListFileResult VisitListFile(const std::string& path, const RecordBatchVisitor& visit, std::size_t* trailingBytes) {
    struct stat info {};
    // A FIFO would block the open until a writer came; a socket cannot be opened at all.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return ListFileResult::NotAFile;
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.Valid()) return ListFileResult::CannotOpen;
    if (::fstat(file.Get(), &info) != 0) return ListFileResult::IoError;
    if (!S_ISREG(info.st_mode)) return ListFileResult::NotAFile;

    const std::size_t count = static_cast<std::size_t>(info.st_size) / kConvertItemSize;
    // About a mebibyte a read: a list of 100k items is a hundred reads, not 100k.
    constexpr std::size_t kRecordsPerRead = 1024;
    std::vector<ConvertItem> chunk(std::min(count, kRecordsPerRead));
    for (std::size_t done = 0; done < count;) {
        const std::size_t records = std::min(count - done, kRecordsPerRead);
        if (!ReadAll(file.Get(), reinterpret_cast<char*>(chunk.data()), records * sizeof(ConvertItem)))
            return ListFileResult::IoError;
        visit(std::span<const ConvertItem>(chunk.data(), records));
        done += records;
    }
    if (trailingBytes) *trailingBytes = static_cast<std::size_t>(info.st_size) % kConvertItemSize;
    return ListFileResult::Ok;
}

ListFileResult ReadListFile(const std::string& path, ItemList& items, std::size_t* trailingBytes) {
    items.Clear();
    ItemList loaded;
    const ListFileResult result = VisitListFile(
        path, [&loaded](std::span<const ConvertItem> batch) {
            for (const ConvertItem& item : batch) loaded.Append(item);
        },
        trailingBytes);
    if (result == ListFileResult::Ok) items = std::move(loaded);
    return result;
}

}  // namespace tessival
