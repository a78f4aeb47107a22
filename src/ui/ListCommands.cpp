#include "ui/ListCommands.h"

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

ListCommands::ListCommands(ItemListMirror& mirror, ItemList& items, Shell& shell, const std::atomic<bool>& converting)
    : mirror_(mirror), items_(items), shell_(shell), converting_(converting) {}

void ListCommands::AddFromFile() {
    // Reached only through the Add menu, which is not offered during a run.
    const auto chosen = shell_.GetOpenFileNames(LoadString(IDS_MEDIA_FILTER), true);
    if (!chosen || chosen->names.empty()) return;
    if (chosen->names.size() == 1) {
        const std::string path = chosen->folder + chosen->names.front();
        if (const std::string refused = FileTooLongText(path); !refused.empty())
            shell_.MessageBox(refused);
        else
            mirror_.AddItem(MakeSingleFileItem(path));
        return;
    }
    std::vector<std::string> fitting;
    std::string refused;
    for (const std::string& name : chosen->names) {
        const std::string text = FileTooLongText(MultiFilePath(chosen->folder, name));
        if (text.empty())
            fitting.push_back(name);
        else
            refused += (refused.empty() ? "" : "\n\n") + text;
    }
    for (const ConvertItem& item : MakeMultiFileItems(chosen->folder, fitting)) mirror_.AddItem(item);
    if (!refused.empty()) shell_.MessageBox(refused);
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
    // The list is emptied before the file is opened, as New list does.
    NewList();
    ItemList loaded;
    if (ReadListFile(chosen->folder + chosen->names.front(), loaded) != ListFileResult::Ok) {
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
