#include "ui/ItemListMirror.h"

#include <QSignalBlocker>

#include "joblist/ItemColumns.h"
#include "joblist/ItemEdits.h"
#include "ui/ItemEditorWindow.h"

namespace tessival {

ItemListMirror::ItemListMirror(ItemList& items, ItemListView& view) : items_(items), view_(view) {}

void ItemListMirror::SetEditor(ItemEditorWindow* editor) { editor_ = editor; }

void ItemListMirror::AddItem(const ConvertItem& item) {
    items_.Append(item);
    view_.AppendRow(item);
}

void ItemListMirror::RefreshRowOf(const ConvertItem& item) { RefreshRow(static_cast<int>(items_.IndexOf(&item))); }

void ItemListMirror::RefreshRow(int row) {
    if (const ConvertItem* item = items_.At(row)) view_.WriteRow(row, *item);
}

void ItemListMirror::ShowStatus(int row, const QString& text) {
    view_.SetCellText(row, kStatusColumn, text);
    if (editor_ && editor_->Item() && editor_->Item() == items_.At(row)) editor_->ShowStatus(text);
}

void ItemListMirror::RefreshSelectedRow() { RefreshRow(view_.SelectedRow()); }

void ItemListMirror::DetachEditorFrom(const ConvertItem* leaving) {
    if (editor_ && editor_->Item() == leaving) editor_->SetItem(nullptr);
}

void ItemListMirror::RemoveItem(int row) {
    const ConvertItem* leaving = items_.At(row);
    if (!leaving) return;
    DetachEditorFrom(leaving);
    {
        // Row and record go together; the window follows the selection once both are gone.
        const QSignalBlocker quiet(&view_);
        items_.RemoveAt(row);
        view_.RemoveRow(row);
        view_.ClearRowSelection();
        view_.SelectRow(row);
    }
    OnSelectionChange();
}

void ItemListMirror::RemoveAll() {
    if (editor_) editor_->SetItem(nullptr);
    const QSignalBlocker quiet(&view_);
    items_.Clear();
    view_.RemoveAllRows();
}

void ItemListMirror::ReplaceSelectedBy(int fromRow, int toRow) {
    {
        const QSignalBlocker quiet(&view_);
        view_.ClearRowSelection();
        view_.SelectRow(fromRow);
        RefreshSelectedRow();
        view_.SelectRow(toRow);
        RefreshSelectedRow();
    }
    OnSelectionChange();
}

bool ItemListMirror::MoveSelectedUp() {
    const int row = view_.SelectedRow();
    if (row <= 0) return false;
    // The moved record gets a new place in memory: the window must let go of the old one.
    DetachEditorFrom(items_.At(row));
    items_.InsertBefore(row - 1, *items_.At(row));
    items_.RemoveAt(row + 1);
    ReplaceSelectedBy(row, row - 1);
    return true;
}

bool ItemListMirror::MoveSelectedDown() {
    const int row = view_.SelectedRow();
    if (row < 0) return false;
    DetachEditorFrom(items_.At(row));
    const int last = static_cast<int>(items_.Count()) - 1;
    if (row < last)
        items_.InsertAfter(row + 1, *items_.At(row));
    else
        items_.Append(*items_.At(row));
    items_.RemoveAt(row);
    ReplaceSelectedBy(row, row + 1);
    return row < last;
}

void ItemListMirror::ApplyToFollowing(const ConvertItem& shown) {
    const int selected = view_.SelectedRow();
    if (selected < 0) return;
    const ConvertItem source = shown;  // the shown record may itself be rewritten below
    const QSignalBlocker quiet(&view_);
    view_.ClearRowSelection();
    const int count = static_cast<int>(items_.Count());
    for (int row = selected + 1; row < count; ++row) {
        ApplySettingsOf(source, *items_.At(row));
        view_.SelectRow(row);
        RefreshSelectedRow();
    }
    OnSelectionChange();
}

void ItemListMirror::OnSelectionChange() {
    ConvertItem* item = items_.At(view_.SelectedRow());
    if (item && editor_) editor_->SetItem(item);
}

}  // namespace tessival
