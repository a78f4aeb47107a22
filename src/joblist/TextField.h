#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace tessival {

// Fixed-width, NUL-terminated text fields of a record. Writing never overruns the field: text that
// does not fit is cut at a UTF-8 character boundary. Bytes after the new NUL are left as they were,
// as the list file keeps them. Reading stops at the first NUL or at the field's end.

// Backs up to the start of a character the limit would split. A character is at most four bytes,
// so bytes that are not UTF-8 (an older program's text) are cut at the limit itself, never down to
// nothing.
inline std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    for (std::size_t back = 1; back <= 3 && back <= maxBytes; ++back) {
        const auto byte = static_cast<unsigned char>(text[maxBytes - back]);
        if ((byte & 0xC0) == 0x80) continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? maxBytes - back : maxBytes;
    }
    return maxBytes;
}

template <std::size_t N>
void WriteField(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    const std::size_t length = Utf8CutLength(text, N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

template <std::size_t N>
std::size_t FieldLength(const char (&field)[N]) {
    const void* nul = std::memchr(field, '\0', N);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N;
}

template <std::size_t N>
std::string ReadField(const char (&field)[N]) {
    return std::string(field, FieldLength(field));
}

template <std::size_t N>
std::string_view FieldView(const char (&field)[N]) {
    return std::string_view(field, FieldLength(field));
}

}  // namespace tessival
