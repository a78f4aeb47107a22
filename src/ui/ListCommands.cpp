#include "ui/ListCommands.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>

#include "joblist/ItemFactory.h"
#include "joblist/ItemTypes.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaProbe.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

bool IsListFile(const std::string& path) {
    return path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, ".tsl") == 0;
}

// A file of a type the program names, or one in which some format finds audio.
bool IsMediaFile(const std::string& path) {
    ConvertItem item = MakeSingleFileItem(path);
    return !IsUnknownSourceType(item) || media::HasAudioStream(path);
}

// Every media file below a folder, sorted by path, appended to files.
void AppendMediaBelow(const std::string& folder, std::vector<std::string>& files) {
    std::vector<std::string> found;
    std::error_code error;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, options, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) && !IsListFile(it->path().string()) && IsMediaFile(it->path().string()))
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
}

}  // namespace

ListCommands::ListCommands(ItemListMirror& mirror, ItemList& items, Shell& shell, const std::atomic<bool>& converting)
    : mirror_(mirror), items_(items), shell_(shell), converting_(converting) {}

void ListCommands::AddFromFile() {
    // Reached only through the Add menu, which is not offered during a run.
    const auto chosen = shell_.GetOpenFileNames(LoadString(IDS_MEDIA_FILTER), true);
    if (!chosen || chosen->names.empty()) return;
    if (chosen->names.size() == 1) {
        mirror_.AddItem(MakeSingleFileItem(chosen->folder + chosen->names.front()));
        return;
    }
    for (const ConvertItem& item : MakeMultiFileItems(chosen->folder, chosen->names)) mirror_.AddItem(item);
}

void ListCommands::AddDropped(const std::vector<std::string>& paths) {
    if (Refused()) return;
    // A list file replaces the list, as Load does; the other paths are added after it.
    const auto list = std::find_if(paths.begin(), paths.end(), IsListFile);
    if (list != paths.end()) LoadFrom(*list);
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (IsListFile(path))
            continue;
        else if (std::filesystem::is_directory(path, error))
            AppendMediaBelow(path, files);
        else
            files.push_back(path);
    }
    for (const std::string& file : files) mirror_.AddItem(MakeSingleFileItem(file));
}

void ListCommands::Save() {
    if (Refused()) return;
    const auto path = shell_.GetSaveFileName(LoadString(IDS_LIST_FILTER));
    if (!path) return;
    if (WriteListFile(WithListExtension(*path), items_) != ListFileResult::Ok)
        shell_.MessageBox(LoadString(IDS_LIST_WRITE_FAILED));
}

void ListCommands::Load() {
    if (Refused()) return;
    const auto chosen = shell_.GetOpenFileNames(LoadString(IDS_LIST_FILTER), false);
    if (!chosen || chosen->names.empty()) return;
    LoadFrom(chosen->folder + chosen->names.front());
}

void ListCommands::LoadFrom(const std::string& path) {
    if (Refused()) return;
    // The list is emptied before the file is opened, as New list does.
    NewList();
    ItemList loaded;
    if (ReadListFile(path, loaded) != ListFileResult::Ok) {
        shell_.MessageBox(LoadString(IDS_LIST_READ_FAILED));
        return;
    }
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
