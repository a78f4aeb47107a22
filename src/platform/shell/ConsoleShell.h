#pragma once

#include "platform/devices/CdDrives.h"
#include "platform/shell/Shell.h"

namespace tessival {

// The desktop services of the command line: messages go to stderr, questions are answered
// "Cancel", dialogs are cancelled and nothing is opened. The CD-ROM scan walks the given drives.
class ConsoleShell : public Shell {
public:
    explicit ConsoleShell(const CdDrives& drives = SystemCdDrives()) : drives_(drives) {}

    using Shell::MessageBox;
    int MessageBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok) override;
    std::optional<ChosenFiles> GetOpenFileNames(const std::string& filter, bool multiSelect) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) override;
    bool ShellOpen(const std::string& target) override;
    const DriveTypes& Drives() const override;
    std::vector<std::string> CdRomDrives() const override;
    std::vector<DiscEntry> FindFiles(const std::string& folder, const std::string& pattern) const override;

private:
    const CdDrives& drives_;
};

}  // namespace tessival
