#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace tessival {

// Fixed-width, NUL-terminated text fields of a record. Writing never overruns the field: text that
// does not fit is cut at a UTF-8 character boundary. Bytes after the new NUL are left as they were,
// as the list file keeps them. Reading stops at the first NUL or at the field's end.

inline std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
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
