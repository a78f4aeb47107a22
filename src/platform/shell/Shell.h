#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/shell/DriveTypes.h"

namespace tessival {

enum class MessageButtons { Ok, OkCancel };

// What a message box tells, shown by its icon.
enum class MessageKind { Information, Warning, Error, Question };

// The kind of a box whose caller names none: a question when it can be declined, an error when
// its text begins with "Error", information otherwise.
MessageKind MessageKindOf(const std::string& text, MessageButtons buttons);

// Files chosen in an open-file dialog: the folder (ending in "/") and the names in it, in the
// order the dialog reports them. One name for a single choice.
struct ChosenFiles {
    std::string folder;
    std::vector<std::string> names;
};

// A file found on a disc by the CD-ROM scan.
struct DiscEntry {
    std::string fullPath;
    std::string name;
};

// The desktop services the program asks for: message boxes, file and folder dialogs, opening
// files and pages, drive types and file search. The window uses the Qt implementation; tests and
// the command line use a scripted one that answers as told and records what was asked.
//
// Filters are in the program's "desc|pattern|desc|pattern||" form. All calls come from the
// user-interface thread, except where a caller marshals them there itself.
class Shell {
public:
    virtual ~Shell() = default;

    // Returns IDOK or IDCANCEL (an OK-only box returns IDOK).
    virtual int MessageBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok) = 0;
    // The same box, of a kind the caller names; a shell without icons shows it as the box above.
    virtual int MessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) {
        (void)kind;
        return MessageBox(text, buttons);
    }

    virtual std::optional<ChosenFiles> GetOpenFileNames(const std::string& filter, bool multiSelect) = 0;
    virtual std::optional<std::string> GetSaveFileName(const std::string& filter) = 0;
    // The chosen folder, or nothing when cancelled.
    virtual std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) = 0;

    // Opens a file, folder or web address with the desktop's default handler.
    virtual bool ShellOpen(const std::string& target) = 0;

    virtual const DriveTypes& Drives() const = 0;
    // Optical drives in a stable order: a drive is its mount point (data discs) or device node.
    virtual std::vector<std::string> CdRomDrives() const = 0;
    // Entries of `folder` whose names match a "*.ext" pattern, case-insensitively; on an audio
    // CD's device node the tracks appear as "Track01.cda", "Track02.cda", ...
    virtual std::vector<DiscEntry> FindFiles(const std::string& folder, const std::string& pattern) const = 0;
};

}  // namespace tessival
