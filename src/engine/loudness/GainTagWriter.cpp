#include "engine/loudness/GainTagWriter.h"

#include "engine/loudness/GainTags.h"
#include "platform/media/retag/TagEdit.h"

namespace tessival {

int WriteGainTags(const std::string& path, const media::LoudnessReading& track, const media::LoudnessReading* album) {
    const bool opus = media::ProbeTagContainer(path) == media::TagContainer::OggOpus;
    media::TagEdit edit;
    edit.set = TrackGainTags(track, opus);
    if (album) {
        const TagFields albumTags = AlbumGainTags(*album, opus);
        edit.set.insert(edit.set.end(), albumTags.begin(), albumTags.end());
    }
    if (opus) edit.dropPrefixes = {"REPLAYGAIN_"};
    return media::RewriteTags(path, edit);
}

}  // namespace tessival
