#pragma once

#include <deque>
#include <map>

#include "platform/shell/Shell.h"

namespace tessival {

// A Shell that answers from a script and records every request. For tests and for running
// without a desktop: with nothing scripted, message boxes answer IDOK (or the default answer set
// below) and dialogs are cancelled.
class ScriptedShell : public Shell {
public:
    struct Message {
        std::string text;
        MessageButtons buttons;
        MessageKind kind = MessageKind::Information;
    };

    // Script.
    std::deque<int> messageAnswers;
    int defaultMessageAnswer = 1;  // IDOK
    std::deque<std::optional<ChosenFiles>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    const DriveTypes* drives = nullptr;  // null: the system's drives
    std::vector<std::string> cdromDrives;
    bool openSucceeds = true;  // false: as a desktop with no handler for pages
    std::map<std::string, std::vector<DiscEntry>> filesByPattern;  // key: folder + "|" + pattern

    // Record.
    std::vector<Message> messages;
    std::vector<std::string> openFilters;
    std::vector<bool> openMultiSelect;
    std::vector<std::string> saveFilters;
    std::vector<std::string> folderTitles;
    std::vector<std::string> opened;

    int MessageBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok) override;
    int MessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) override;
    std::optional<ChosenFiles> GetOpenFileNames(const std::string& filter, bool multiSelect) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) override;
    bool ShellOpen(const std::string& target) override;
    const DriveTypes& Drives() const override;
    std::vector<std::string> CdRomDrives() const override;
    std::vector<DiscEntry> FindFiles(const std::string& folder, const std::string& pattern) const override;
};

}  // namespace tessival
