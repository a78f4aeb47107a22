#include "platform/shell/ScriptedShell.h"

namespace tessival {
namespace {

template <typename T>
std::optional<T> TakeAnswer(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

int ScriptedShell::MessageBox(const std::string& text, MessageButtons buttons) {
    return MessageBox(text, buttons, MessageKindOf(text, buttons));
}

int ScriptedShell::MessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) {
    messages.push_back({text, buttons, kind});
    if (messageAnswers.empty()) return buttons == MessageButtons::Ok ? 1 : defaultMessageAnswer;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<ChosenFiles> ScriptedShell::GetOpenFileNames(const std::string& filter, bool multiSelect) {
    openFilters.push_back(filter);
    openMultiSelect.push_back(multiSelect);
    return TakeAnswer(openAnswers);
}

std::optional<std::string> ScriptedShell::GetSaveFileName(const std::string& filter) {
    saveFilters.push_back(filter);
    return TakeAnswer(saveAnswers);
}

std::optional<std::string> ScriptedShell::BrowseForFolder(const std::string& title, const std::string&) {
    folderTitles.push_back(title);
    return TakeAnswer(folderAnswers);
}

bool ScriptedShell::ShellOpen(const std::string& target) {
    opened.push_back(target);
    return openSucceeds;
}

const DriveTypes& ScriptedShell::Drives() const { return drives ? *drives : SystemDriveTypes(); }

std::vector<std::string> ScriptedShell::CdRomDrives() const { return cdromDrives; }

std::vector<DiscEntry> ScriptedShell::FindFiles(const std::string& folder, const std::string& pattern) const {
    auto it = filesByPattern.find(folder + "|" + pattern);
    return it == filesByPattern.end() ? std::vector<DiscEntry>() : it->second;
}

}  // namespace tessival
