#include "joblist/ItemTypes.h"

#include <array>
#include <cstring>

#include "joblist/TextField.h"

namespace tessival {
namespace {

constexpr std::array<SourceTypeInfo, 34> kSourceTypes = {{
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
    // Read by the general splitter and decoder.
    {"FLAC", "FLAC (Free Lossless Audio Codec)"},
    {"M4A", "M4A (MPEG-4 Audio: AAC, ALAC)"},
    {"AAC", "AAC (Advanced Audio Coding)"},
    {"OGG", "OGG (Ogg Vorbis, Opus, FLAC)"},
    {"OPUS", "OPUS (Opus Audio)"},
    {"AIFF", "AIFF (Audio Interchange File Format)"},
    {"WV", "WV (WavPack)"},
    {"APE", "APE (Monkey's Audio)"},
    {"TTA", "TTA (True Audio)"},
    {"MKA", "MKA (Matroska Audio)"},
    {"MKV", "MKV (Matroska Video)"},
    {"WEBM", "WEBM (WebM Audio-Video)"},
    {"MP4", "MP4 (MPEG-4 Video)"},
    {"MOV", "MOV (QuickTime Movie)"},
    {"FLV", "FLV (Flash Video)"},
    {"CAF", "CAF (Core Audio Format)"},
    {"AU", "AU (Sun Audio)"},
    {"AMR", "AMR (Adaptive Multi-Rate Audio)"},
    {"AC3", "AC3 (Dolby Digital)"},
    {"EAC3", "EAC3 (Dolby Digital Plus)"},
    {"DTS", "DTS (DTS Audio)"},
    {"CUE", "CUE (Cue Sheet Track)"},
}};

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

// Extensions of the general splitter's formats, tested only when no rule above matched. They
// compare their terminating NUL too, so they match whole extensions only.
constexpr std::array<ExtensionRule, 31> kAddedExtensionRules = {{
    {"flac", 5, "FLAC"}, {"m4a", 4, "M4A"},   {"m4b", 4, "M4A"},   {"aac", 4, "AAC"},   {"adts", 5, "AAC"},
    {"ogg", 4, "OGG"},   {"oga", 4, "OGG"},   {"opus", 5, "OPUS"}, {"aif", 4, "AIFF"},  {"aiff", 5, "AIFF"},
    {"aifc", 5, "AIFF"}, {"wv", 3, "WV"},     {"ape", 4, "APE"},   {"tta", 4, "TTA"},   {"mka", 4, "MKA"},
    {"mkv", 4, "MKV"},   {"webm", 5, "WEBM"}, {"mp4", 4, "MP4"},   {"m4v", 4, "MP4"},   {"mov", 4, "MOV"},
    {"flv", 4, "FLV"},   {"caf", 4, "CAF"},   {"au", 3, "AU"},     {"snd", 4, "AU"},    {"amr", 4, "AMR"},
    {"ac3", 4, "AC3"},   {"eac3", 5, "EAC3"}, {"ec3", 4, "EAC3"},  {"dts", 4, "DTS"},   {"cue", 4, "CUE"},
    {"weba", 5, "WEBM"},
}};

const char* MatchRule(std::span<const ExtensionRule> rules, const char* extension) {
    for (const ExtensionRule& rule : rules)
        if (std::memcmp(extension, rule.prefix, rule.length) == 0) return rule.type;
    return nullptr;
}

void LowerCaseAscii(char* text, std::size_t size) {
    for (std::size_t i = 0; i < size && text[i] != '\0'; ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    }
}

}  // namespace

std::span<const SourceTypeInfo> SourceTypes() { return kSourceTypes; }

void DetectSourceType(ConvertItem& item) {
    LowerCaseAscii(item.sourceExt, sizeof item.sourceExt);
    const char* type = MatchRule(kExtensionRules, item.sourceExt);
    if (!type) type = MatchRule(kAddedExtensionRules, item.sourceExt);
    if (!type) type = kUnknownSourceType.data();
    WriteField(item.sourceType, type);
    WriteField(item.destType, kDestUnspecified);
    WriteField(item.status, kStatusReady);
}

std::vector<std::string_view> AddedSourceExtensions() {
    std::vector<std::string_view> extensions;
    for (const ExtensionRule& rule : kAddedExtensionRules) extensions.emplace_back(rule.prefix);
    return extensions;
}

bool IsUnknownSourceType(const ConvertItem& item) { return std::memcmp(item.sourceType, "UNK", 3) == 0; }

}  // namespace tessival
