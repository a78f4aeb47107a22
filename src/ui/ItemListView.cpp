#include "ui/ItemListView.h"

#include <QHeaderView>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <memory>

#include "joblist/ItemColumns.h"

namespace tessival {
namespace {

// A row whose every cell tells its whole text as its tooltip, so a cell too narrow for its text
// still shows it.
class ItemRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    QVariant data(int column, int role) const override {
        return QTreeWidgetItem::data(column, role == Qt::ToolTipRole ? Qt::DisplayRole : role);
    }
};

std::vector<std::string> LocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

}  // namespace

ItemListView::ItemListView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("itemList"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(&cells_);
    setAcceptDrops(true);
    setFont(ListFont());
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { emit rightClicked(viewport()->mapToGlobal(pos)); });

    const auto& columns = ItemColumns();
    setColumnCount(kItemColumnCount);
    QStringList headers;
    for (const ItemColumn& column : columns) headers << QString::fromUtf8(column.header.data(), column.header.size());
    setHeaderLabels(headers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < kItemColumnCount; ++i) setColumnWidth(i, columns[static_cast<std::size_t>(i)].width);
}

QFont ItemListView::ListFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(QFont::Condensed);
    return font;
}

void ItemListView::AppendRow(const ConvertItem& item) {
    // The tree owns its rows.
    auto* row = new ItemRow(this);
    row->setIcon(0, rowIcon_);
    WriteRow(RowCount() - 1, item);
}

void ItemListView::WriteRow(int row, const ConvertItem& item) {
    QTreeWidgetItem* line = topLevelItem(row);
    if (!line) return;
    const auto cells = ItemCells(item);
    for (int column = 0; column < kItemColumnCount; ++column)
        line->setText(column, QString::fromUtf8(cells[static_cast<std::size_t>(column)]));
}

void ItemListView::SetCellText(int row, int column, const QString& text) {
    if (QTreeWidgetItem* line = topLevelItem(row)) line->setText(column, text);
}



QString ItemListView::CellText(int row, int column) const {
    const QTreeWidgetItem* line = topLevelItem(row);
    return line ? line->text(column) : QString();
}

void ItemListView::RemoveRow(int row) { std::unique_ptr<QTreeWidgetItem> removed(takeTopLevelItem(row)); }

void ItemListView::RemoveAllRows() { clear(); }

int ItemListView::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    int first = -1;
    for (QTreeWidgetItem* line : selected) {
        const int row = indexOfTopLevelItem(line);
        if (first < 0 || row < first) first = row;
    }
    return first;
}

void ItemListView::SelectRow(int row) {
    QTreeWidgetItem* line = topLevelItem(row);
    if (!line) return;
    setCurrentItem(line);
    line->setSelected(true);
}

void ItemListView::ClearRowSelection() { clearSelection(); }

void ItemListView::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void ItemListView::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void ItemListView::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

void ItemListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit rowDoubleClicked();
}

}  // namespace tessival
