#include "ui/ListCommands.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <iterator>

#include "engine/sources/SourceAdding.h"
#include "joblist/DiscItems.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/ListRecordCheck.h"
#include "joblist/TextField.h"
#include "platform/io/ReplacedFileLock.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

// Files too long for their fields are named together in one message, a blank line apart.
void AppendRefusal(std::string& refused, const std::string& text) {
    refused += (refused.empty() ? "" : "\n\n") + text;
}

// Another writer of a list (a `tessival-cli add`) holds its lock while it reads and writes it:
// moments. Save waits that long, never for a writer that does not let go.
constexpr auto kListLockPatience = std::chrono::seconds(2);
constexpr auto kListLockRetry = std::chrono::milliseconds(50);

// 0, EWOULDBLOCK when another writer still held the list at the end of the wait, or an errno value.
int LockListForSave(ReplacedFileLock& lock, const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kListLockPatience;
    for (;;) {
        const int error = lock.TryAcquire(path);
        if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return error;
        // The window keeps painting meanwhile, but takes no input that could change the list.
        QEventLoop pause;
        QTimer::singleShot(kListLockRetry, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace

ListCommands::ListCommands(ItemListMirror& mirror, ItemList& items, Shell& shell, const std::atomic<bool>& converting)
    : mirror_(mirror), items_(items), shell_(shell), converting_(converting) {}

void ListCommands::AddFromFile() {
    // Its keys reach it during a run too, where the Add menu is not offered.
    if (Refused()) return;
    const auto chosen =
        shell_.GetOpenFileNames(ExtendedMediaFilter(LoadString(IDS_MEDIA_FILTER), LoadString(IDS_MORE_MEDIA_FILTER)), true);
    if (!chosen || chosen->names.empty()) return;
    if (chosen->names.size() == 1) {
        AddSingleFiles({chosen->folder + chosen->names.front()});
        return;
    }
    std::vector<std::string> fitting;
    std::string refused;
    for (const std::string& name : chosen->names) {
        const std::string text = FileTooLongText(MultiFilePath(chosen->folder, name));
        if (text.empty())
            fitting.push_back(name);
        else
            AppendRefusal(refused, text);
    }
    AddFileItems(MakeMultiFileItems(chosen->folder, fitting));
    if (!refused.empty()) shell_.MessageBox(refused);
}

void ListCommands::AddSingleFiles(const std::vector<std::string>& paths) {
    std::string refused;
    std::vector<ConvertItem> items;
    for (const std::string& path : paths) {
        if (const std::string text = FileTooLongText(path); !text.empty())
            AppendRefusal(refused, text);
        else
            items.push_back(MakeSingleFileItem(path));
    }
    AddFileItems(items);
    if (!refused.empty()) shell_.MessageBox(refused);
}

void ListCommands::AddFileItems(const std::vector<ConvertItem>& items) {
    // A disc image stands for the disc: its audio tracks are added, as From CDROM adds a drive's.
    std::vector<DiscProblem> problems;
    for (const ConvertItem& item : ExpandChosenSources(items, problems)) mirror_.AddItem(item);
    for (const DiscProblem& problem : problems) shell_.MessageBox(DiscProblemText(problem));
}

void ListCommands::AddFromCdRom() {
    for (const ConvertItem& item : ScanCdRomDrives(shell_)) mirror_.AddItem(item);
}

bool ListCommands::AddDropped(const std::vector<std::string>& paths) {
    if (Refused()) return false;
    // A list file replaces the list, as Load does; the other paths are added after it.
    const auto list = std::find_if(paths.begin(), paths.end(), IsListFile);
    if (list != paths.end()) LoadFrom(*list);
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (IsListFile(path))
            continue;
        else if (std::filesystem::is_directory(path, error))
            std::ranges::copy(MediaFilesBelow(path), std::back_inserter(files));
        else
            files.push_back(path);
    }
    AddSingleFiles(files);
    return true;
}

void ListCommands::Save() {
    if (Refused()) return;
    const auto path = shell_.GetSaveFileName(LoadString(IDS_LIST_FILTER));
    if (!path) return;
    // A `tessival-cli add` to the same list finishes first, and does not write over this save.
    const std::string listPath = WithListExtension(*path);
    ReplacedFileLock lock;
    const int locked = LockListForSave(lock, listPath);
    if (locked == EWOULDBLOCK) {
        shell_.MessageBox(LoadString(IDS_LIST_BUSY, {listPath}), MessageButtons::Ok, MessageKind::Warning);
        return;
    }
    if (locked != 0 || WriteListFile(listPath, items_) != ListFileResult::Ok)
        shell_.MessageBox(LoadString(IDS_LIST_WRITE_FAILED), MessageButtons::Ok, MessageKind::Error);
}

void ListCommands::Load() {
    if (Refused()) return;
    const auto chosen = shell_.GetOpenFileNames(LoadString(IDS_LIST_FILTER), false);
    if (!chosen || chosen->names.empty()) return;
    LoadFrom(chosen->folder + chosen->names.front());
}

void ListCommands::LoadFrom(const std::string& path) {
    if (Refused()) return;
    ItemList loaded;
    if (ReadListFile(path, loaded) != ListFileResult::Ok) {
        // The list is emptied all the same, as New list does.
        NewList();
        shell_.MessageBox(LoadString(IDS_LIST_READ_FAILED), MessageButtons::Ok, MessageKind::Error);
        return;
    }
    // A file that is not a list would fill the list with rows of its bytes. Declining keeps the
    // list as it was.
    if (!loaded.Empty() && !ReadsAsListRecord(*loaded.At(0)) &&
        shell_.MessageBox(LoadString(IDS_NOT_A_LIST, {std::to_string(loaded.Count())}), MessageButtons::OkCancel) !=
            IDOK)
        return;
    NewList();
    loaded.ForEach([this](const ConvertItem& item) { mirror_.AddItem(item); });
}

void ListCommands::NewList() {
    if (Refused()) return;
    mirror_.RemoveAll();
}

void ListCommands::Delete() {
    if (Refused()) return;
    const int row = mirror_.SelectedRow();
    if (row >= 0) mirror_.RemoveItem(row);
}

void ListCommands::MoveUp() {
    if (!Refused()) mirror_.MoveSelectedUp();
}

void ListCommands::MoveDown() {
    if (!Refused()) mirror_.MoveSelectedDown();
}

void ListCommands::Play() {
    if (Refused()) return;
    // A capture item has no source path and opens nothing.
    const ConvertItem* item = mirror_.SelectedItem();
    if (item && FieldLength(item->sourcePath) > 0) shell_.ShellOpen(ReadField(item->sourcePath));
}

}  // namespace tessival
