#include "platform/io/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string_view>
#include <vector>

#include "platform/io/WaveRepair.h"

namespace tessival {
namespace {

constexpr std::string_view kPartTag = ".part-";
// The tag of a temporary whose bytes are all written (MarkWritten): should its writer die before
// the commit, it is a whole output, not a partial one to recover.
constexpr std::string_view kWrittenTag = ".done-";
// After the tag: the writer's process id and a random number, eight hex digits each. Temporaries
// of older versions carry the random number alone.
constexpr std::size_t kRandomDigits = 8;
constexpr std::size_t kPidDigits = 8;
constexpr std::size_t kSuffixDigits = kPidDigits + kRandomDigits;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A link is followed to its target, so that the link itself stays.
std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

std::string ResolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    return RealPath(path);
}

// In a folder anyone may write to but only owners may remove from (/tmp), a link that neither we
// nor the folder's owner made is someone else's trap: the kernel's protected_symlinks rule, which
// not every system turns on.
bool IsStrangersLink(const struct stat& link, const struct stat& folder) {
    const uid_t self = ::geteuid();
    return (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) && link.st_uid != self &&
           link.st_uid != folder.st_uid;
}

// Whether a folder on the way to `folder` is reached through a stranger's link.
bool ReachedThroughStrangersLink(const std::string& folder) {
    std::string reached = folder.front() == '/' ? "" : RealPath(".");
    std::size_t from = 0;
    while (from < folder.size()) {
        const std::size_t slash = std::min(folder.find('/', from), folder.size());
        const std::string part = folder.substr(from, slash - from);
        from = slash + 1;
        if (part.empty() || part == ".") continue;
        const std::string parent = reached.empty() ? "/" : reached;
        const std::string next = reached + "/" + part;
        struct stat link {}, parentInfo {};
        if (::lstat(next.c_str(), &link) != 0) return false;  // what does not exist yet fails later
        if (S_ISLNK(link.st_mode)) {
            if (::stat(parent.c_str(), &parentInfo) == 0 && IsStrangersLink(link, parentInfo)) return true;
            reached = RealPath(next);
        } else {
            reached = part == ".." ? RealPath(next) : next;
        }
    }
    return false;
}

// One seeded engine per thread: opening the random device for every file cost a run of short items
// more than naming their files was worth. A name taken already is tried again anyway.
unsigned TemporaryNumber() {
    thread_local std::mt19937 engine{std::random_device{}()};
    return static_cast<unsigned>(engine());
}

// Whether the name is a temporary of `prefix` (as TemporaryPrefix makes it), written or not.
bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    const std::string_view stem = prefix.substr(0, prefix.size() - kPartTag.size());
    if (name.substr(0, stem.size()) != stem) return false;
    const std::string_view tag = name.substr(std::min(stem.size(), name.size()), kPartTag.size());
    if (tag != kPartTag && tag != kWrittenTag) return false;
    const std::string_view digits = name.substr(std::min(prefix.size(), name.size()));
    if (digits.size() != kSuffixDigits && digits.size() != kRandomDigits) return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether `name` in the folder still is the file open as `fd`.
bool StillNamed(int folderFd, const char* name, int fd) {
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(opened.st_mode) && SameFile(opened, named);
}

// Whether the name ends in a temporary's tag and that many digits.
bool EndsInTag(std::string_view name, std::size_t digits, std::string_view tag) {
    return name.size() > tag.size() + digits && name.substr(name.size() - digits - tag.size(), tag.size()) == tag;
}

bool EndsInTag(std::string_view name, std::size_t digits) {
    return EndsInTag(name, digits, kPartTag) || EndsInTag(name, digits, kWrittenTag);
}

bool LooksTemporary(std::string_view name) { return EndsInTag(name, kSuffixDigits) || EndsInTag(name, kRandomDigits); }

bool LooksWritten(std::string_view name) { return EndsInTag(name, kSuffixDigits, kWrittenTag); }

// Whether the process named in a temporary's name still runs. Our own id counts as gone: a
// process that was killed may have had it (a container numbers its processes alike each time),
// and this process's own writers hold their locks.
bool WriterAlive(std::string_view name) {
    if (!EndsInTag(name, kSuffixDigits)) return false;  // an older version's name has no process id
    const std::string pidDigits(name.substr(name.size() - kSuffixDigits, kPidDigits));
    char* end = nullptr;
    const pid_t pid = static_cast<pid_t>(std::strtoul(pidDigits.c_str(), &end, 16));
    if (*end != '\0') return false;
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// What one look at each folder found that may be a temporary file. Opens in a folder of many
// files would otherwise read the whole folder each time: a batch into one folder took time
// growing with the square of its size.
class FolderScans {
public:
    // The names in `folder` that begin with `prefix` and looked like temporary files, taken out
    // of what is remembered; the folder is read on its first use since the last Forget.
    std::vector<std::string> TakeCandidates(const std::string& folder, std::string_view prefix) {
        std::lock_guard lock(mutex_);
        auto [found, fresh] = scans_.try_emplace(folder);
        if (fresh) found->second = Read(folder);
        std::vector<std::string> taken;
        auto& names = found->second;
        for (auto name = names.begin(); name != names.end();) {
            if (IsTemporaryName(*name, prefix)) {
                taken.push_back(std::move(*name));
                name = names.erase(name);
            } else {
                ++name;
            }
        }
        return taken;
    }

    void Forget() {
        std::lock_guard lock(mutex_);
        scans_.clear();
    }

private:
    static std::vector<std::string> Read(const std::string& folder) {
        std::vector<std::string> names;
        std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
        if (!dir) return names;
        while (const dirent* entry = ::readdir(dir.get()))
            if (LooksTemporary(entry->d_name)) names.emplace_back(entry->d_name);
        return names;
    }

    std::mutex mutex_;
    // By the folder's name: a name remembered wrongly is checked again before it is removed.
    std::map<std::string, std::vector<std::string>, std::less<>> scans_;
};

FolderScans& Scans() {
    static FolderScans scans;
    return scans;
}

struct Recovered {
    std::mutex mutex;
    std::vector<std::string> paths;
};

Recovered& RecoveredFiles() {
    static Recovered recovered;
    return recovered;
}

// Moves a dead writer's audio to "NAME (recovered).EXT" (or "(recovered 2)", ...) beside the
// destination, never over another file.
bool KeepRecovered(const std::string& temporary, const std::string& destination) {
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string target = TaggedName(destination, "recovered", attempt);
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            std::lock_guard lock(RecoveredFiles().mutex);
            RecoveredFiles().paths.push_back(target);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// Temporary files whose writer is gone and whose lock is free belong to no living writer (a file
// system without locks leaves the process id alone to tell). One that holds part of an output (a
// recording whose process was killed) is kept under a name of its own; the rest are removed. A
// whole output that died before its commit goes too: the writer that opens its name makes it again.
void ClearStaleTemporaries(const std::string& folder, const std::string& prefix, const std::string& destination) {
    for (const std::string& name : Scans().TakeCandidates(folder, prefix)) {
        if (WriterAlive(name)) continue;
        const std::string path = Join(folder, name);
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd.Valid() || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (!StillNamed(AT_FDCWD, path.c_str(), fd.Get())) continue;
        if (!LooksWritten(name) && HoldsAudio(fd.Get())) {
            RepairWaveSizes(fd.Get());
            ::fsync(fd.Get());
            KeepRecovered(path, destination);
        } else {
            ::unlink(path.c_str());
        }
    }
}

// The older file's owner and permission bits go to its replacement. Only root may give a file
// away, so a refused chown leaves the replacement ours; the mode is set after it, as chown may
// clear set-id bits.
int KeepAttributes(int fd, const std::string& older) {
    struct stat info {};
    // A link that is replaced gives nothing of its target to the new file.
    if (::lstat(older.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0 && errno != EPERM) return errno;
    return ::fchmod(fd, info.st_mode & 07777) == 0 ? 0 : errno;
}

}  // namespace

void ForgetFolderScans() { Scans().Forget(); }

int SyncContainingFolder(const std::string& path) {
    UniqueFd folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) return errno;
    // Some file systems cannot sync a folder; the rename is then as durable as they make it.
    if (::fsync(folder.Get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

std::vector<std::string> TakeRecoveredFiles() {
    std::lock_guard lock(RecoveredFiles().mutex);
    return std::exchange(RecoveredFiles().paths, {});
}

std::string TaggedName(const std::string& path, const std::string& tag, int attempt) {
    const auto slash = path.rfind('/');
    const auto nameStart = slash == std::string::npos ? 0 : slash + 1;
    auto dot = path.rfind('.');
    // A leading dot starts a hidden name, not an extension.
    if (dot == std::string::npos || dot <= nameStart) dot = path.size();
    const std::string mark = attempt <= 1 ? " (" + tag + ")" : " (" + tag + " " + std::to_string(attempt) + ")";
    return path.substr(0, dot) + mark + path.substr(dot);
}

std::string TemporaryPrefix(const std::string& fileName) {
    const std::size_t room = NAME_MAX - kPartTag.size() - kSuffixDigits;
    return fileName.substr(0, room) + std::string(kPartTag);
}

AtomicFile::~AtomicFile() { Discard(); }

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : destination_(std::exchange(other.destination_, {})),
      temporary_(std::exchange(other.temporary_, {})),
      fd_(std::move(other.fd_)) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        Discard();
        destination_ = std::exchange(other.destination_, {});
        temporary_ = std::exchange(other.temporary_, {});
        fd_ = std::move(other.fd_);
    }
    return *this;
}

int AtomicFile::Open(const std::string& path, LinkAtPath link) {
    Discard();
    if (path.empty() || path.back() == '/') return EISDIR;
    destination_ = link == LinkAtPath::Follow ? ResolveLink(path) : path;
    if (ReachedThroughStrangersLink(FolderOf(destination_))) return EACCES;
    const std::string folder = FolderOf(destination_);
    const std::string prefix = TemporaryPrefix(NameOf(destination_));
    ClearStaleTemporaries(folder, prefix, destination_);

    for (int attempt = 0; attempt < 100; ++attempt) {
        char digits[kSuffixDigits + 1];
        std::snprintf(digits, sizeof digits, "%08x%08x", static_cast<unsigned>(::getpid()), TemporaryNumber());
        const std::string candidate = Join(folder, prefix + digits);
        UniqueFd fd(::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.Valid()) {
            if (errno == EEXIST) continue;
            return errno;
        }
        // Between creating and locking, another writer may have taken it for a stale one. A file
        // system without locks cannot have its temporaries taken by others either.
        const int lockError = ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
        if (lockError == EWOULDBLOCK || !StillNamed(AT_FDCWD, candidate.c_str(), fd.Get())) continue;
        fd_ = std::move(fd);
        temporary_ = candidate;
        return 0;
    }
    return EEXIST;
}

void AtomicFile::StartWriteback(std::int64_t offset, std::int64_t length) const {
    if (IsOpen()) ::sync_file_range(fd_.Get(), offset, length, SYNC_FILE_RANGE_WRITE);
}

int AtomicFile::MarkWritten() {
    if (!IsOpen()) return EBADF;
    const std::size_t tagAt = temporary_.size() - kSuffixDigits - kPartTag.size();
    if (temporary_.compare(tagAt, kPartTag.size(), kPartTag) != 0) return 0;  // marked already
    std::string written = temporary_;
    written.replace(tagAt, kWrittenTag.size(), kWrittenTag);
    if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, written.c_str(), RENAME_NOREPLACE) != 0) return errno;
    temporary_ = std::move(written);
    return 0;
}

int AtomicFile::Commit() {
    // Unmarked, a kill during the sync would leave the whole output to be kept as a partial one.
    MarkWritten();
    if (const int error = PrepareCommit()) return error;
    if (const int error = SyncData()) return error;
    if (const int error = MoveIntoPlace()) return error;
    return SyncContainingFolder(destination_);
}

int AtomicFile::PrepareCommit() {
    if (!IsOpen()) return EBADF;
    if (const int error = KeepAttributes(fd_.Get(), destination_)) return Finish(error);
    StartWriteback(0, 0);  // 0 bytes: to the end of the file
    return 0;
}

int AtomicFile::SyncData() {
    if (!IsOpen()) return EBADF;
    return ::fsync(fd_.Get()) == 0 ? 0 : Finish(errno);
}

int AtomicFile::MoveIntoPlace() {
    if (!IsOpen()) return EBADF;
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) return Finish(errno);
    temporary_.clear();
    return fd_.Close() ? 0 : errno;
}

int AtomicFile::CommitNew(const std::string& target) {
    if (!IsOpen()) return EBADF;
    if (::fsync(fd_.Get()) != 0) return Finish(errno);
    int moved = ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without no-replace renames: a hard link fails as well when the name is taken.
        moved = ::link(temporary_.c_str(), target.c_str());
        if (moved == 0) ::unlink(temporary_.c_str());
    }
    if (moved != 0) {
        const int error = errno;
        return error == EEXIST ? EEXIST : Finish(error);
    }
    temporary_.clear();
    if (!fd_.Close()) return errno;
    return SyncContainingFolder(target);
}

void AtomicFile::Discard() {
    // Removed while still locked, so no other writer takes it for a stale one meanwhile.
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    fd_.Close();
}

int AtomicFile::Finish(int error) {
    Discard();
    return error;
}

}  // namespace tessival
