#pragma once

#include <span>

class QTreeWidget;

namespace tessival {

struct ReportColumn {
    const char* header;
    int width;  // pixels
};

// Makes a tree widget a report-view list: left-aligned headers with fixed widths, no root
// decoration, single selection of whole rows.
void SetUpReportList(QTreeWidget& list, std::span<const ReportColumn> columns);

}  // namespace tessival
