#include "joblist/ItemList.h"

namespace tessival {

ConvertItem* ItemList::At(std::ptrdiff_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

const ConvertItem* ItemList::At(std::ptrdiff_t index) const {
    return const_cast<ItemList*>(this)->At(index);
}

std::ptrdiff_t ItemList::IndexOf(const ConvertItem* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

ConvertItem& ItemList::Append(const ConvertItem& item) {
    items_.push_back(std::make_unique<ConvertItem>(item));
    return *items_.back();
}

ConvertItem* ItemList::InsertBefore(std::ptrdiff_t index, const ConvertItem& item) {
    if (index < 0 || static_cast<std::size_t>(index) > items_.size()) return nullptr;
    auto it = items_.insert(items_.begin() + index, std::make_unique<ConvertItem>(item));
    return it->get();
}

ConvertItem* ItemList::InsertAfter(std::ptrdiff_t index, const ConvertItem& item) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return nullptr;
    return InsertBefore(index + 1, item);
}

bool ItemList::RemoveAt(std::ptrdiff_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return false;
    items_.erase(items_.begin() + index);
    return true;
}

void ItemList::Clear() { items_.clear(); }

}  // namespace tessival
