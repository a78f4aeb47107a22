#include "joblist/ItemTypes.h"

#include <array>
#include <cstring>

#include "joblist/TextField.h"

namespace tessival {
namespace {

constexpr std::array<SourceTypeInfo, 12> kSourceTypes = {{
    {"UNK", "UNKNOWN (UnKnown type)"},
    {"ASF", "ASF (Advanced Streaming Format)"},
    {"WMV", "WMV (Windows Media Video)"},
    {"WMA", "WMA (Windows Media Audio)"},
    {"DAT", "DAT (Video CD)"},
    {"VOB", "VOB (DVD Video)"},
    {"MPG", "MPG (MPEG I Video)"},
    {"AVI", "AVI (Audio-Video Interleaved)"},
    {"WAV", "WAV (Wave)"},
    {"MP3", "MP3 (MPEG Layer 3 Audio)"},
    {"CDA", "CDA (CD Audio Track)"},
    {"CAP", "CAP (Audio Capture Device)"},
}};

constexpr std::array<std::string_view, 3> kBuiltInDestTypes = {kDestWma, kDestWav, kDestMp3};

// Extension prefixes in the order they are tested; the first match decides. The comparison covers
// `length` bytes of the field, so a shorter extension's NUL takes part in it.
struct ExtensionRule {
    const char* prefix;
    std::size_t length;
    const char* type;
};

constexpr std::array<ExtensionRule, 12> kExtensionRules = {{
    {"asf", 3, "ASF"},
    {"wmv", 3, "WMV"},
    {"wma", 3, "WMA"},
    {"dat", 3, "DAT"},
    {"vob", 3, "VOB"},
    {"mpg", 3, "MPG"},
    {"mpeg", 4, "MPG"},
    {"avi", 3, "AVI"},
    {"mp3", 3, "MP3"},
    {"cda", 3, "CDA"},
    {"wav", 3, "WAV"},
    {"cap", 3, "CAP"},
}};

void LowerCaseAscii(char* text, std::size_t size) {
    for (std::size_t i = 0; i < size && text[i] != '\0'; ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    }
}

}  // namespace

std::span<const SourceTypeInfo> SourceTypes() { return kSourceTypes; }

std::span<const std::string_view> BuiltInDestTypes() { return kBuiltInDestTypes; }

std::string CompressorDestType(std::string_view compressorName) {
    return "WAV (" + std::string(compressorName) + ")";
}

void DetectSourceType(ConvertItem& item) {
    LowerCaseAscii(item.sourceExt, sizeof item.sourceExt);
    const char* type = kUnknownSourceType.data();
    for (const ExtensionRule& rule : kExtensionRules) {
        if (std::memcmp(item.sourceExt, rule.prefix, rule.length) == 0) {
            type = rule.type;
            break;
        }
    }
    WriteField(item.sourceType, type);
    WriteField(item.destType, kDestUnspecified);
    WriteField(item.status, kStatusReady);
}

bool IsUnknownSourceType(const ConvertItem& item) { return std::memcmp(item.sourceType, "UNK", 3) == 0; }

}  // namespace tessival
