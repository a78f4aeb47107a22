#include "joblist/ItemColumns.h"

#include "joblist/TextField.h"

namespace tessival {

const std::array<ItemColumn, kItemColumnCount>& ItemColumns() {
    static const std::array<ItemColumn, kItemColumnCount> columns = {{
        {"Source name", 90},
        {"Source type", 90},
        {"Dest name", 85},
        {"Dest type", 80},
        {"Dest path", 120},
        {"Status", 80},
    }};
    return columns;
}

std::array<std::string, kItemColumnCount> ItemCells(const ConvertItem& item) {
    return {ReadField(item.sourceName), ReadField(item.sourceType), ReadField(item.destName),
            ReadField(item.destType),   ReadField(item.destPath),   ReadField(item.status)};
}

}  // namespace tessival
