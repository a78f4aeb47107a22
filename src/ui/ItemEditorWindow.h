#pragma once

#include <QDialog>
#include <functional>

#include "joblist/ConvertItem.h"

namespace tessival {

// The modeless window that shows and edits the selected item. The main window binds it to the
// selected record on every selection change and unbinds it (null) before that record leaves the
// list, so it never writes into a record that is gone.
class ItemEditorWindow : public QDialog {
public:
    using ApplyHandler = std::function<void(const ConvertItem&)>;
    using RowHandler = std::function<void(const ConvertItem&)>;

    explicit ItemEditorWindow(QWidget* parent = nullptr) : QDialog(parent) {}

    // Null: show no item.
    virtual void SetItem(ConvertItem* item) = 0;
    virtual ConvertItem* Item() const = 0;

    // "Apply to follow items" hands the shown record to this handler.
    void SetApplyToFollowingHandler(ApplyHandler handler) { applyToFollowing_ = std::move(handler); }
    // "Naming..." asks for the naming of the selected item and the ones after it.
    void SetNamingHandler(std::function<void()> handler) { naming_ = std::move(handler); }
    // Told after every change the window writes into its record, to rewrite that record's row.
    void SetItemChangedHandler(RowHandler handler) { itemChanged_ = std::move(handler); }
    // Shows the window activated, with its first field focused.
    void Present() {
        show();
        raise();
        activateWindow();
        FocusFirstField();
    }
    // A status the item's row shows before the record holds it.
    virtual void ShowStatus(const QString& status) { (void)status; }
    // Escape, like the close box, only hides the window.
    void reject() override { hide(); }

    // While a run converts, the window only shows: the run reads and writes the records.
    virtual void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_; }

protected:
    virtual void FocusFirstField() {}
    void RequestApplyToFollowing() {
        if (Item() && applyToFollowing_ && !readOnly_) applyToFollowing_(*Item());
    }
    void RequestNaming() {
        if (Item() && naming_ && !readOnly_) naming_();
    }
    void ItemChanged() {
        if (Item() && itemChanged_) itemChanged_(*Item());
    }

private:
    ApplyHandler applyToFollowing_;
    RowHandler itemChanged_;
    std::function<void()> naming_;
    bool readOnly_ = false;
};

}  // namespace tessival
