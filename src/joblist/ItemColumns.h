#pragma once

#include <array>
#include <string>
#include <string_view>

#include "joblist/ConvertItem.h"

namespace tessival {

// The six columns of the main list. "Dest type" comes before "Dest path", the reverse of the
// record's field order.
struct ItemColumn {
    std::string_view header;
    int width;  // pixels
};

inline constexpr int kItemColumnCount = 6;
inline constexpr int kStatusColumn = 5;

const std::array<ItemColumn, kItemColumnCount>& ItemColumns();

// The cell texts of an item's row, in column order.
std::array<std::string, kItemColumnCount> ItemCells(const ConvertItem& item);

}  // namespace tessival
