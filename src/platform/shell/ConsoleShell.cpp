#include "platform/shell/ConsoleShell.h"

#include <cstdio>

#include "platform/shell/DiscSearch.h"

namespace tessival {

namespace {
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
}  // namespace

int ConsoleShell::MessageBox(const std::string& text, MessageButtons buttons) {
    std::fprintf(stderr, "tessival-cli: %s\n", text.c_str());
    return buttons == MessageButtons::Ok ? kIdOk : kIdCancel;
}

std::optional<ChosenFiles> ConsoleShell::GetOpenFileNames(const std::string&, bool) { return std::nullopt; }

std::optional<std::string> ConsoleShell::GetSaveFileName(const std::string&) { return std::nullopt; }

std::optional<std::string> ConsoleShell::BrowseForFolder(const std::string&, const std::string&) {
    return std::nullopt;
}

bool ConsoleShell::ShellOpen(const std::string&) { return false; }

const DriveTypes& ConsoleShell::Drives() const { return SystemDriveTypes(); }

std::vector<std::string> ConsoleShell::CdRomDrives() const { return CdRomDriveNames(drives_); }

std::vector<DiscEntry> ConsoleShell::FindFiles(const std::string& folder, const std::string& pattern) const {
    return FindDiscFiles(drives_, folder, pattern);
}

}  // namespace tessival
