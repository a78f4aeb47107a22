#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/io/UniqueFd.h"

namespace tessival {

// A file written under a temporary name beside its destination and moved into place only once
// it is complete, so that a failure or a crash never leaves a half-written file under the
// destination's name nor damages an older file there.
//
// The temporary file is "NAME.part-PPPPPPPPXXXXXXXX" (the writer's process id and a random number,
// in hex), "NAME.done-..." once all of it is written (MarkWritten), and stays locked (flock)
// while its writer lives.
// One whose lock is free was left by a process that died: the next Open for NAME removes it, or,
// when it holds audio (a killed recording), keeps it as "NAME (recovered).EXT" with its WAVE
// sizes made right (see TakeRecoveredFiles). Open reads a folder once for such files and
// remembers what it found (see ForgetFolderScans).
//
// Operations return 0 or an errno value. One object is used by one thread at a time.
class AtomicFile {
public:
    AtomicFile() = default;
    // Removes a temporary file that was not committed.
    ~AtomicFile();
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // What Commit does with a symbolic link at the destination's name.
    enum class LinkAtPath {
        Replace,  // the link goes, its target is untouched: outputs, whose names may be planted
        Follow,   // its target is replaced and the link stays: the user's own files, such as lists
    };
    // Creates the temporary file for `path` in the folder `path` names. A folder reached through
    // a link that a stranger made in a world-writable sticky folder (/tmp) is refused (EACCES).
    int Open(const std::string& path, LinkAtPath link = LinkAtPath::Replace);
    bool IsOpen() const { return fd_.Valid(); }
    // Open for writing; positioned at the start.
    int Fd() const { return fd_.Get(); }
    const std::string& TemporaryPath() const { return temporary_; }

    // Starts writing that range of what was written to the disk without waiting for it, so that
    // the sync of Commit has less left to wait for. Failures show at that sync.
    void StartWriteback(std::int64_t offset, std::int64_t length) const;

    // Tells that every byte is written: the temporary becomes "NAME.done-PPPPPPPPXXXXXXXX", which
    // the next Open for NAME removes, should its writer die before the commit, instead of keeping
    // it as recovered. Without it the temporary stays "NAME.part-..." and commits all the same.
    int MarkWritten();
    // Replaces the destination with what was written, keeping the replaced file's permission
    // bits (a new file has 0666 less the umask). The data and then the folder are synced. On
    // failure the temporary file is removed and an older file stays as it was.
    int Commit();
    // Moves what was written to `target` (in the same folder) only when no file of that name
    // exists: EEXIST then, and the temporary file stays for another try. Other failures remove it.
    int CommitNew(const std::string& target);

    // Commit in three steps, for a caller that syncs many files together (see GroupCommitter).
    // Each failure removes the temporary file and returns the errno value.
    // Takes the replaced file's attributes and starts writing everything to the disk.
    int PrepareCommit();
    // Waits until what was written is on the disk.
    int SyncData();
    // Gives the file the destination's name and closes it; the folder is the caller's to sync.
    int MoveIntoPlace();
    const std::string& Destination() const { return destination_; }
    // Removes the temporary file.
    void Discard();

private:
    int Finish(int error);

    std::string destination_;
    std::string temporary_;
    UniqueFd fd_;
};

// Makes the next Open in each folder read the folder again for temporary files of writers that
// died. A conversion run calls it as it starts, so that a run removes those left before it.
void ForgetFolderScans();

// Syncs the folder that holds `path`, so that a rename in it lasts. 0 or an errno value.
int SyncContainingFolder(const std::string& path);

// The files that Opens kept as recovered since the last call, by path.
std::vector<std::string> TakeRecoveredFiles();

// "NAME (TAG).EXT" beside `path` for the first attempt, "NAME (TAG 2).EXT" for the second, ...
std::string TaggedName(const std::string& path, const std::string& tag, int attempt);

// The temporary names for a destination file start with this: its file name (cut so that the
// temporary name fits the file system's name limit) and ".part-".
std::string TemporaryPrefix(const std::string& fileName);

}  // namespace tessival
