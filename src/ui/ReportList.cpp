#include "ui/ReportList.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace tessival {

void SetUpReportList(QTreeWidget& list, std::span<const ReportColumn> columns) {
    QStringList headers;
    for (const ReportColumn& column : columns) headers << QString::fromLatin1(column.header);
    list.setColumnCount(static_cast<int>(columns.size()));
    list.setHeaderLabels(headers);
    list.header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list.header()->setStretchLastSection(false);
    for (std::size_t i = 0; i < columns.size(); ++i) list.setColumnWidth(static_cast<int>(i), columns[i].width);
    list.setRootIsDecorated(false);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
}

}  // namespace tessival
