#include "engine/sources/AlbumTrackTags.h"

#include <algorithm>
#include <string>

#include "joblist/CueAlbum.h"

namespace tessival {
namespace {

// Keys of the album file that say something of the whole file, never of one track of it (the
// sheet gives the track total with the number).
constexpr const char* kWholeFileKeys[] = {"cuesheet", "tracktotal", "totaltracks"};
// Keys that say something of one track: a file that holds several tracks cannot say them of any.
constexpr const char* kOneTrackKeys[] = {"title",     "track",      "isrc",  "lyrics", "titlesort", "subtitle",
                                         "bpm",       "musicbrainz_trackid", "musicbrainz_releasetrackid",
                                         "replaygain_track_gain", "replaygain_track_peak"};

void Add(media::MediaTags& tags, const char* key, const std::string& value) {
    if (!value.empty()) tags.fields.emplace_back(key, value);
}

const std::string& FirstOf(const std::string& first, const std::string& second) {
    return first.empty() ? second : first;
}

media::MediaTags SheetTags(const CueAlbum& album, const CueAlbum::Track& cut) {
    const CueSheet& sheet = album.sheet;
    const CueSheet::Track& track = album.SheetTrack(cut);
    media::MediaTags tags;
    Add(tags, "title", track.text.title);
    // An album of one artist often names them only once, for the whole album.
    Add(tags, "artist", FirstOf(track.text.performer, sheet.discText.performer));
    Add(tags, "album", sheet.discText.title);
    Add(tags, "album_artist", sheet.discText.performer);
    Add(tags, "track", std::to_string(track.number) + "/" + std::to_string(album.LastTrackNumber()));
    Add(tags, "date", sheet.date);
    Add(tags, "genre", FirstOf(track.text.genre, sheet.discText.genre));
    Add(tags, "comment", sheet.comment);
    Add(tags, "COMPOSER", FirstOf(track.text.songwriter, sheet.discText.songwriter));
    Add(tags, "ISRC", track.isrc);
    return tags;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

template <std::size_t N>
bool IsOneOf(const std::string& key, const char* const (&keys)[N]) {
    return std::find(std::begin(keys), std::end(keys), Lower(key)) != std::end(keys);
}

bool FileHoldsOtherTracks(const CueAlbum& album, const CueAlbum::Track& cut) {
    return std::count_if(album.tracks.begin(), album.tracks.end(),
                         [&cut](const CueAlbum::Track& track) { return track.audioFile == cut.audioFile; }) > 1;
}

}  // namespace

media::MediaTags WithAlbumTrackTags(const SourceLocation& location, media::MediaTags fileTags) {
    const auto found = FindCueAlbumTrack(location);
    if (!found) return fileTags;
    const auto& [album, index] = *found;
    // The file's pictures and anything else it carries stay; only the fields are merged.
    media::MediaTags tags = std::move(fileTags);
    std::vector<std::pair<std::string, std::string>> fields = SheetTags(album, album.tracks[index]).fields;
    const auto sheetSays = [&fields, fromSheet = fields.size()](const std::string& key) {
        const auto end = fields.begin() + static_cast<std::ptrdiff_t>(fromSheet);
        const std::string lower = Lower(key);
        return std::find_if(fields.begin(), end, [&lower](const auto& field) { return Lower(field.first) == lower; }) !=
               end;
    };
    const bool shared = FileHoldsOtherTracks(album, album.tracks[index]);
    for (auto& field : tags.fields) {
        const bool fileSaysIt = !IsOneOf(field.first, kWholeFileKeys) && !(shared && IsOneOf(field.first, kOneTrackKeys));
        if (fileSaysIt && !sheetSays(field.first)) fields.push_back(std::move(field));
    }
    tags.fields = std::move(fields);
    return tags;
}

}  // namespace tessival
