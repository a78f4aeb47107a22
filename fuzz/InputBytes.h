#pragma once

// Reads a fuzz input front to back; past its end every read gives zeros and empty strings, so a
// short input is still a whole (if dull) case.
#include <algorithm>
#include <cstdint>
#include <string>

namespace tessival::fuzz {

class InputBytes {
public:
    InputBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }
    std::string Text(std::size_t length) {
        const std::size_t taken = std::min(length, size_ - std::min(at_, size_));
        std::string text(reinterpret_cast<const char*>(data_ + std::min(at_, size_)), taken);
        at_ += taken;
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace tessival::fuzz
