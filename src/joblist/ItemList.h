#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "joblist/ConvertItem.h"

namespace tessival {

// The ordered list of conversion items. A record keeps its address for as long as it belongs to
// the list, so the properties dialog and the engine can hold a pointer to it. Access by position
// is constant time; positions outside 0..Count()-1 yield null.
//
// Not thread-safe: the window changes the list only while no run is going on, and a run only reads
// it by position and writes fields of the record it converts.
class ItemList {
public:
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }

    ConvertItem* At(std::ptrdiff_t index);
    const ConvertItem* At(std::ptrdiff_t index) const;
    // Position of a record of this list, or -1.
    std::ptrdiff_t IndexOf(const ConvertItem* item) const;

    // Each returns the stored record.
    ConvertItem& Append(const ConvertItem& item);
    // index == Count() inserts at the end; null when index is outside 0..Count().
    ConvertItem* InsertBefore(std::ptrdiff_t index, const ConvertItem& item);
    // Null when index is outside 0..Count()-1.
    ConvertItem* InsertAfter(std::ptrdiff_t index, const ConvertItem& item);
    // False when index is outside 0..Count()-1.
    bool RemoveAt(std::ptrdiff_t index);
    void Clear();

    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const auto& item : items_) visit(*item);
    }

private:
    std::vector<std::unique_ptr<ConvertItem>> items_;
};

}  // namespace tessival
