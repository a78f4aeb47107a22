#include "engine/FindTypeFilter.h"

#include <vector>

#include "engine/GraphToolkit.h"
#include "joblist/DestTypes.h"
#include "platform/media/filters/encoders/FileEncoders.h"

namespace tessival {

namespace {

struct TypeLookup {
    const char* type;
    bool compressor;  // audio compressor category, else DirectShow filters
    std::vector<const char*> names;
};

const std::vector<TypeLookup>& Lookups() {
    static const std::vector<TypeLookup> lookups = {
        {"VOB", false, {"Moonlight Odio Dekoda", "AC3Filter", "AC3 Prologic Decoder"}},
        {"MP3", true, {"MPEG Layer-3"}},
        {"WAV", true, {"PCM"}},
        {"ASF", true, {"Windows Media Audio V2", "DivX WMA Audio V2", "WMAudio Encoder DMO"}},
        {"WMA", true, {"Windows Media Audio V2", "DivX WMA Audio V2", "WMAudio Encoder DMO"}},
    };
    return lookups;
}

}  // namespace

bool FindTypeFilter(Shell& shell, const std::string& type, std::string& name,
                    std::shared_ptr<const media::FilterRegistry> registry) {
    GraphToolkit scratch(shell, std::move(registry));
    bool found = false;
    if (const FileDestType* file = FindFileDestType(type)) {
        found = scratch.FindFilterInCategory(media::CLSID_FileEncoderCategory, file->encoder, -1) != nullptr;
        if (found) name = file->encoder;
    }
    for (const TypeLookup& lookup : Lookups()) {
        if (type.compare(0, 3, lookup.type) != 0 || type.size() < 3) continue;
        for (const char* candidate : lookup.names) {
            auto filter = lookup.compressor ? scratch.AddAudioCompressor(candidate) : scratch.AddFilterByName(candidate);
            if (!filter) continue;
            name = candidate;
            found = true;
            break;
        }
        break;
    }
    return found;
}

}  // namespace tessival
