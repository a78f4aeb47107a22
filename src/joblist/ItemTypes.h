#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "joblist/ConvertItem.h"

namespace tessival {

// A source type code and the entry the properties dialog shows for it.
struct SourceTypeInfo {
    std::string_view code;         // "MP3"
    std::string_view description;  // "MP3 (MPEG Layer 3 Audio)"
};

// The source types a user can pick, in the order the properties dialog lists them; the first is
// the unknown type, whose first three letters "UNK" are what gets stored.
std::span<const SourceTypeInfo> SourceTypes();

inline constexpr std::string_view kUnknownSourceType = "UNKNOWN";
inline constexpr std::string_view kDestUnspecified = "UNSPECIFIED";
inline constexpr std::string_view kDestWma = "WMA";
inline constexpr std::string_view kDestWav = "WAV";
inline constexpr std::string_view kDestMp3 = "MP3";
inline constexpr std::string_view kStatusReady = "Ready";

// Lower-cases sourceExt in place (ASCII letters), sets sourceType from its first characters, then
// destType "UNSPECIFIED" and status "Ready".
void DetectSourceType(ConvertItem& item);

// The extensions of the source types read only by the general splitter, in rule order.
std::vector<std::string_view> AddedSourceExtensions();

// True when the first three characters of sourceType are "UNK".
bool IsUnknownSourceType(const ConvertItem& item);

}  // namespace tessival
