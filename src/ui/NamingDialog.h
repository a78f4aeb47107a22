#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <optional>

#include "joblist/ItemList.h"
#include "joblist/NamePattern.h"

namespace tessival {

// Names the dest folders and files of the selected item and the ones after it from their tags
// and folders, as `tessival-cli add --name` does: a pattern, the folder the pattern's folders go
// below, the portable character set, and a preview of the selected item's resulting path. The
// choices are kept in the settings for the next time.
class NamingDialog : public QDialog {
public:
    // first: the selected item; items from it to the end are renamed on OK.
    NamingDialog(ItemList& items, int first, QSettings& settings, QWidget* parent = nullptr);

    QLineEdit& PatternEdit() { return pattern_; }
    QLineEdit& RootEdit() { return root_; }
    QCheckBox& PortableBox() { return portable_; }
    QString Preview() const { return preview_.text(); }

    // Renames the items and keeps the choices; stays open with the reason shown when the pattern
    // is wrong or a path does not fit.
    void accept() override;

private:
    void UpdatePreview();
    std::optional<NamePattern> Pattern(std::string& problem) const;
    NameCharset Charset() const;

    ItemList& items_;
    int first_;
    QSettings& settings_;
    QLineEdit pattern_;
    QLineEdit root_;
    QCheckBox portable_;
    QLabel preview_;
};

}  // namespace tessival
