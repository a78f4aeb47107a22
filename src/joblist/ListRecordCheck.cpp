#include "joblist/ListRecordCheck.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

template <std::size_t N>
bool Terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

bool KnownSourceType(std::string_view stored) {
    if (stored.empty()) return true;
    // The properties window stores the first three letters of an entry ("WV " of WavPack).
    const std::string_view prefix = stored.substr(0, 3);
    if (prefix.size() < 2) return false;
    return std::ranges::any_of(SourceTypes(),
                               [prefix](const SourceTypeInfo& type) { return type.description.starts_with(prefix); });
}

}  // namespace

bool ReadsAsListRecord(const ConvertItem& record) {
    if (!Terminated(record.sourcePath) || !Terminated(record.sourceType) || !Terminated(record.destType)) return false;
    const std::string_view path = FieldView(record.sourcePath);
    if (std::ranges::any_of(path, [](char c) { return static_cast<unsigned char>(c) < 0x20; })) return false;
    return KnownSourceType(FieldView(record.sourceType));
}

}  // namespace tessival
