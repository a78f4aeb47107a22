#pragma once

#include <QString>

#include "joblist/ItemList.h"
#include "ui/ItemListView.h"

namespace tessival {

class ItemEditorWindow;

// Keeps the item list and its list control in step: row i always shows item i, and the item
// window is bound to the selected record, or to none before its record leaves the list.
class ItemListMirror {
public:
    ItemListMirror(ItemList& items, ItemListView& view);

    void SetEditor(ItemEditorWindow* editor);

    // Appends the record and its row; the selection does not change.
    void AddItem(const ConvertItem& item);
    // Rewrites the first selected row's cells from its record.
    void RefreshSelectedRow();
    // Rewrites the cells of the row that shows this record; nothing when it is not in the list.
    void RefreshRowOf(const ConvertItem& item);
    void RefreshRow(int row);
    // A status a run shows in a row before it writes the record ("Doing..."): the properties
    // window shows it too when it shows that row's item.
    void ShowStatus(int row, const QString& text);

    int SelectedRow() const { return view_.SelectedRow(); }
    ConvertItem* SelectedItem() { return items_.At(SelectedRow()); }

    // Removes item and row `row`, then selects the row that takes its place (none after the last).
    void RemoveItem(int row);
    void RemoveAll();
    // Moves the selected item one place; false when nothing moved. The moved item stays selected.
    bool MoveSelectedUp();
    bool MoveSelectedDown();
    // Copies destination folder, type, quality and name extension of `source` to every item below
    // the selected row.
    void ApplyToFollowing(const ConvertItem& source);

    // Binds the item window to the selected record; with no row selected, leaves it as it is.
    void OnSelectionChange();

private:
    void ReplaceSelectedBy(int fromRow, int toRow);
    void DetachEditorFrom(const ConvertItem* leaving);

    ItemList& items_;
    ItemListView& view_;
    ItemEditorWindow* editor_ = nullptr;
};

}  // namespace tessival
