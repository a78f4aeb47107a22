#pragma once

#include <memory>

namespace tessival::media {

// The object's interface T, sharing its ownership, or null when the object lacks it.
template <class T, class U>
std::shared_ptr<T> QueryInterface(const std::shared_ptr<U>& object) {
    return std::dynamic_pointer_cast<T>(object);
}

}  // namespace tessival::media
