#include "platform/media/TagMapping.h"

#include <strings.h>

#include <algorithm>
#include <iterator>

namespace tessival::media {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

// What follows the ':' of "TXXX:description", "UFID:owner" or "----:name"; what readers give as the key.
std::string_view Tail(const char* spec) {
    if (!spec) return {};
    const std::string_view text(spec);
    const std::size_t colon = text.find(':');
    return colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
}

bool IsTextFrame(const char* spec) { return spec && spec[0] == 'T' && std::string_view(spec).size() == 4; }

bool Names(const TagField& field, std::string_view name) {
    if (SameName(name, field.key) || SameName(name, field.vorbis)) return true;
    // libavformat's ID3 reader leaves text frames it has no generic key for under their ids.
    for (const char* frame : {field.id3, field.id3v23})
        if ((IsTextFrame(frame) && SameName(name, frame)) || (!Tail(frame).empty() && SameName(name, Tail(frame))))
            return true;
    if (!Tail(field.mp4).empty() && SameName(name, Tail(field.mp4))) return true;
    return std::any_of(field.aliases.begin(), field.aliases.end(),
                       [&](const char* alias) { return SameName(name, alias); });
}

constexpr const char* kPictureTypes[] = {
    "Other", "32x32 pixels 'file icon'", "Other file icon", "Cover (front)", "Cover (back)", "Leaflet page",
    "Media (e.g. label side of CD)", "Lead artist/lead performer/soloist", "Artist/performer", "Conductor",
    "Band/Orchestra", "Composer", "Lyricist/text writer", "Recording Location", "During recording",
    "During performance", "Movie/video screen capture", "A bright coloured fish", "Illustration",
    "Band/artist logotype", "Publisher/Studio logotype"};
constexpr int kFrontCover = 3;

}  // namespace

const std::vector<TagField>& TagFields() {
    static const std::vector<TagField> fields = {
        {"title", "TITLE", "TIT2", nullptr, "\251nam", {}},
        {"artist", "ARTIST", "TPE1", nullptr, "\251ART", {}},
        {"album", "ALBUM", "TALB", nullptr, "\251alb", {}},
        {"album_artist", "ALBUMARTIST", "TPE2", nullptr, "aART", {"album artist", "album_artist"}},
        {"track", "TRACKNUMBER", "TRCK", nullptr, "trkn", {}},
        {"disc", "DISCNUMBER", "TPOS", nullptr, "disk", {}},
        {"date", "DATE", "TDRC", "TYER", "\251day", {"year"}},
        {"genre", "GENRE", "TCON", nullptr, "\251gen", {}},
        {"comment", "COMMENT", "COMM", nullptr, "\251cmt", {"description"}},
        // Totals travel inside TRCK/TPOS and trkn/disk.
        {"TRACKTOTAL", "TRACKTOTAL", nullptr, nullptr, nullptr, {"TOTALTRACKS"}},
        {"DISCTOTAL", "DISCTOTAL", nullptr, nullptr, nullptr, {"TOTALDISCS"}},
        {"COMPOSER", "COMPOSER", "TCOM", nullptr, "\251wrt", {}},
        {"PERFORMER", "PERFORMER", "TXXX:PERFORMER", nullptr, "----:PERFORMER", {}},
        {"CONDUCTOR", "CONDUCTOR", "TPE3", nullptr, "----:CONDUCTOR", {}},
        {"LYRICIST", "LYRICIST", "TEXT", nullptr, "----:LYRICIST", {}},
        {"REMIXER", "REMIXER", "TPE4", nullptr, "----:REMIXER", {}},
        {"LYRICS", "LYRICS", "USLT", nullptr, "\251lyr", {"UNSYNCEDLYRICS"}},
        {"BPM", "BPM", "TBPM", nullptr, "tmpo", {}},
        {"COMPILATION", "COMPILATION", "TCMP", nullptr, "cpil", {}},
        {"ISRC", "ISRC", "TSRC", nullptr, "----:ISRC", {}},
        {"LABEL", "LABEL", "TPUB", nullptr, "----:LABEL", {"publisher", "ORGANIZATION"}},
        {"COPYRIGHT", "COPYRIGHT", "TCOP", nullptr, "cprt", {}},
        {"GROUPING", "GROUPING", "TIT1", nullptr, "\251grp", {}},
        {"SUBTITLE", "SUBTITLE", "TIT3", nullptr, "----:SUBTITLE", {}},
        {"MEDIA", "MEDIA", "TMED", nullptr, "----:MEDIA", {}},
        {"ENCODEDBY", "ENCODEDBY", "TENC", nullptr, "----:ENCODEDBY", {"encoded_by"}},
        {"LANGUAGE", "LANGUAGE", "TLAN", nullptr, "----:LANGUAGE", {}},
        {"MOOD", "MOOD", "TMOO", "TXXX:MOOD", "----:MOOD", {}},
        {"ORIGINALDATE", "ORIGINALDATE", "TDOR", "TORY", "----:ORIGINALDATE", {}},
        {"ARTISTSORT", "ARTISTSORT", "TSOP", nullptr, "soar", {"artist-sort", "sort_artist"}},
        {"ALBUMSORT", "ALBUMSORT", "TSOA", nullptr, "soal", {"album-sort", "sort_album"}},
        {"TITLESORT", "TITLESORT", "TSOT", nullptr, "sonm", {"title-sort", "sort_name"}},
        {"ALBUMARTISTSORT", "ALBUMARTISTSORT", "TSO2", nullptr, "soaa", {"sort_album_artist"}},
        {"COMPOSERSORT", "COMPOSERSORT", "TSOC", nullptr, "soco", {"sort_composer"}},
        {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_GAIN", "TXXX:REPLAYGAIN_TRACK_GAIN", nullptr,
         "----:replaygain_track_gain", {}},
        {"REPLAYGAIN_TRACK_PEAK", "REPLAYGAIN_TRACK_PEAK", "TXXX:REPLAYGAIN_TRACK_PEAK", nullptr,
         "----:replaygain_track_peak", {}},
        {"REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_GAIN", "TXXX:REPLAYGAIN_ALBUM_GAIN", nullptr,
         "----:replaygain_album_gain", {}},
        {"REPLAYGAIN_ALBUM_PEAK", "REPLAYGAIN_ALBUM_PEAK", "TXXX:REPLAYGAIN_ALBUM_PEAK", nullptr,
         "----:replaygain_album_peak", {}},
        {"REPLAYGAIN_REFERENCE_LOUDNESS", "REPLAYGAIN_REFERENCE_LOUDNESS", "TXXX:REPLAYGAIN_REFERENCE_LOUDNESS",
         nullptr, "----:replaygain_reference_loudness", {}},
        // The recording's id goes where MusicBrainz's own tagger puts it: UFID in ID3.
        {"MUSICBRAINZ_TRACKID", "MUSICBRAINZ_TRACKID", "UFID:http://musicbrainz.org", nullptr,
         "----:MusicBrainz Track Id", {}},
        {"MUSICBRAINZ_ALBUMID", "MUSICBRAINZ_ALBUMID", "TXXX:MusicBrainz Album Id", nullptr,
         "----:MusicBrainz Album Id", {}},
        {"MUSICBRAINZ_ARTISTID", "MUSICBRAINZ_ARTISTID", "TXXX:MusicBrainz Artist Id", nullptr,
         "----:MusicBrainz Artist Id", {}},
        {"MUSICBRAINZ_ALBUMARTISTID", "MUSICBRAINZ_ALBUMARTISTID", "TXXX:MusicBrainz Album Artist Id", nullptr,
         "----:MusicBrainz Album Artist Id", {}},
        {"MUSICBRAINZ_RELEASEGROUPID", "MUSICBRAINZ_RELEASEGROUPID", "TXXX:MusicBrainz Release Group Id", nullptr,
         "----:MusicBrainz Release Group Id", {}},
        {"MUSICBRAINZ_RELEASETRACKID", "MUSICBRAINZ_RELEASETRACKID", "TXXX:MusicBrainz Release Track Id", nullptr,
         "----:MusicBrainz Release Track Id", {}},
        {"MUSICBRAINZ_WORKID", "MUSICBRAINZ_WORKID", "TXXX:MusicBrainz Work Id", nullptr, "----:MusicBrainz Work Id",
         {}},
        {"MUSICBRAINZ_DISCID", "MUSICBRAINZ_DISCID", "TXXX:MusicBrainz Disc Id", nullptr, "----:MusicBrainz Disc Id",
         {}},
        {"BARCODE", "BARCODE", "TXXX:BARCODE", nullptr, "----:BARCODE", {}},
        {"CATALOGNUMBER", "CATALOGNUMBER", "TXXX:CATALOGNUMBER", nullptr, "----:CATALOGNUMBER", {}},
    };
    return fields;
}

const TagField* FindTagField(std::string_view name) {
    if (name.empty()) return nullptr;
    // libavformat names unsynchronised lyrics "lyrics-eng" and the like, by their language.
    if (StartsWith(name, "lyrics-")) name = "LYRICS";
    for (const TagField& field : TagFields())
        if (Names(field, name)) return &field;
    return nullptr;
}

std::string TagKeyFor(std::string_view name) {
    static constexpr std::string_view kNotCarried[] = {
        "encoder", "encoder_options", "major_brand", "minor_version", "compatible_brands", "creation_time",
        "handler_name", "vendor_id", "iTunSMPB", "Encoding Params", "WAVEFORMATEXTENSIBLE_CHANNEL_MASK",
        "METADATA_BLOCK_PICTURE", "COVERART", "COVERARTMIME", "TLEN", "duration", "gapless_playback",
        "media_type", "hd_video", "TSSE", "TDEN", "TDTG", "TFLT", "TSIZ", "TDLY",
        // ID3's involved-people lists are role and name pairs no other format has a place for.
        "TIPL", "TMCL"};
    // iTunes' own figures (iTunNORM, iTunPGAP, iTunes_CDDB_IDs...) describe the file, not the music.
    if (name.empty() || StartsWith(name, "id3v2_priv.") || StartsWith(name, "iTun")) return std::string();
    for (std::string_view skipped : kNotCarried)
        if (SameName(name, skipped)) return std::string();
    const TagField* field = FindTagField(name);
    return field ? field->key : std::string(name);
}

const TagField* FindMp4ItemField(std::string_view atom) {
    for (const TagField& field : TagFields())
        if (field.mp4 && atom == field.mp4) return &field;
    return nullptr;
}

std::string RepeatedFrameDescription(std::size_t valueIndex) {
    return valueIndex == 0 ? std::string() : std::to_string(valueIndex + 1);
}

bool IsRepeatedFrameDescription(std::string_view description) {
    return description.empty() || (description.size() <= 4 && description.front() != '0' &&
                                   std::all_of(description.begin(), description.end(),
                                               [](char c) { return c >= '0' && c <= '9'; }));
}

std::string GenreName(int number) {
    static constexpr const char* kGenres[] = {
        "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
        "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
        "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
        "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
        "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative",
        "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
        "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40",
        "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave",
        "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
        "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebop",
        "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock",
        "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic",
        "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
        "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad",
        "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House", "Dance Hall",
        "Goa", "Drum & Bass", "Club-House", "Hardcore Techno", "Terror", "Indie", "BritPop", "Negerpunk",
        "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
        "Contemporary Christian", "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "Jpop",
        "Synthpop", "Abstract", "Art Rock", "Baroque", "Bhangra", "Big Beat", "Breakbeat", "Chillout",
        "Downtempo", "Dub", "EBM", "Eclectic", "Electro", "Electroclash", "Emo", "Experimental", "Garage",
        "Global", "IDM", "Illbient", "Industro-Goth", "Jam Band", "Krautrock", "Leftfield", "Lounge",
        "Math Rock", "New Romantic", "Nu-Breakz", "Post-Punk", "Post-Rock", "Psytrance", "Shoegaze",
        "Space Rock", "Trop Rock", "World Music", "Neoclassical", "Audiobook", "Audio Theatre",
        "Neue Deutsche Welle", "Podcast", "Indie Rock", "G-Funk", "Dubstep", "Garage Rock", "Psybient"};
    return number >= 0 && number < int(std::size(kGenres)) ? kGenres[number] : std::string();
}

const char* PictureTypeName(int type) {
    return type >= 0 && type < int(std::size(kPictureTypes)) ? kPictureTypes[type] : kPictureTypes[kFrontCover];
}

int PictureTypeFromName(std::string_view name) {
    for (int type = 0; type < int(std::size(kPictureTypes)); ++type)
        if (SameName(name, kPictureTypes[type])) return type;
    return kFrontCover;
}

NumberOfTotal SplitNumberOfTotal(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return {std::string(text), std::string()};
    return {std::string(text.substr(0, slash)), std::string(text.substr(slash + 1))};
}

}  // namespace tessival::media
