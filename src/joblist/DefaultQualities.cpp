#include "joblist/DefaultQualities.h"

#include <array>

namespace tessival {
namespace {

struct DefaultQuality {
    std::string_view type;
    std::string_view quality;
};

constexpr std::array<DefaultQuality, 11> kDefaultQualities = {{
    {"WAV", "2,1411,16,44100"},
    {"WAV (PCM)", "2,1411,16,44100"},
    {"MP3", "2,128,0,44100"},
    {"WAV (MPEG Layer-3)", "2,128,0,44100"},
    {"WMA", "2,128,16,44100"},
    {"WAV (Windows Media Audio V2)", "2,128,16,44100"},
    {"LAME MP3", "2,190,0,44100"},  // VBR V2
    {"FLAC", "Source,5,Source,Source"},  // the source's own channels, depth and rate
    {"Ogg Vorbis", "2,160,0,44100"},
    {"Opus", "2,128,0,48000"},
    {"M4A AAC", "2,192,0,44100"},
}};

}  // namespace

std::optional<std::string_view> DefaultQualityText(std::string_view destType) {
    for (const DefaultQuality& entry : kDefaultQualities) {
        if (entry.type == destType) return entry.quality;
    }
    return std::nullopt;
}

}  // namespace tessival
