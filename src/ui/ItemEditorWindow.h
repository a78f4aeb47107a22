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

    explicit ItemEditorWindow(QWidget* parent = nullptr) : QDialog(parent) {}

    // Null: show no item.
    virtual void SetItem(ConvertItem* item) = 0;
    virtual ConvertItem* Item() const = 0;

    // "Apply to follow items" hands the shown record to this handler.
    void SetApplyToFollowingHandler(ApplyHandler handler) { applyToFollowing_ = std::move(handler); }

protected:
    void RequestApplyToFollowing() {
        if (Item() && applyToFollowing_) applyToFollowing_(*Item());
    }

private:
    ApplyHandler applyToFollowing_;
};

}  // namespace tessival
