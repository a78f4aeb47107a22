#include "joblist/NameCleaning.h"

namespace tessival {
namespace {

bool IsRefused(unsigned char c, NameCharset charset) {
    if (c == '/' || c < 0x20 || c == 0x7F) return true;
    return charset == NameCharset::Portable && std::string_view("<>:\"\\|?*").find(static_cast<char>(c)) !=
                                                   std::string_view::npos;
}

}  // namespace

std::string CleanNameValue(std::string_view value, NameCharset charset) {
    std::string cleaned(value);
    for (char& c : cleaned) {
        if (IsRefused(static_cast<unsigned char>(c), charset)) c = '_';
    }
    return TrimNameComponent(cleaned);
}

std::string TrimNameComponent(std::string_view component) {
    const std::size_t first = component.find_first_not_of(". ");
    if (first == std::string_view::npos) return {};
    const std::size_t last = component.find_last_not_of(". ");
    if (last == std::string_view::npos || last < first) return {};
    return std::string(component.substr(first, last - first + 1));
}

}  // namespace tessival
