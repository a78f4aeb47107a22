#include "platform/media/retag/VorbisCommentList.h"

namespace tessival::media {
namespace {

bool ReadLength(std::span<const std::uint8_t> bytes, std::size_t& at, std::uint32_t& value) {
    if (bytes.size() < at + 4) return false;
    value = static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
            static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    at += 4;
    return true;
}

void PutLength(std::vector<std::uint8_t>& out, std::size_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    PutLength(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

bool EditVorbisComments(std::span<const std::uint8_t> list, const TagEdit& edit, std::vector<std::uint8_t>& out) {
    std::size_t at = 0;
    std::uint32_t vendorLength = 0, count = 0;
    if (!ReadLength(list, at, vendorLength) || list.size() - at < vendorLength) return false;
    const std::string vendor(list.begin() + at, list.begin() + at + vendorLength);
    at += vendorLength;
    if (!ReadLength(list, at, count)) return false;
    std::vector<std::string> kept;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!ReadLength(list, at, length) || list.size() - at < length) return false;
        std::string field(list.begin() + at, list.begin() + at + length);
        at += length;
        if (!edit.Drops(field.substr(0, field.find('=')))) kept.push_back(std::move(field));
    }
    for (const auto& [name, value] : edit.set) kept.push_back(name + "=" + value);
    PutText(out, vendor);
    PutLength(out, kept.size());
    for (const std::string& field : kept) PutText(out, field);
    out.insert(out.end(), list.begin() + at, list.end());
    return true;
}

}  // namespace tessival::media
