#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/media/HResult.h"

namespace tessival::media {

// A snapshot enumerator in the style of IEnumPins / IEnumFilters: one object per Next call,
// S_OK while objects remain, S_FALSE (and null) after the last.
template <class T>
class Enumerator {
public:
    explicit Enumerator(std::vector<std::shared_ptr<T>> items) : items_(std::move(items)) {}

    HRESULT Next(std::shared_ptr<T>& item) {
        if (next_ >= items_.size()) {
            item.reset();
            return S_FALSE;
        }
        item = items_[next_++];
        return S_OK;
    }
    HRESULT Skip(std::size_t count) {
        next_ += count;
        return next_ <= items_.size() ? S_OK : S_FALSE;
    }
    HRESULT Reset() {
        next_ = 0;
        return S_OK;
    }
    const std::vector<std::shared_ptr<T>>& All() const { return items_; }

private:
    std::vector<std::shared_ptr<T>> items_;
    std::size_t next_ = 0;
};

}  // namespace tessival::media
