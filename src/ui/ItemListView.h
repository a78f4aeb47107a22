#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "joblist/ConvertItem.h"
#include "ui/ItemCellDelegate.h"

namespace tessival {

// The main window's list control: one row per conversion item, the six item columns, single
// selection. It shows items; the item list itself lives in the window.
class ItemListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit ItemListView(QWidget* parent = nullptr);

    // A narrow face, so the short status texts ("Complete(123s)") and "UNSPECIFIED" fit the
    // columns' widths whole.
    static QFont ListFont();

    void SetRowIcon(const QIcon& icon) { rowIcon_ = icon; }

    int RowCount() const { return topLevelItemCount(); }
    void AppendRow(const ConvertItem& item);
    // Writes all six cells of a row; no effect outside the rows.
    void WriteRow(int row, const ConvertItem& item);
    void SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    void RemoveRow(int row);
    void RemoveAllRows();

    // The first selected row, or -1.
    int SelectedRow() const;
    // Selecting a row outside the rows has no effect.
    void SelectRow(int row);
    void ClearRowSelection();

signals:
    void rowDoubleClicked();
    void rightClicked(const QPoint& globalPos);
    // Local files or folders were dropped on the list.
    void pathsDropped(const std::vector<std::string>& paths);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QIcon rowIcon_;
    ItemCellDelegate cells_{this};
};

}  // namespace tessival
